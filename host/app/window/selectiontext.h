// The engine's current selection told in words for the status bar, with
// staves counted by slot from the top as the user sees them and an en dash
// between the ends of a run: "Measures 3–8, staves 1–4", "Measure 3, staff 2",
// "Measures 1–4, staff 1", "No selection".
#pragma once

#include <string>

#include "tonaropdk/hostapi/eregion.h"

namespace tonaroengine {
class Document;
}

namespace tonaroapp {

// The words for region (in UTF-8). Ends given in either order are told in
// ascending order.
std::string DescribeRegion(const EREGION& region);

// The words for the document's current selection; "No selection" when the
// document is null or nothing is selected.
std::string DescribeSelection(const tonaroengine::Document* document);

}  // namespace tonaroapp
