// Conversions between FCString and QString, the platform string of the
// framework's Qt layer.
//
// Which conversion applies depends on the running host version word
// (GetTonaroFrameworkVersion):
//
//   FCStringToQString / FCStringFromQString (the general platform string):
//     from 0x11000000: the UTF-16 code units as they are; reading back turns
//       every U+2028 (line separator) into CR.
//     before: the string's 8-bit copy read as UTF-8 (a copy that is not
//       well-formed UTF-8 gives the empty QString); reading back sets the
//       QString's UTF-8 bytes, one code unit per byte.
//
//   FCStringToControlText / FCStringFromControlText (text shown in and read
//   from native controls and window titles):
//     from 0x11000000: as above.
//     before: the 8-bit copy, one character per byte (Latin-1); reading back
//       gives the text in 7-bit non-lossy ASCII form (as FCString::
//       SetUTF8String writes it on such hosts), at most 4999 bytes, cut
//       before an escape that would not fit.
//
// A null FCString converts to the empty QString; a null output is left
// alone. Everything borrowed for the call only.
#pragma once

#include <QString>

class FCString;

QString FCStringToQString(const FCString* text);
void FCStringFromQString(FCString* text, const QString& value);

QString FCStringToControlText(const FCString* text);
void FCStringFromControlText(FCString* text, const QString& value);
