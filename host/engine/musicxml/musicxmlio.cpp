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

#include "host/engine/engine.h"
#include "host/engine/musicxml/atomicfile.h"
#include "host/engine/musicxml/mxlarchive.h"
#include "host/engine/musicxml/scorepatcher.h"
#include "host/engine/musicxml/scorereader.h"
#include "host/engine/musicxml/scorewriter.h"
#include "host/engine/musicxml/sourcescore.h"

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

// Reads at most limit bytes of a file.
bool ReadLimited(const std::string& path, uint64_t limit, std::vector<uint8_t>* out, std::string* why)
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
    out->clear();
    uint8_t chunk[65536];
    bool ok = true;
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (out->size() + got > limit) {
            *why = "the file is larger than allowed (" + std::to_string(limit) + " bytes)";
            ok = false;
            break;
        }
        out->insert(out->end(), chunk, chunk + got);
    }
    if (ok && std::ferror(file)) {
        *why = "cannot read the file";
        ok = false;
    }
    std::fclose(file);
    return ok;
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

constexpr unsigned kParseOptions = pugi::parse_declaration | pugi::parse_doctype | pugi::parse_pi |
                                   pugi::parse_comments | pugi::parse_cdata | pugi::parse_ws_pcdata;
constexpr unsigned kSaveOptions = pugi::format_raw | pugi::format_no_declaration | pugi::format_no_escapes;

bool HasByteOrderMark(const std::vector<uint8_t>& text)
{
    return (text.size() >= 3 && text[0] == 0xEF && text[1] == 0xBB && text[2] == 0xBF) ||
           (text.size() >= 2 && ((text[0] == 0xFE && text[1] == 0xFF) || (text[0] == 0xFF && text[1] == 0xFE)));
}

// Text and attribute values are kept as written (entities unexpanded) and
// written back the same way; only an attribute value that held a double
// quote inside single quotes must be escaped to stay well-formed.
void EscapeDoubleQuotes(pugi::xml_node root)
{
    pugi::xml_node node = root;
    while (node) {
        for (pugi::xml_attribute attribute : node.attributes()) {
            const char* value = attribute.value();
            if (!std::strchr(value, '"')) continue;
            std::string escaped;
            for (const char* c = value; *c; ++c) {
                if (*c == '"') escaped += "&quot;";
                else escaped += *c;
            }
            attribute.set_value(escaped.c_str());
        }
        if (node.first_child()) {
            node = node.first_child();
        } else {
            while (node && !node.next_sibling() && node != root) node = node.parent();
            if (!node || node == root) break;
            node = node.next_sibling();
        }
    }
}

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
};

// Parses text into source.xml; text is freed before the tree is built, and
// reload gives it back when an error needs its line and column.
bool ParseSource(std::vector<uint8_t>&& text, const std::string& path, SourceScore& source,
                 const std::function<bool(std::vector<uint8_t>*)>& reload, MusicXmlError* error)
{
    if (text.empty()) {
        Fill(error, path, "the file is empty");
        return false;
    }
    source.byteOrderMark = HasByteOrderMark(text);
    const bool hasSingleQuotes = std::memchr(text.data(), '\'', text.size()) != nullptr;
    void* buffer = pugi::get_memory_allocation_function()(text.size());
    if (!buffer) {
        Fill(error, path, "not enough memory to read the file");
        return false;
    }
    std::memcpy(buffer, text.data(), text.size());
    const size_t size = text.size();
    std::vector<uint8_t>().swap(text);
    const pugi::xml_parse_result result = source.xml.load_buffer_inplace_own(buffer, size, kParseOptions);
    if (!result) {
        int line = 0, column = 0;
        if (result.encoding == pugi::encoding_utf8 && reload(&text)) Locate(text, result.offset, &line, &column);
        Fill(error, path, std::string("not well-formed XML: ") + result.description(), line, column);
        return false;
    }
    source.encoding = result.encoding;
    for (pugi::xml_node node = source.xml.first_child(); node; node = node.next_sibling()) {
        if (node.type() != pugi::node_doctype) continue;
        const char* value = node.value();
        const char* subset = std::strchr(value, '[');
        if (subset && std::strstr(subset, "<!ENTITY")) {
            int line = 0, column = 0;
            if (result.encoding == pugi::encoding_utf8 && reload(&text))
                Locate(text, node.offset_debug(), &line, &column);
            Fill(error, path, "the DOCTYPE declares entities, which are never read; remove them from the file", line,
                 column);
            return false;
        }
    }
    if (hasSingleQuotes) EscapeDoubleQuotes(source.xml.document_element());
    return true;
}

std::string Serialize(const SourceScore& source)
{
    StringWriter writer;
    unsigned flags = kSaveOptions;
    if (source.byteOrderMark) flags |= pugi::format_write_bom;
    source.xml.save(writer, "", flags, source.encoding);
    return std::move(writer.text);
}

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
    std::vector<uint8_t> bytes;
    std::string why;
    if (!ReadLimited(path, limits.maxFileBytes, &bytes, &why)) {
        Fill(error, path, why);
        return nullptr;
    }
    auto source = std::make_unique<SourceScore>();
    source->path = path;
    std::vector<uint8_t> scoreText;
    std::string where = path;  // the file named in errors about the score's text
    if (EndsWith(path, ".mxl") || musicxml::LooksLikeZip(bytes)) {
        if (!musicxml::ReadMxl(bytes, limits, &source->rootMember, &scoreText, &why)) {
            Fill(error, path, why);
            return nullptr;
        }
        source->archive = true;
        source->archiveBytes = std::move(bytes);
        where = path + "/" + source->rootMember;
    } else {
        scoreText = std::move(bytes);
    }
    // The score's text again, for the place of an error.
    const SourceScore* kept = source.get();
    const auto reload = [&path, &limits, kept](std::vector<uint8_t>* out) {
        std::string ignored;
        if (!kept->archive) return ReadLimited(path, limits.maxFileBytes, out, &ignored);
        std::string member;
        return musicxml::ReadMxl(kept->archiveBytes, limits, &member, out, &ignored);
    };
    if (!ParseSource(std::move(scoreText), where, *source, reload, error)) return nullptr;

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
        std::vector<uint8_t> text;
        if (source->encoding == pugi::encoding_utf8 && reload(&text)) Locate(text, problem.offset, &line, &column);
        Fill(error, where, problem.message, line, column);
        engine.CloseDocument(document->Number());
        if (previous) engine.SetCurrentDocument(previous->Number());
        return nullptr;
    }
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
    if (source) {
        outcome = musicxml::PatchScore(*document, *source);
        text = Serialize(*source);
    } else if (!musicxml::WriteScore(*document, &text, &why)) {
        Fill(error, path, why);
        return false;
    }

    std::vector<uint8_t> archiveBytes;
    const bool archive = EndsWith(path, ".mxl");
    if (archive) {
        const bool ok = source && source->archive
                            ? musicxml::ReplaceMxlMember(source->archiveBytes, source->rootMember, text, &archiveBytes, &why)
                            : musicxml::MakeMxl("score.musicxml", text, &archiveBytes, &why);
        if (!ok) {
            Fill(error, path, why);
            return false;
        }
    }
    const bool written = archive ? musicxml::WriteFileAtomically(path, archiveBytes.data(), archiveBytes.size(), &why)
                                 : musicxml::WriteFileAtomically(path, text.data(), text.size(), &why);
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
