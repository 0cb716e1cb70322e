// Anything that can be walked with an FCIteratorHandler.
#pragma once

#include "tonaroframework/base/fcbase.h"

class FCIteratorHandler;

class __FCIteratorBase : public __FCBase {
public:
    // Virtual operations, in this order: ClassName, destructor, IsIdentical
    // (inherited), ForEach, FindFirst.
    const char* ClassName() const override { return "__FCIteratorBase"; }
    ~__FCIteratorBase() override;

    // Hands every element to handler->Iterate until it answers false; answers
    // the number of elements for which it answered true. The handler is only
    // borrowed for the call; a null handler answers 0.
    virtual int ForEach(FCIteratorHandler* handler) = 0;

    // The first element for which handler->Match answers true, still owned by
    // this object; null when none matches or the handler is null.
    virtual __FCBase* FindFirst(FCIteratorHandler* handler) = 0;
};
