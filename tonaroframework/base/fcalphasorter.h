// The comparison behind FCStrings::SortAlphabetical.
#pragma once

#include "tonaroframework/base/fciteratorhandler.h"

class __FCAlphaSorter : public FCIteratorHandler {
public:
    const char* ClassName() const override { return "__FCAlphaSorter"; }
    ~__FCAlphaSorter() override;

    // 0 when both are null, -1 when only a is null, 1 when only b is null;
    // otherwise the strcmp of the two strings' 8-bit copies (byte-wise and
    // case-sensitive: every upper-case ASCII letter before every lower-case
    // one). Elements that are not FCString objects count as null.
    int Compare(__FCBase* a, __FCBase* b) override;
};
