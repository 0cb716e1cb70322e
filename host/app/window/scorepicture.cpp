#include "host/app/window/scorepicture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "host/engine/document.h"
#include "tonaropdk/platform/atomicreplace.h"

namespace tonaroapp {

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

bool Fail(std::string* error, const std::string& why)
{
    if (error != nullptr) *error = why;
    return false;
}

bool WriteBytes(const std::string& path, const QByteArray& bytes, std::string* error)
{
    TonaroAtomicReplacement replacement;
    int code = 0;
    if (!replacement.Begin(path, "wb", &code)) return Fail(error, path + ": " + std::strerror(code));
    const auto size = static_cast<size_t>(bytes.size());
    if (std::fwrite(bytes.constData(), 1, size, replacement.Stream()) != size) {
        code = replacement.WriteError();
        replacement.Abandon();
        return Fail(error, path + ": " + std::strerror(code ? code : EIO));
    }
    if (!replacement.Commit(&code)) return Fail(error, path + ": " + std::strerror(code));
    return true;
}

void PaintWhole(QPainter& p, const ScorePainter& painter, const ScoreLayout& layout)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    painter.Paint(p, QRectF(QPointF(0, 0), layout.ContentSize()));
}

}  // namespace

void LayOutPicture(const tonaroengine::Document& document, const ScoreMarkings& markings, int width,
                   ScoreLayout* layout)
{
    layout->Build(&document, std::max(width, 200), markings.StaffNames(),
                  ScorePainter::HeaderHeight(markings.GetCredits()));
}

std::vector<ScoreItem> PictureItems(const tonaroengine::Document& document, const ScoreMarkings& markings,
                                    const ScoreLayout& layout)
{
    std::vector<ScoreItem> items;
    if (layout.IsEmpty()) return items;
    // Drawn into a tiny image: only the items are wanted.
    QImage scratch(4, 4, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&scratch);
    ScorePainter(document, layout, markings).Paint(p, QRectF(QPointF(0, 0), layout.ContentSize()), &items);
    return items;
}

bool WriteScorePicture(const tonaroengine::Document& document, const ScoreMarkings& markings,
                       const std::string& path, const PictureOptions& options, std::string* error)
{
    const std::string lower = Lower(path);
    const bool png = lower.ends_with(".png");
    const bool svg = lower.ends_with(".svg");
    const bool pdf = lower.ends_with(".pdf");
    if (!png && !svg && !pdf) return Fail(error, path + ": the picture must be a .png, .svg or .pdf file");
    if (options.width < 200 || options.width > 20000)
        return Fail(error, "the width must be from 200 to 20000 pixels");
    ScoreLayout layout;
    LayOutPicture(document, markings, options.width, &layout);
    if (layout.IsEmpty()) return Fail(error, "the score has no staves or no measures to draw");
    const ScorePainter painter(document, layout, markings);
    const QSizeF size = layout.ContentSize();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);

    if (png) {
        const int w = static_cast<int>(std::ceil(size.width()));
        const int h = static_cast<int>(std::ceil(size.height()));
        if (static_cast<long long>(w) * h > kMaxPngPixels || h > 32000)
            return Fail(error, "the score is too long for one PNG (" + std::to_string(h) +
                                   " pixels high); write a .pdf or .svg instead");
        QImage image(w, h, QImage::Format_RGB32);
        if (image.isNull()) return Fail(error, "no memory for a picture of " + std::to_string(h) + " pixels high");
        image.fill(Qt::white);
        {
            QPainter p(&image);
            PaintWhole(p, painter, layout);
        }
        // Music is ink on paper: grey levels keep the file small.
        if (!image.convertToFormat(QImage::Format_Grayscale8).save(&buffer, "PNG"))
            return Fail(error, "the PNG picture cannot be made");
    } else if (svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(size.toSize());
        generator.setViewBox(QRectF(QPointF(0, 0), size));
        generator.setTitle(QStringLiteral("Score"));
        QPainter p;
        if (!p.begin(&generator)) return Fail(error, "the SVG picture cannot be made");
        p.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
        PaintWhole(p, painter, layout);
        p.end();
    } else {
        // A4 pages; the layout's width fills the printable width, and whole
        // systems go from page to page.
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
        writer.setResolution(300);
        writer.setTitle(QString::fromStdString(markings.GetCredits().title));
        QPainter p;
        if (!p.begin(&writer)) return Fail(error, "the PDF cannot be made");
        p.setRenderHint(QPainter::Antialiasing);
        const QRect page = writer.pageLayout().paintRectPixels(writer.resolution());
        const double scale = page.width() / size.width();
        const double pageHeight = page.height() / scale;  // in layout units
        const auto& systems = layout.Systems();
        size_t next = 0;
        bool firstPage = true;
        while (next < systems.size()) {
            // The first page starts at the top (credits included); the
            // others with their first system.
            const double top = firstPage ? 0.0 : systems[next].top - ScoreLayout::kSystemGap - ScoreLayout::kMargin;
            size_t end = next;
            while (end < systems.size() && systems[end].top + systems[end].height + ScoreLayout::kMargin - top <= pageHeight)
                ++end;
            if (end == next) ++end;  // a system taller than a page is cut
            const double bottom = end < systems.size() ? systems[end].top - ScoreLayout::kSystemGap / 2 : size.height();
            if (!firstPage) writer.newPage();
            p.save();
            p.scale(scale, scale);
            p.translate(0, -top);
            p.setClipRect(QRectF(0, top, size.width(), bottom - top));
            painter.Paint(p, QRectF(0, top, size.width(), bottom - top));
            p.restore();
            next = end;
            firstPage = false;
        }
        p.end();
    }
    buffer.close();
    return WriteBytes(path, bytes, error);
}

}  // namespace tonaroapp
