#include "tonaroframework/qt/fcstring_qt.h"

#include <QByteArray>

#include "tonaroframework/base/fcstring.h"
#include "tonaroframework/base/frameworkversion.h"
#include "tonaroframework/base/utf8codec.h"

namespace {

// Longest text, in bytes, that old hosts read back from a control (the
// platform's 5000-byte buffer holds the terminator too).
constexpr qsizetype kOldHostControlTextBytes = 4999;

bool IsUnicodeHost() { return GetTonaroFrameworkVersion() >= 0x11000000; }

QString UnitsOf(const FCString& text)
{
    const unsigned short* units = text._GetUnicodeBuffer();
    if (units == nullptr || text.GetLength() == 0) return QString();
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(units), static_cast<qsizetype>(text.GetLength()));
}

void SetUnits(FCString* text, const QString& value)
{
    text->_SetPlatformUnits(reinterpret_cast<const unsigned short*>(value.utf16()), static_cast<int>(value.size()));
}

// Length of the longest prefix of the non-lossy ASCII text that fits into
// limit bytes without cutting an escape ("\\", "\ooo" or "\uXXXX") apart.
qsizetype FittingPrefix(const QByteArray& ascii, qsizetype limit)
{
    qsizetype position = 0;
    while (position < ascii.size()) {
        qsizetype length = 1;
        if (ascii[position] == '\\' && position + 1 < ascii.size()) {
            const char next = ascii[position + 1];
            if (next == 'u') {
                length = 6;
            } else if (next >= '0' && next <= '7') {
                length = 4;
            } else {
                length = 2;
            }
        }
        if (position + length > limit) break;
        position += length;
    }
    return position;
}

}  // namespace

QString FCStringToQString(const FCString* text)
{
    if (text == nullptr) return QString();
    if (IsUnicodeHost()) return UnitsOf(*text);
    const char* bytes = text->GetCString();
    const size_t size = text->GetLength();
    if (!IsWellFormedUTF8(bytes, size)) return QString();
    return QString::fromUtf8(bytes, static_cast<qsizetype>(size));
}

void FCStringFromQString(FCString* text, const QString& value)
{
    if (text == nullptr) return;
    if (IsUnicodeHost()) {
        SetUnits(text, value);
        return;
    }
    const QByteArray utf8 = value.toUtf8();
    text->SetCString(utf8.constData(), static_cast<int>(utf8.size()));
}

QString FCStringToControlText(const FCString* text)
{
    if (text == nullptr) return QString();
    if (IsUnicodeHost()) return UnitsOf(*text);
    return QString::fromLatin1(text->GetCString(), static_cast<qsizetype>(text->GetLength()));
}

void FCStringFromControlText(FCString* text, const QString& value)
{
    if (text == nullptr) return;
    if (IsUnicodeHost()) {
        SetUnits(text, value);
        return;
    }
    // The non-lossy ASCII form, as the string itself writes it on old hosts.
    FCString ascii;
    if (!ascii.SetUTF8String(value.toUtf8().constData())) {
        text->SetCString("");
        return;
    }
    QByteArray bytes(ascii.GetCString(), static_cast<qsizetype>(ascii.GetLength()));
    bytes.truncate(FittingPrefix(bytes, kOldHostControlTextBytes));
    text->SetCString(bytes.constData(), static_cast<int>(bytes.size()));
}
