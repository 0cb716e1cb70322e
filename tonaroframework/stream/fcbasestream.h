// The root of the framework's streams.
//
// A stream has no state of its own at this level; FCFileStream
// (fcfilestream.h) is the one kind of stream there is.
#pragma once

#include "tonaroframework/base/fcbase.h"

class __FCBaseStream : public __FCBase {
public:
    const char* ClassName() const override { return "__FCBaseStream"; }
    ~__FCBaseStream() override = default;

protected:
    __FCBaseStream() = default;
};
