// A file of text lines, one byte per character.
//
// On disk: written lines end with a single LF. When reading, a line ends at
// LF, at CR or at the end of the file, and the terminator is not part of the
// line (so CR LF reads as a line followed by an empty line). Writing stores
// the low 8 bits of each code unit; reading turns each byte into the code
// unit of the same value (0-255). Text in U+0000-U+00FF survives a round
// trip; other characters do not.
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

    // Each string's 8-bit form followed by LF (null elements are skipped).
    // false when no file is open, true otherwise (also for null or empty
    // lists). strings is only read.
    bool WriteStrings(const FCStrings* strings);
    // The text's 8-bit form alone, no line end added. false when no file is
    // open; a null text writes nothing.
    bool WriteText(const FCString* text);
    // Each pair as key, "=", value and LF, in collection order (null elements
    // are skipped). false when no file is open.
    bool WriteSettingsPairs(const FCSettingsPairs* pairs);

protected:
    // Writes the low byte of each unit of text; the stream is open.
    void _WriteBytes(const FCString& text);
    // Sets text to count bytes, each the code unit of its value (a zero
    // byte gives a zero unit).
    static void _SetFromBytes(FCString* text, const unsigned char* bytes, size_t count);
};
