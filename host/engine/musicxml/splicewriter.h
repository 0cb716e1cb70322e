// Writing a source tree back as the file's own text with only the edited
// notes written anew: every byte outside them is copied from the text that
// was read, so nothing the engine did not touch changes, down to the
// spelling of empty elements, quotes and spacing inside tags; and it costs
// far less than printing the whole tree. Internal to the engine.
//
// A source that keeps its text (SourceScore::originalText) is never edited
// in its tree: each note to edit gets an editable copy, parsed from the
// note's own text with its spacing, and the save writes the copies in
// place of the notes' text. A source without its text is edited in its
// tree and printed whole.
#pragma once

#include <pugixml.hpp>

#include "host/engine/musicxml/sourcescore.h"

namespace tonaroengine::musicxml {

// How the elements of a source tree are printed: as written (entities
// unexpanded), no indentation added.
constexpr unsigned kSourcePrintFlags = pugi::format_raw | pugi::format_no_declaration | pugi::format_no_escapes;

// The element to edit for a <note> of source.xml: its editable copy (made
// on the first call) when the source keeps its text, else the note itself.
// The element lives as long as the source.
pugi::xml_node EditableNote(SourceScore& source, pugi::xml_node note);

// Has a <note> of source.xml written without its fixed horizontal position
// (default-x and relative-x), without making a copy of it for that alone.
void DropPositions(SourceScore& source, pugi::xml_node note);

// Writes the source to writer: its text with the edited notes written anew.
// False, with nothing written, when the source keeps no text; the caller
// then prints source.xml.
bool WriteSpliced(const SourceScore& source, pugi::xml_writer& writer);

// Gives up the source's text: every edit made so far is carried into
// source.xml, which is edited and printed whole from then on (its text
// nodes of spacing are gone, so the layout of the text is not kept).
void AbandonText(SourceScore& source);

// Attribute values are kept as written (entities unexpanded) and printed
// the same way; a value holding a double quote (possible inside single
// quotes) is escaped so that it prints well-formed in double quotes.
void EscapeDoubleQuotes(pugi::xml_node root);

}  // namespace tonaroengine::musicxml
