#include "host/engine/musicxml/splicewriter.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace tonaroengine::musicxml {

namespace {

// A note's text is parsed for its copy as the file was: spacing, comments,
// processing instructions and CDATA kept, entities unexpanded.
constexpr unsigned kCopyParseOptions =
    pugi::parse_pi | pugi::parse_comments | pugi::parse_cdata | pugi::parse_ws_pcdata;

using EditedNote = SourceScore::EditedNote;

struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
};

std::string Print(const pugi::xml_node& element)
{
    StringWriter printed;
    element.print(printed, "", kSourcePrintFlags, pugi::encoding_utf8);
    return std::move(printed.text);
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// One past the '>' that closes the element whose '<' stands at start, in
// text that parsed as well-formed XML; 0 when the text ends first or holds
// something no element may.
size_t ElementEnd(std::string_view text, size_t start)
{
    const size_t n = text.size();
    size_t i = start;
    int depth = 0;
    const auto skipPast = [&](std::string_view what) {
        const size_t found = text.find(what, i);
        i = found == std::string_view::npos ? n : found + what.size();
        return found != std::string_view::npos;
    };
    while (i < n) {
        i = text.find('<', i);
        if (i == std::string_view::npos) return 0;
        const std::string_view rest = text.substr(i);
        if (rest.starts_with("<!--")) {
            if (!skipPast("-->")) return 0;
        } else if (rest.starts_with("<![CDATA[")) {
            if (!skipPast("]]>")) return 0;
        } else if (rest.starts_with("<?")) {
            if (!skipPast("?>")) return 0;
        } else if (rest.starts_with("<!")) {
            return 0;
        } else if (rest.starts_with("</")) {
            if (!skipPast(">")) return 0;
            if (--depth <= 0) return depth == 0 ? i : 0;
        } else {
            // A start tag, to its '>' outside quoted values.
            char quote = 0;
            for (++i; i < n; ++i) {
                const char c = text[i];
                if (quote) {
                    if (c == quote) quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    break;
                }
            }
            if (i >= n) return 0;
            const bool empty = text[i - 1] == '/';
            ++i;
            if (!empty) ++depth;
            else if (depth == 0) return i;
        }
    }
    return 0;
}

// The record of an edited note, made with the place of its text on the
// first call; null when the text cannot be found.
EditedNote* Entry(SourceScore& source, const pugi::xml_node& note)
{
    auto found = source.edited.find(note.internal_object());
    if (found != source.edited.end()) return &found->second;
    const std::string_view text = source.originalText;
    const ptrdiff_t nameAt = note.offset_debug();
    const std::string_view name = note.name();
    if (nameAt < 1 || name.empty() || static_cast<size_t>(nameAt) + name.size() >= text.size()) return nullptr;
    const size_t start = static_cast<size_t>(nameAt) - 1;
    const char after = text[static_cast<size_t>(nameAt) + name.size()];
    if (text[start] != '<' || text.substr(static_cast<size_t>(nameAt), name.size()) != name ||
        !(after == '>' || after == '/' || IsSpace(after)))
        return nullptr;
    const size_t end = ElementEnd(text, start);
    if (end == 0) return nullptr;
    EditedNote& entry = source.edited[note.internal_object()];
    entry.start = start;
    entry.end = end;
    return &entry;
}

void RemovePositions(pugi::xml_node note)
{
    note.remove_attribute("default-x");
    note.remove_attribute("relative-x");
}

// Writes a note's text without the default-x and relative-x attributes of
// its start tag (and the spacing before each).
void WriteWithoutPositions(std::string_view note, pugi::xml_writer& writer)
{
    size_t i = 1;
    while (i < note.size() && !IsSpace(note[i]) && note[i] != '>' && note[i] != '/') ++i;  // the name
    size_t copied = 0;
    while (i < note.size()) {
        const size_t spaceStart = i;
        while (i < note.size() && IsSpace(note[i])) ++i;
        if (i >= note.size() || note[i] == '>' || note[i] == '/') break;
        const size_t nameStart = i;
        while (i < note.size() && note[i] != '=' && !IsSpace(note[i]) && note[i] != '>' && note[i] != '/') ++i;
        const std::string_view name = note.substr(nameStart, i - nameStart);
        while (i < note.size() && IsSpace(note[i])) ++i;
        if (i >= note.size() || note[i] != '=') break;
        ++i;
        while (i < note.size() && IsSpace(note[i])) ++i;
        if (i >= note.size() || (note[i] != '"' && note[i] != '\'')) break;
        const size_t close = note.find(note[i], i + 1);
        if (close == std::string_view::npos) break;
        i = close + 1;
        if (name == "default-x" || name == "relative-x") {
            writer.write(note.data() + copied, spaceStart - copied);
            copied = i;
        }
    }
    writer.write(note.data() + copied, note.size() - copied);
}

}  // namespace

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

pugi::xml_node EditableNote(SourceScore& source, pugi::xml_node note)
{
    if (source.originalText.empty() || !note) return note;
    EditedNote* entry = Entry(source, note);
    if (!entry) {
        AbandonText(source);
        return note;
    }
    if (entry->copy) return pugi::xml_node(entry->copy);

    pugi::xml_node container = source.edits.document_element();
    if (!container) container = source.edits.append_child("edits");
    const std::string_view text = std::string_view(source.originalText).substr(entry->start, entry->end - entry->start);
    const pugi::xml_node before = container.last_child();
    const pugi::xml_parse_result parsed =
        container.append_buffer(text.data(), text.size(), kCopyParseOptions, pugi::encoding_utf8);
    const pugi::xml_node copy = container.last_child();
    if (!parsed || !copy || copy == before || copy.type() != pugi::node_element ||
        std::strcmp(copy.name(), note.name()) != 0) {
        AbandonText(source);
        return note;
    }
    if (text.find('\'') != std::string_view::npos) EscapeDoubleQuotes(copy);
    entry->copy = copy.internal_object();
    entry->pristine = Print(copy);
    if (entry->dropPositions) RemovePositions(copy);
    return copy;
}

void DropPositions(SourceScore& source, pugi::xml_node note)
{
    if (source.originalText.empty()) {
        RemovePositions(note);
        return;
    }
    EditedNote* entry = Entry(source, note);
    if (!entry) {
        AbandonText(source);
        RemovePositions(note);
        return;
    }
    entry->dropPositions = true;
    if (entry->copy) RemovePositions(pugi::xml_node(entry->copy));
}

bool WriteSpliced(const SourceScore& source, pugi::xml_writer& writer)
{
    const std::string_view text = source.originalText;
    if (text.empty()) return false;
    std::vector<const EditedNote*> pieces;
    pieces.reserve(source.edited.size());
    for (const auto& [note, entry] : source.edited) pieces.push_back(&entry);
    std::sort(pieces.begin(), pieces.end(), [](const EditedNote* a, const EditedNote* b) { return a->start < b->start; });

    size_t at = 0;
    StringWriter printed;
    for (const EditedNote* piece : pieces) {
        if (piece->start < at) continue;  // cannot happen: notes do not nest
        writer.write(text.data() + at, piece->start - at);
        const std::string_view own = text.substr(piece->start, piece->end - piece->start);
        if (piece->copy) {
            printed.text.clear();
            pugi::xml_node(piece->copy).print(printed, "", kSourcePrintFlags, pugi::encoding_utf8);
            if (!piece->dropPositions && printed.text == piece->pristine)
                writer.write(own.data(), own.size());  // edited back to what it was
            else
                writer.write(printed.text.data(), printed.text.size());
        } else if (piece->dropPositions) {
            WriteWithoutPositions(own, writer);
        } else {
            writer.write(own.data(), own.size());
        }
        at = piece->end;
    }
    writer.write(text.data() + at, text.size() - at);
    return true;
}

void AbandonText(SourceScore& source)
{
    for (auto& [node, entry] : source.edited) {
        pugi::xml_node note(node);
        if (entry.copy) {
            const pugi::xml_node copy(entry.copy);
            note.remove_children();
            note.remove_attributes();
            for (pugi::xml_attribute attribute : copy.attributes())
                note.append_attribute(attribute.name()).set_value(attribute.value());
            for (pugi::xml_node child : copy.children()) note.append_copy(child);
        } else if (entry.dropPositions) {
            RemovePositions(note);
        }
    }
    source.edited.clear();
    source.edits.reset();
    std::string().swap(source.originalText);
}

}  // namespace tonaroengine::musicxml
