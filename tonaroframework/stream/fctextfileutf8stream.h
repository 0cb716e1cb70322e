// A text file whose lines are read as UTF-8.
//
// Lines end as in every text file of the framework (LF, CR or the end of the
// file; the terminator is not part of the line), but each line is decoded
// from UTF-8 (FCString::SetUTF8String, which follows the running host's
// conventions). A line is read in pieces of at most 8191 bytes; a piece never
// ends inside a character, so a long line comes back as several strings that
// together hold the whole text. A piece that is not well-formed UTF-8 is read
// one byte per character instead, so no byte of the file is lost. Writing is
// as in FCTextFileStream.
#pragma once

#include "tonaroframework/stream/fctextfilestream.h"

class FCTextFileUTF8Stream : public FCTextFileStream {
public:
    using FCTextFileStream::FCTextFileStream;

    const char* ClassName() const override { return "FCTextFileUTF8Stream"; }
    ~FCTextFileUTF8Stream() override = default;

    // The next line (or piece of a long line) as a new string owned by the
    // caller, or null at the end of the file or when no file is open.
    FCString* ReadString() override;
};
