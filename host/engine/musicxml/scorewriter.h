// Writes a document that has no MusicXML source (one built through the
// C++ interface) as a MusicXML 4.0 score-partwise text: one part per staff
// in slot order, layers as voices, written pitch on transposing staves
// unless the document shows concert pitch. Internal to the engine.
#pragma once

#include <string>

#include "host/engine/document.h"

namespace tonaroengine::musicxml {

// Fills *text with the score (UTF-8). False, with *why filled, for a
// document that has no staff or no measure.
bool WriteScore(const Document& document, std::string* text, std::string* why);

}  // namespace tonaroengine::musicxml
