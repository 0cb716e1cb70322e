// Writing a source tree back as the file's own text with only the edited
// elements written anew: every byte outside them is copied from the text
// that was read, so nothing the engine did not touch changes, down to the
// spelling of empty elements, quotes and spacing inside tags. It is also far
// cheaper than printing the whole tree. Internal to the engine.
#pragma once

#include <pugixml.hpp>

#include "host/engine/musicxml/sourcescore.h"

namespace tonaroengine::musicxml {

// How the elements of a source tree are printed: as written (entities
// unexpanded), no indentation added.
constexpr unsigned kSourcePrintFlags = pugi::format_raw | pugi::format_no_declaration | pugi::format_no_escapes;

// Notes that an element of source.xml is about to be edited (call before
// the first change to it). With keepPristine, its print as it is now is
// kept, so that an element edited back to what it was is written as the
// file had it; without, it is always written anew. Only elements that are
// not inside one another may be named (the engine edits <note> elements).
void MarkEdited(SourceScore& source, pugi::xml_node element, bool keepPristine);

// Writes source.xml to writer, printing the edited elements.
// False, with nothing written, when the source keeps no original text (a
// file in another encoding than UTF-8) or an edited element cannot be
// found in it; the caller then prints the whole tree.
bool WriteSpliced(const SourceScore& source, pugi::xml_writer& writer);

}  // namespace tonaroengine::musicxml
