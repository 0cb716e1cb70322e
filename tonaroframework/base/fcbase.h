// The root of every framework object.
//
// Every framework class derives (singly) from __FCBase. It answers its own
// class name, can carry one untyped user-data pointer for the caller, and
// offers the flag-word helpers that record classes use.
#pragma once

#include <cstdint>

class __FCBase {
public:
    __FCBase() = default;
    __FCBase(const __FCBase&) = default;
    __FCBase& operator=(const __FCBase&) = default;

    // Virtual operations, in this order: ClassName, destructor, IsIdentical.

    // The class's own name, a static text that lives for the whole program.
    // Every concrete class overrides it with its own name.
    virtual const char* ClassName() const { return "__FCBase"; }

    virtual ~__FCBase();

    // False for null; otherwise true when both objects answer ClassName()
    // with the same name. Record classes override it with a content
    // comparison. The other object is only read, never kept.
    virtual bool IsIdentical(const __FCBase* other) const;

    // The caller's untyped pointer, null at construction. The object never
    // owns, frees or dereferences it.
    void SetUserData(void* data) { _userData = data; }
    void* GetUserData() const { return _userData; }

    // Set (state true) or clear (state false) the mask bits of *field; the
    // other bits are kept. A null field does nothing.
    static void Set16BitFlag(uint16_t* field, uint16_t mask, bool state);
    static void Set32BitFlag(uint32_t* field, uint32_t mask, bool state);

private:
    void* _userData = nullptr;
};
