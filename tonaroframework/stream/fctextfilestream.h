// A file of text lines, each in Latin-1 or in UTF-8.
//
// On disk: written lines end with a single LF. When reading, a line ends at
// LF, at CR or at the end of the file, and the terminator is not part of the
// line (so CR LF reads as a line followed by an empty line).
//
// Each line is read as UTF-8 when it holds a byte above 0x7F and is
// well-formed UTF-8, and otherwise one byte per character (Latin-1: each
// byte becomes the code unit of the same value). Writing chooses per line:
// a line whose characters are all in U+0000-U+00FF is written one byte per
// character, as files have always been, unless those bytes would read back
// as UTF-8; any other line is written as UTF-8. So every text survives a
// round trip, and files written one byte per character read as they did.
// (A lone surrogate code unit is written as U+FFFD.)
//
// Writing replaces the file atomically when the stream is closed (see
// fcfilestream.h). The write operations answer only whether a file is open;
// whether the text reached the disk is Close's answer.
#pragma once

#include "tonaroframework/stream/fcfilestream.h"

class FCStrings;
class FCSettingsPairs;

class FCTextFileStream : public FCFileStream {
public:
    using FCFileStream::FCFileStream;

    // Virtual operations, in this order: ClassName, destructor, IsIdentical
    // (inherited), OpenRead, OpenWrite, ReadString.
    const char* ClassName() const override { return "FCTextFileStream"; }
    ~FCTextFileStream() override = default;

    // Opens the file for reading (mode "r"); false when it is missing or
    // unreadable.
    bool OpenRead() override;
    // Opens the file for writing (mode "w+"): the file is created, or
    // replaced as a whole when the stream is closed.
    bool OpenWrite() override;

    // The next line as a new string owned by the caller (possibly empty), or
    // null at the end of the file or when no file is open.
    virtual FCString* ReadString();

    // Every remaining line, each read through ReadString and trimmed of CR
    // and LF at both ends, as a new list owned by the caller; null when no
    // file is open.
    FCStrings* ReadStrings();

    // Each string as one line followed by LF (null elements are skipped); a
    // CR or LF inside a string is written as a space, so that a string never
    // becomes several lines. false when no file is open, true otherwise (also
    // for null or empty lists). strings is only read.
    bool WriteStrings(const FCStrings* strings);
    // The text as it stands, no line end added; each piece between its line
    // ends is encoded as a line on its own (so a line is best written by one
    // call). false when no file is open; a null text writes nothing.
    bool WriteText(const FCString* text);
    // Each pair as one line: key, "=", value and LF, in collection order
    // (null elements are skipped). A CR or LF inside the key or the value is
    // written as a space, so that no text can start a line (and a key) of
    // its own. false when no file is open.
    bool WriteSettingsPairs(const FCSettingsPairs* pairs);

protected:
    // Writes count units as one line, encoded as the class comment says,
    // with no line end; lineEndsAsSpaces writes each CR and LF as a space.
    // The stream is open.
    void _WriteLine(const unsigned short* units, size_t count, bool lineEndsAsSpaces);
    // Writes text, each piece between line ends as a line, the line ends as
    // they are. The stream is open.
    void _WriteText(const FCString& text);
    // Sets text to count bytes, each the code unit of its value (a zero
    // byte gives a zero unit).
    static void _SetFromBytes(FCString* text, const unsigned char* bytes, size_t count);
    // Sets text to the bytes of one line: UTF-8 when they hold a byte above
    // 0x7F and are well-formed UTF-8, else one unit per byte.
    static void _SetFromLineBytes(FCString* text, const unsigned char* bytes, size_t count);
    // Sets text to count units, zero units included.
    static void _SetFromUnits(FCString* text, const unsigned short* units, size_t count);
};
