#include "host/engine/musicxml/musicxmlio.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "host/engine/documentstate.h"
#include "host/engine/engine.h"
#include "host/engine/musicxml/atomicfile.h"
#include "host/engine/musicxml/mxlarchive.h"
#include "host/engine/musicxml/scorepatcher.h"
#include "host/engine/musicxml/scorereader.h"
#include "host/engine/musicxml/scorewriter.h"
#include "host/engine/musicxml/sourcescore.h"
#include "host/engine/musicxml/splicewriter.h"

namespace tonaroengine {

std::string MusicXmlError::Text() const
{
    std::string text = file;
    if (line > 0) {
        text += ":" + std::to_string(line);
        if (column > 0) text += ":" + std::to_string(column);
    }
    if (!text.empty()) text += ": ";
    return text + message;
}

namespace {

using musicxml::SourceScore;

// Ties a document to its source: a record in the document holding the
// source's token, so that a source is never handed to another document that
// happens to reuse a closed one's address or number.
constexpr EDTAG kSourceTokenTag = 0x4D585352;  // 'MXSR'
const EDataAddress kSourceTokenAddress{{1, 0, 0, 0}};

struct RegisteredSource {
    int16_t number = 0;
    std::unique_ptr<SourceScore> source;
};

struct Registry {
    std::map<const Document*, RegisteredSource> sources;
    uint64_t nextToken = 1;
};

Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

bool TokenMatches(const Document* document, uint64_t token)
{
    std::vector<uint8_t> bytes;
    if (!document->LoadRecord(kSourceTokenTag, kSourceTokenAddress, &bytes) || bytes.size() != sizeof token)
        return false;
    uint64_t stored = 0;
    std::memcpy(&stored, bytes.data(), sizeof stored);
    return stored == token;
}

// Drops the sources of documents that are closed (their pointers are not
// followed unless the engine still knows them).
void PruneSources()
{
    Registry& registry = TheRegistry();
    for (auto it = registry.sources.begin(); it != registry.sources.end();) {
        const Document* known = Engine::Instance().FindDocument(it->second.number);
        if (known != it->first || !TokenMatches(known, it->second.source->token))
            it = registry.sources.erase(it);
        else
            ++it;
    }
}

SourceScore* FindSource(const Document* document)
{
    if (!document) return nullptr;
    PruneSources();
    auto found = TheRegistry().sources.find(document);
    return found == TheRegistry().sources.end() ? nullptr : found->second.source.get();
}

void Fill(MusicXmlError* error, const std::string& file, std::string message, int line = 0, int column = 0)
{
    if (!error) return;
    error->file = file;
    error->line = line;
    error->column = column;
    error->message = std::move(message);
}

// A block of text in memory that pugixml can take over for in-place parsing.
class PugiBuffer {
public:
    PugiBuffer() = default;
    PugiBuffer(const PugiBuffer&) = delete;
    PugiBuffer& operator=(const PugiBuffer&) = delete;
    ~PugiBuffer() { Reset(); }

    bool Allocate(size_t size)
    {
        Reset();
        data_ = static_cast<uint8_t*>(pugi::get_memory_allocation_function()(size ? size : 1));
        size_ = data_ ? size : 0;
        return data_ != nullptr;
    }
    void Shrink(size_t size) { size_ = std::min(size_, size); }
    void Reset()
    {
        if (data_) pugi::get_memory_deallocation_function()(data_);
        data_ = nullptr;
        size_ = 0;
    }
    // Hands the block over (to pugixml); the buffer is empty afterwards.
    void* Release()
    {
        void* data = data_;
        data_ = nullptr;
        size_ = 0;
        return data;
    }
    uint8_t* Data() const { return data_; }
    size_t Size() const { return size_; }

private:
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

// Reads at most limit bytes of a file.
bool ReadLimited(const std::string& path, uint64_t limit, PugiBuffer* out, std::string* why)
{
    struct stat info{};
    if (stat(path.c_str(), &info) != 0) {
        *why = std::string("cannot open the file: ") + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        *why = "not a regular file";
        return false;
    }
    if (static_cast<uint64_t>(info.st_size) > limit) {
        *why = "the file is larger than allowed (" + std::to_string(limit) + " bytes)";
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        *why = std::string("cannot open the file: ") + std::strerror(errno);
        return false;
    }
    const size_t size = static_cast<size_t>(info.st_size);
    bool ok = out->Allocate(size);
    if (!ok) *why = "not enough memory to read the file";
    const size_t got = ok && size ? std::fread(out->Data(), 1, size, file) : 0;
    if (ok && std::ferror(file)) {
        *why = "cannot read the file";
        ok = false;
    }
    out->Shrink(got);
    std::fclose(file);
    return ok;
}

bool ReadLimited(const std::string& path, uint64_t limit, std::vector<uint8_t>* out, std::string* why)
{
    PugiBuffer buffer;
    if (!ReadLimited(path, limit, &buffer, why)) return false;
    out->assign(buffer.Data(), buffer.Data() + buffer.Size());
    return true;
}

bool EndsWith(const std::string& text, const char* suffix)
{
    const size_t n = std::strlen(suffix);
    if (text.size() < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - n + i])) != suffix[i]) return false;
    return true;
}

// Line and column (1-based) of a byte offset in UTF-8 text.
void Locate(const std::vector<uint8_t>& text, ptrdiff_t offset, int* line, int* column)
{
    *line = 0;
    *column = 0;
    if (offset < 0 || static_cast<size_t>(offset) > text.size()) return;
    int l = 1, c = 1;
    for (ptrdiff_t i = 0; i < offset; ++i) {
        if (text[static_cast<size_t>(i)] == '\n') {
            ++l;
            c = 1;
        } else if ((text[static_cast<size_t>(i)] & 0xC0) != 0x80) {
            ++c;
        }
    }
    *line = l;
    *column = c;
}

// A UTF-8 file keeps its text beside the tree, which then needs no text
// nodes of spacing (splicewriter.h); a file in another encoding is printed
// from its tree, which keeps every byte of spacing.
constexpr unsigned kParseOptions = pugi::parse_declaration | pugi::parse_doctype | pugi::parse_pi |
                                   pugi::parse_comments | pugi::parse_cdata;
constexpr unsigned kParseOptionsWithSpacing = kParseOptions | pugi::parse_ws_pcdata;
constexpr unsigned kSaveOptions = musicxml::kSourcePrintFlags;

bool HasByteOrderMark(const uint8_t* text, size_t size)
{
    return (size >= 3 && text[0] == 0xEF && text[1] == 0xBB && text[2] == 0xBF) ||
           (size >= 2 && ((text[0] == 0xFE && text[1] == 0xFF) || (text[0] == 0xFF && text[1] == 0xFE)));
}

bool IsXmlSpace(uint8_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Records the whitespace around the nodes before the root element and at
// the end of the file, which the tree does not keep.
void ScanSpacing(const uint8_t* text, size_t n, SourceScore& source)
{
    size_t i = n >= 3 && text[0] == 0xEF && text[1] == 0xBB && text[2] == 0xBF ? 3 : 0;
    auto startsWith = [&](const char* what) {
        const size_t length = std::strlen(what);
        return i + length <= n && std::memcmp(text + i, what, length) == 0;
    };
    auto skipPast = [&](const char* what) {
        const size_t length = std::strlen(what);
        while (i + length <= n && std::memcmp(text + i, what, length) != 0) ++i;
        i = std::min(n, i + length);
    };
    while (i < n) {
        const size_t start = i;
        while (i < n && IsXmlSpace(text[i])) ++i;
        source.prologSpacing.emplace_back(reinterpret_cast<const char*>(text) + start, i - start);
        if (startsWith("<?")) {
            skipPast("?>");
        } else if (startsWith("<!--")) {
            skipPast("-->");
        } else if (startsWith("<!DOCTYPE")) {
            char quote = 0;
            int depth = 0;
            for (; i < n; ++i) {
                const char c = static_cast<char>(text[i]);
                if (quote) {
                    if (c == quote) quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '[') {
                    ++depth;
                } else if (c == ']') {
                    --depth;
                } else if (c == '>' && depth <= 0) {
                    ++i;
                    break;
                }
            }
        } else {
            break;  // the root element
        }
    }
    size_t end = n;
    while (end > 0 && IsXmlSpace(text[end - 1])) --end;
    source.trailingSpacing.assign(reinterpret_cast<const char*>(text) + end, n - end);
}

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
};

// Parses text into source.xml; pugixml takes the text over and parses it in
// place, and reload gives it back when an error needs its line and column.
bool ParseSource(PugiBuffer&& text, const std::string& path, SourceScore& source,
                 const std::function<bool(std::vector<uint8_t>*)>& reload, MusicXmlError* error)
{
    if (text.Size() == 0) {
        Fill(error, path, "the file is empty");
        return false;
    }
    source.byteOrderMark = HasByteOrderMark(text.Data(), text.Size());
    const bool hasSingleQuotes = std::memchr(text.Data(), '\'', text.Size()) != nullptr;
    ScanSpacing(text.Data(), text.Size(), source);
    const size_t size = text.Size();
    source.originalText.assign(reinterpret_cast<const char*>(text.Data()), size);
    pugi::xml_parse_result result = source.xml.load_buffer_inplace_own(text.Release(), size, kParseOptions);
    if (result && result.encoding != pugi::encoding_utf8) {
        // Printed from its tree when saved: parsed again keeping its spacing.
        source.xml.reset();
        if (!text.Allocate(size)) {
            Fill(error, path, "not enough memory to read the file");
            return false;
        }
        std::memcpy(text.Data(), source.originalText.data(), size);
        result = source.xml.load_buffer_inplace_own(text.Release(), size, kParseOptionsWithSpacing);
    }
    std::vector<uint8_t> original;
    if (!result) {
        int line = 0, column = 0;
        if (result.encoding == pugi::encoding_utf8 && reload(&original))
            Locate(original, result.offset, &line, &column);
        Fill(error, path, std::string("not well-formed XML: ") + result.description(), line, column);
        return false;
    }
    source.encoding = result.encoding;
    if (source.encoding != pugi::encoding_utf8) std::string().swap(source.originalText);
    if (source.encoding != pugi::encoding_utf8 && source.encoding != pugi::encoding_latin1) {
        source.prologSpacing.clear();
        source.trailingSpacing.clear();
    }
    for (pugi::xml_node node = source.xml.first_child(); node; node = node.next_sibling()) {
        if (node.type() != pugi::node_doctype) continue;
        const char* value = node.value();
        const char* subset = std::strchr(value, '[');
        if (subset && std::strstr(subset, "<!ENTITY")) {
            int line = 0, column = 0;
            if (result.encoding == pugi::encoding_utf8 && reload(&original))
                Locate(original, node.offset_debug(), &line, &column);
            Fill(error, path, "the DOCTYPE declares entities, which are never read; remove them from the file", line,
                 column);
            return false;
        }
    }
    // The declaration is written back as it was read but with its values in
    // double quotes. A value holding a double quote (possible only in single
    // quotes, and never valid in a declaration) would make the saved file
    // unreadable, so such a file is refused like any malformed one.
    for (pugi::xml_node node = source.xml.first_child(); node; node = node.next_sibling()) {
        if (node.type() != pugi::node_declaration) continue;
        for (pugi::xml_attribute attribute : node.attributes()) {
            if (!std::strchr(attribute.value(), '"')) continue;
            int line = 0, column = 0;
            if (result.encoding == pugi::encoding_utf8 && reload(&original))
                Locate(original, node.offset_debug(), &line, &column);
            Fill(error, path, std::string("not well-formed XML: the XML declaration's ") + attribute.name() +
                                  " holds a double quote", line, column);
            return false;
        }
    }
    if (hasSingleQuotes) musicxml::EscapeDoubleQuotes(source.xml.document_element());
    return true;
}

// Writes the source as the file wrote it: its own text with the edited
// notes written anew; a source without its text (another encoding than
// UTF-8) from its tree, with the same encoding, byte order mark and
// declaration, entities unexpanded, the spacing outside the root.
void Serialize(const SourceScore& source, pugi::xml_writer& writer)
{
    if (musicxml::WriteSpliced(source, writer)) return;
    unsigned flags = kSaveOptions;
    if ((source.encoding != pugi::encoding_utf8 && source.encoding != pugi::encoding_latin1) ||
        source.prologSpacing.empty()) {
        if (source.byteOrderMark) flags |= pugi::format_write_bom;
        source.xml.save(writer, "", flags, source.encoding);
        return;
    }
    // UTF-8 and Latin-1: node by node, with the file's own spacing between them.
    if (source.byteOrderMark && source.encoding == pugi::encoding_utf8) writer.write("\xEF\xBB\xBF", 3);
    size_t index = 0;
    bool afterRoot = false;
    for (pugi::xml_node node = source.xml.first_child(); node; node = node.next_sibling(), ++index) {
        if (afterRoot)
            writer.write("\n", 1);
        else if (index < source.prologSpacing.size())
            writer.write(source.prologSpacing[index].data(), source.prologSpacing[index].size());
        node.print(writer, "", flags, source.encoding);
        if (node.type() == pugi::node_element) afterRoot = true;
    }
    writer.write(source.trailingSpacing.data(), source.trailingSpacing.size());
}

// A writer into a stdio stream that remembers whether every write went through.
struct StreamWriter : pugi::xml_writer {
    explicit StreamWriter(std::FILE* s) : stream(s) {}
    void write(const void* data, size_t size) override
    {
        if (size && std::fwrite(data, 1, size, stream) != size) ok = false;
    }
    std::FILE* stream;
    bool ok = true;
};

bool SamePath(const std::string& a, const std::string& b)
{
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error)) return true;
    return std::filesystem::weakly_canonical(a, error) == std::filesystem::weakly_canonical(b, error) && !error;
}

}  // namespace

Document* OpenMusicXml(const std::string& path, MusicXmlError* error, const MusicXmlLimits& limits)
{
    PruneSources();
    PugiBuffer text;
    std::string why;
    if (!ReadLimited(path, limits.maxFileBytes, &text, &why)) {
        Fill(error, path, why);
        return nullptr;
    }
    auto source = std::make_unique<SourceScore>();
    source->path = path;
    std::string where = path;  // the file named in errors about the score's text
    const bool zipped = text.Size() >= 4 && std::memcmp(text.Data(), "PK\x03\x04", 4) == 0;
    if (EndsWith(path, ".mxl") || zipped) {
        source->archiveBytes.assign(text.Data(), text.Data() + text.Size());
        std::vector<uint8_t> member;
        if (!musicxml::ReadMxl(source->archiveBytes, limits, &source->rootMember, &member, &why)) {
            Fill(error, path, why);
            return nullptr;
        }
        source->archive = true;
        where = path + "/" + source->rootMember;
        if (!text.Allocate(member.size())) {
            Fill(error, path, "not enough memory to read the file");
            return nullptr;
        }
        if (!member.empty()) std::memcpy(text.Data(), member.data(), member.size());
    }
    // The score's text again, for the place of an error.
    const SourceScore* kept = source.get();
    const auto reload = [&path, &limits, kept](std::vector<uint8_t>* out) {
        std::string ignored;
        if (!kept->archive) return ReadLimited(path, limits.maxFileBytes, out, &ignored);
        std::string member;
        return musicxml::ReadMxl(kept->archiveBytes, limits, &member, out, &ignored);
    };
    if (!ParseSource(std::move(text), where, *source, reload, error)) return nullptr;

    Engine& engine = Engine::Instance();
    Document* previous = engine.CurrentDocument();
    Document* document = engine.NewDocument();
    if (!document) {
        Fill(error, path, "the engine cannot open another document");
        return nullptr;
    }
    musicxml::ReadProblem problem;
    if (!musicxml::ReadScore(*document, *source, &problem)) {
        int line = 0, column = 0;
        std::vector<uint8_t> original;
        if (source->encoding == pugi::encoding_utf8 && reload(&original))
            Locate(original, problem.offset, &line, &column);
        Fill(error, where, problem.message, line, column);
        engine.CloseDocument(document->Number());
        if (previous) engine.SetCurrentDocument(previous->Number());
        return nullptr;
    }
    // The file carries the layout of the music just read.
    document->State().TakeMusicAsLaidOut();
    Registry& registry = TheRegistry();
    source->token = registry.nextToken++;
    document->SaveRecord(kSourceTokenTag, kSourceTokenAddress, &source->token, sizeof source->token);
    registry.sources[document] = RegisteredSource{document->Number(), std::move(source)};
    return document;
}

bool SaveMusicXml(Document* document, const std::string& path, MusicXmlError* error, const MusicXmlSaveOptions& options,
                  MusicXmlSaveReport* report)
{
    if (!document || Engine::Instance().FindDocument(document->Number()) != document) {
        Fill(error, path, "no such open document");
        return false;
    }
    if (path.empty()) {
        Fill(error, path, "no file name given");
        return false;
    }
    SourceScore* source = FindSource(document);
    if (source && !options.overwriteInput && SamePath(path, source->path)) {
        Fill(error, path, "this is the file the score was opened from; it is written over only when asked");
        return false;
    }

    std::string why;
    std::string text;
    musicxml::PatchOutcome outcome;
    const bool archive = EndsWith(path, ".mxl");
    if (source) {
        outcome = musicxml::PatchScore(*document, *source);
        if (archive) {
            StringWriter writer;
            Serialize(*source, writer);
            text = std::move(writer.text);
        }
    } else if (!musicxml::WriteScore(*document, &text, &why)) {
        Fill(error, path, why);
        return false;
    }

    std::vector<uint8_t> archiveBytes;
    if (archive) {
        const bool ok = source && source->archive
                            ? musicxml::ReplaceMxlMember(source->archiveBytes, source->rootMember, text, &archiveBytes, &why)
                            : musicxml::MakeMxl("score.musicxml", text, &archiveBytes, &why);
        if (!ok) {
            Fill(error, path, why);
            return false;
        }
    }
    bool written = false;
    if (archive) {
        written = musicxml::WriteFileAtomically(path, archiveBytes.data(), archiveBytes.size(), &why);
    } else if (source) {
        written = musicxml::WriteFileAtomically(
            path,
            [source](std::FILE* stream) {
                StreamWriter writer(stream);
                Serialize(*source, writer);
                return writer.ok;
            },
            &why);
    } else {
        written = musicxml::WriteFileAtomically(path, text.data(), text.size(), &why);
    }
    if (!written) {
        Fill(error, path, why);
        return false;
    }
    if (source) {
        musicxml::CommitBaselines(*source, outcome);
        if (archive && source->archive) source->archiveBytes = std::move(archiveBytes);
    }
    if (report) {
        report->changedNotes = outcome.updates.size();
        report->notesLeftAsTheyWere = outcome.leftAsTheyWere;
        report->respacedMeasures = outcome.respacedMeasures;
    }
    return true;
}

bool HasMusicXmlSource(const Document* document)
{
    return FindSource(document) != nullptr;
}

std::string MusicXmlSourcePath(const Document* document)
{
    const SourceScore* source = FindSource(document);
    return source ? source->path : std::string();
}

void ReleaseMusicXmlSource(const Document* document)
{
    PruneSources();
    TheRegistry().sources.erase(document);
}

}  // namespace tonaroengine
