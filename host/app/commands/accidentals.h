// Accidental signs as people type or paste them: the music symbols and the
// full-width number sign become the ASCII spellings the dialog reads.
#pragma once

#include <string>

namespace tonaroapp {

// text (UTF-8) with every sharp sign (U+266F) and full-width number sign
// (U+FF03) read as "#", every flat sign (U+266D) as "b", every double sharp
// (U+1D12A) as "x" and every double flat (U+1D12B) as "bb". Everything else,
// including bytes that are not valid UTF-8, is kept as it stands.
std::string AsciiAccidentals(const std::string& text);

}  // namespace tonaroapp
