#include "host/app/window/selectiontext.h"

#include <algorithm>

#include "host/engine/document.h"

namespace tonaroapp {

namespace {

// "Measure 3" / "Measures 3–8" (en dash, U+2013, in UTF-8).
std::string Run(const char* one, const char* many, int first, int last)
{
    if (first > last) std::swap(first, last);
    if (first == last) return std::string(one) + " " + std::to_string(first);
    return std::string(many) + " " + std::to_string(first) + "\xE2\x80\x93" + std::to_string(last);
}

}  // namespace

std::string DescribeRegion(const EREGION& region)
{
    return Run("Measure", "Measures", region.startMeas, region.endMeas) + ", " +
           Run("staff", "staves", region.startSlot, region.endSlot);
}

std::string DescribeSelection(const tonaroengine::Document* document)
{
    EREGION region{};
    if (document == nullptr || !document->GetSelection(&region)) return "No selection";
    return DescribeRegion(region);
}

}  // namespace tonaroapp
