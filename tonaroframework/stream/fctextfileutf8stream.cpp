#include "tonaroframework/stream/fctextfileutf8stream.h"

#include <cstring>
#include <string>

namespace {

// The most bytes of a line that one ReadString returns (before completing a
// character cut at the end).
constexpr size_t kPieceBytes = 8191;

bool IsContinuation(int byte) { return (byte & 0xC0) == 0x80; }

// The length of the character that lead begins, by its lead byte.
size_t SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0 && lead <= 0xF7) return 4;
    if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

// When bytes end inside a character, reads the bytes that finish it (as many
// continuation bytes as are there).
void CompleteLastCharacter(std::string& bytes, FILE* file)
{
    size_t lead = bytes.size();
    while (lead > 0 && bytes.size() - lead < 4 && IsContinuation(static_cast<unsigned char>(bytes[lead - 1]))) --lead;
    if (lead == 0) return;
    --lead;  // index of the byte before the run of continuation bytes
    const size_t need = SequenceLength(static_cast<unsigned char>(bytes[lead]));
    for (size_t have = bytes.size() - lead; have < need; ++have) {
        const int c = std::getc(file);
        if (c == EOF) return;
        if (!IsContinuation(c)) {
            std::ungetc(c, file);
            return;
        }
        bytes += static_cast<char>(c);
    }
}

}  // namespace

FCString* FCTextFileUTF8Stream::ReadString()
{
    FILE* file = _GetFileHandle();
    if (!file) return nullptr;
    int c = std::getc(file);
    if (c == EOF) return nullptr;
    std::string bytes;
    while (c != EOF && c != '\n' && c != '\r') {
        bytes += static_cast<char>(c);
        if (bytes.size() >= kPieceBytes) {
            CompleteLastCharacter(bytes, file);
            break;
        }
        c = std::getc(file);
    }

    auto* line = new FCString();
    const bool hasZeroByte = std::memchr(bytes.data(), 0, bytes.size()) != nullptr;
    if (hasZeroByte || !line->SetUTF8String(bytes.c_str())) {
        _SetFromBytes(line, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    }
    return line;
}
