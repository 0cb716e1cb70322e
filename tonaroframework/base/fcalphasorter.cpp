#include "tonaroframework/base/fcalphasorter.h"

#include <cstring>

#include "tonaroframework/base/fcstring.h"

__FCAlphaSorter::~__FCAlphaSorter() = default;

int __FCAlphaSorter::Compare(__FCBase* a, __FCBase* b)
{
    const auto* first = dynamic_cast<const FCString*>(a);
    const auto* second = dynamic_cast<const FCString*>(b);
    if (!first && !second) return 0;
    if (!first) return -1;
    if (!second) return 1;
    return std::strcmp(first->GetCString(), second->GetCString());
}
