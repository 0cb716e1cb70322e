#include "host/engine/musicxml/splicewriter.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace tonaroengine::musicxml {

namespace {

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

struct Piece {
    size_t start = 0;
    size_t end = 0;
    pugi::xml_node_struct* node = nullptr;
    const std::string* pristine = nullptr;
};

}  // namespace

void MarkEdited(SourceScore& source, pugi::xml_node element, bool keepPristine)
{
    if (source.originalText.empty() || !element) return;
    auto [kept, first] = source.edited.try_emplace(element.internal_object());
    if (first && keepPristine) kept->second = Print(element);
}

bool WriteSpliced(const SourceScore& source, pugi::xml_writer& writer)
{
    const std::string_view text = source.originalText;
    if (text.empty()) return false;

    // Where each edited element stands in the text; all are found before
    // anything is written.
    std::vector<Piece> pieces;
    pieces.reserve(source.edited.size());
    for (const auto& [node, pristine] : source.edited) {
        const pugi::xml_node element(node);
        const ptrdiff_t nameAt = element.offset_debug();
        const std::string_view name = element.name();
        if (nameAt < 1 || name.empty() || static_cast<size_t>(nameAt) + name.size() >= text.size()) return false;
        const size_t start = static_cast<size_t>(nameAt) - 1;
        const char after = text[static_cast<size_t>(nameAt) + name.size()];
        if (text[start] != '<' || text.substr(static_cast<size_t>(nameAt), name.size()) != name ||
            !(after == '>' || after == '/' || after == ' ' || after == '\t' || after == '\n' || after == '\r'))
            return false;
        const size_t end = ElementEnd(text, start);
        if (end == 0) return false;
        pieces.push_back(Piece{start, end, node, &pristine});
    }
    std::sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) { return a.start < b.start; });
    for (size_t i = 1; i < pieces.size(); ++i)
        if (pieces[i].start < pieces[i - 1].end) return false;

    size_t at = 0;
    StringWriter printed;
    for (const Piece& piece : pieces) {
        writer.write(text.data() + at, piece.start - at);
        printed.text.clear();
        pugi::xml_node(piece.node).print(printed, "", kSourcePrintFlags, pugi::encoding_utf8);
        if (!piece.pristine->empty() && printed.text == *piece.pristine)
            writer.write(text.data() + piece.start, piece.end - piece.start);  // edited back to what it was
        else
            writer.write(printed.text.data(), printed.text.size());
        at = piece.end;
    }
    writer.write(text.data() + at, text.size() - at);
    return true;
}

}  // namespace tonaroengine::musicxml
