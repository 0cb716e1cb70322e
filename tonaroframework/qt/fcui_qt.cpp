#include "tonaroframework/qt/fcui_qt.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDesktopServices>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStringDecoder>
#include <QUrl>

#include <vector>

#include "tonaroframework/base/fcstring.h"

namespace {

// Milliseconds between the Unix epoch and 2001-01-01 00:00:00 UTC.
constexpr qint64 kReferenceDateMs = 978307200000LL;

QString ToQString(const FCString& text)
{
    const unsigned short* units = text._GetUnicodeBuffer();
    if (units == nullptr || text.GetLength() == 0) return QString();
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(units), static_cast<qsizetype>(text.GetLength()));
}

void FromQString(const QString& text, FCString* out)
{
    out->SetUnicodeString(reinterpret_cast<const unsigned short*>(text.utf16()), static_cast<int>(text.size()));
}

bool HasWidgetApplication() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

bool HasGuiApplication() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

struct AlertButton {
    const char* text;
    QMessageBox::ButtonRole role;
    int result;
};

std::vector<AlertButton> ButtonsFor(FCUI_ALERTKIND kind)
{
    const AlertButton ok{kFCUIButtonOk, QMessageBox::AcceptRole, FCUI_ALERTRESULT_OK};
    const AlertButton cancel{kFCUIButtonCancel, QMessageBox::RejectRole, FCUI_ALERTRESULT_CANCEL};
    const AlertButton yes{kFCUIButtonYes, QMessageBox::YesRole, FCUI_ALERTRESULT_YES};
    const AlertButton no{kFCUIButtonNo, QMessageBox::NoRole, FCUI_ALERTRESULT_NO};
    switch (kind) {
    case FCUI_ALERT_ERROR:
    case FCUI_ALERT_INFO:
    case FCUI_ALERT_NEUTRAL: return {ok};
    case FCUI_ALERT_YESNO: return {yes, no};
    case FCUI_ALERT_OKCANCEL: return {ok, cancel};
    case FCUI_ALERT_YESNOCANCEL: return {yes, no, cancel};
    }
    return {ok};
}

QMessageBox::Icon IconFor(FCUI_ALERTKIND kind)
{
    switch (kind) {
    case FCUI_ALERT_ERROR: return QMessageBox::Critical;
    case FCUI_ALERT_INFO: return QMessageBox::Information;
    case FCUI_ALERT_NEUTRAL: return QMessageBox::NoIcon;
    case FCUI_ALERT_YESNO:
    case FCUI_ALERT_OKCANCEL:
    case FCUI_ALERT_YESNOCANCEL: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

__FCUIPlatform* MakeQtPlatform() { return new _FCUI_qt(); }

}  // namespace

_FCUI_qt::_FCUI_qt()
{
    _anchorSeconds = static_cast<double>(QDateTime::currentMSecsSinceEpoch() - kReferenceDateMs) / 1000.0;
    _elapsed.start();
}

_FCUI_qt::~_FCUI_qt() = default;

void _FCUI_qt::Register() { SetFCUIPlatformFactory(&MakeQtPlatform); }

int _FCUI_qt::ShowAlert(FCUI_ALERTKIND kind, const FCString& title, const FCString& message)
{
    if (!HasWidgetApplication()) return FCUI_ALERTRESULT_NONE;

    QMessageBox box;
    box.setWindowTitle(ToQString(title));
    // Plain text: the message is shown exactly as given, markup and all.
    box.setTextFormat(Qt::PlainText);
    box.setText(ToQString(message));
    box.setIcon(IconFor(kind));
    box.setWindowModality(Qt::ApplicationModal);

    const std::vector<AlertButton> buttons = ButtonsFor(kind);
    std::vector<std::pair<QAbstractButton*, int>> results;
    for (const AlertButton& button : buttons) {
        QPushButton* made = box.addButton(QString::fromLatin1(button.text), button.role);
        results.emplace_back(made, button.result);
    }
    // The first button is the default; the last one answers Escape (Cancel,
    // No, or the only button).
    box.setDefaultButton(static_cast<QPushButton*>(results.front().first));
    box.setEscapeButton(results.back().first);

    box.exec();

    QAbstractButton* clicked = box.clickedButton();
    for (const auto& [button, result] : results) {
        if (button == clicked) return result;
    }
    // Closed without a button (the window was closed): as Escape.
    return results.back().second;
}

void _FCUI_qt::Beep()
{
    if (HasWidgetApplication()) QApplication::beep();
}

int _FCUI_qt::GetScreenWidth()
{
    if (!HasGuiApplication()) return 0;
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().width() : 0;
}

int _FCUI_qt::GetScreenHeight()
{
    if (!HasGuiApplication()) return 0;
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry().height() : 0;
}

bool _FCUI_qt::IsFontAvailable(const FCString& name)
{
    if (!HasGuiApplication()) return false;
    return QFontDatabase::hasFamily(ToQString(name));
}

void _FCUI_qt::OpenWebURL(const FCString& address)
{
    QDesktopServices::openUrl(QUrl(ToQString(address), QUrl::TolerantMode));
}

bool _FCUI_qt::SetClipboardText(const char* text, bool utf8)
{
    if (text == nullptr || !HasGuiApplication()) return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return false;
    clipboard->clear();

    QString converted;
    if (utf8) {
        // Stateless: a sequence cut off at the end counts as an error.
        QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
        converted = decoder(QByteArrayView(text));
        if (decoder.hasError()) return false;
    } else {
        for (const char* p = text; *p != '\0'; ++p) {
            if (static_cast<unsigned char>(*p) > 0x7F) return false;  // not ASCII
        }
        converted = QString::fromLatin1(text);
    }
    clipboard->setText(converted);
    return clipboard->text() == converted;
}

void _FCUI_qt::GetDecimalSeparator(FCString* separator)
{
    if (separator == nullptr) return;
    FromQString(QLocale().decimalPoint(), separator);
}

double _FCUI_qt::GetCurrentTime() { return _anchorSeconds + static_cast<double>(_elapsed.nsecsElapsed()) / 1e9; }
