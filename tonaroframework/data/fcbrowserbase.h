// The base of every browser: an object that walks host data (records,
// cells of a region) with an FCIteratorHandler, visiting one item at a time
// without keeping them.
#pragma once

#include "tonaroframework/base/fciteratorbase.h"

class __FCBrowserBase : public __FCIteratorBase {
public:
    const char* ClassName() const override { return "__FCBrowserBase"; }
    ~__FCBrowserBase() override;
};
