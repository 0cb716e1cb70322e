// Pictures of a score without a window: the score view's drawing written to
// a PNG or SVG file (one long image) or a PDF file (page after page).
#pragma once

#include <string>
#include <vector>

#include "host/app/window/scorelayout.h"
#include "host/app/window/scoremarkings.h"
#include "host/app/window/scorepainter.h"

namespace tonaroengine {
class Document;
}

namespace tonaroapp {

struct PictureOptions {
    int width = 1200;  // pixels of a PNG, view units of the layout for SVG and PDF
};

// The largest picture a PNG may be, in pixels (width times height).
constexpr long long kMaxPngPixels = 400ll * 1000 * 1000;

// Lays document out for options.width and draws it, with markings, to path:
// the format follows the extension (".png", ".svg" or ".pdf", any case).
// The file is replaced atomically; on failure (*error, when not null, says
// why) it is left as it was. The document is only read.
bool WriteScorePicture(const tonaroengine::Document& document, const ScoreMarkings& markings,
                       const std::string& path, const PictureOptions& options, std::string* error);

// The layout that WriteScorePicture draws, and every item it draws, for
// checks of the engraving.
void LayOutPicture(const tonaroengine::Document& document, const ScoreMarkings& markings, int width,
                   ScoreLayout* layout);
std::vector<ScoreItem> PictureItems(const tonaroengine::Document& document, const ScoreMarkings& markings,
                                    const ScoreLayout& layout);

}  // namespace tonaroapp
