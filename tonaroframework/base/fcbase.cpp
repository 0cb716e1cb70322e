#include "tonaroframework/base/fcbase.h"

#include <cstring>

__FCBase::~__FCBase() = default;

bool __FCBase::IsIdentical(const __FCBase* other) const
{
    if (!other) return false;
    return std::strcmp(ClassName(), other->ClassName()) == 0;
}

void __FCBase::Set16BitFlag(uint16_t* field, uint16_t mask, bool state)
{
    if (!field) return;
    if (state)
        *field = static_cast<uint16_t>(*field | mask);
    else
        *field = static_cast<uint16_t>(*field & ~mask);
}

void __FCBase::Set32BitFlag(uint32_t* field, uint32_t mask, bool state)
{
    if (!field) return;
    if (state)
        *field |= mask;
    else
        *field &= ~mask;
}
