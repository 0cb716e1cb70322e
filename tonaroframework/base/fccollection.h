// The owning, ordered array of framework objects.
//
// A collection owns every element it holds: it deletes them (through their
// virtual destructors) when they are cleared or when the collection is
// destroyed. DetachItemAt is the only way to take an element out alive; the
// caller then owns it. Elements may be null; every walk skips null slots.
// Indexes are 0-based; an index below 0 or at or above GetCount() is outside,
// and an operation given one answers null, false, -1 or 0 and changes nothing.
// Storage grows in steps of 10 slots and never shrinks; the first 10 slots
// lie inside the collection object, so that a small collection allocates
// nothing for its array.
#pragma once

#include "tonaroframework/base/fciteratorbase.h"

class FCIteratorHandler;

class __FCCollection : public __FCIteratorBase {
public:
    __FCCollection() = default;
    __FCCollection(const __FCCollection&) = delete;
    __FCCollection& operator=(const __FCCollection&) = delete;

    // Virtual operations, in this order: ClassName, destructor, IsIdentical
    // (inherited), ForEach, FindFirst, ForEachIndex. Subclasses append theirs
    // after these.
    const char* ClassName() const override { return "__FCCollection"; }
    ~__FCCollection() override;

    // Visits the non-null elements from index 0; the count is read again
    // after every call, so the handler may append elements (they are
    // visited) or remove elements behind it. Answers the number of elements
    // for which Iterate answered true (the one that stopped the walk is not
    // counted). 0 for a null handler or an empty collection.
    int ForEach(FCIteratorHandler* handler) override;

    // The first non-null element for which Match answers true, or null.
    __FCBase* FindFirst(FCIteratorHandler* handler) override;

    // As ForEach, calling IterateIndex(element, index).
    virtual int ForEachIndex(FCIteratorHandler* handler);

    int GetCount() const { return _count; }
    // Slots allocated (0 before the first insertion).
    int GetCapacity() const { return _capacity; }

    // Appends object (null is accepted and stored). The collection takes
    // ownership; the object must not already be held by any collection.
    void Add(__FCBase* object)
    {
        if (_count >= _capacity) _RequireElement(1);
        _items[_count++] = object;
    }

    // Stores object at index, moving the elements from index on up by one;
    // an index at or above the count appends, a negative index inserts at 0.
    // The collection takes ownership as with Add.
    void InsertItemAt(__FCBase* object, int index);

    // The element at index, still owned by the collection; null outside.
    __FCBase* GetItemAt(int index) const { return index < 0 || index >= _count ? nullptr : _items[index]; }

    // Removes the element at index without deleting it, closes the gap and
    // hands it to the caller, who then owns it. Null outside.
    __FCBase* DetachItemAt(int index);

    // Deletes the element at index (if not null) and closes the gap; false
    // outside.
    bool ClearItemAt(int index);

    // Deletes every non-null element and nulls its slot; the count is kept.
    void _FreeElements();

    // Deletes every element; the collection is empty and keeps its array.
    void ClearAll();

    // Whether this very pointer is held (null never is, even in a null slot).
    bool ElementExists(const __FCBase* object) const;

    // Index of this very pointer, or -1.
    int GetIndexOf(const __FCBase* object) const;

    // Exchanges two elements; false when a equals b or either is outside.
    bool Swap(int a, int b);

    // The first non-null element whose user data equals data, or null.
    __FCBase* FindUserData(const void* data) const;

    // As ForEach, beginning at index start; 0 when start is at or above the
    // count (a negative start begins at 0).
    int ToEndFrom(int start, FCIteratorHandler* handler);

    // Exchange sort, ascending by handler->Compare; null elements are never
    // compared and never move. Not stable. true when any element moved; false
    // for fewer than 2 elements or a null handler.
    bool Sort(FCIteratorHandler* handler);

protected:
    // Makes room for extra more elements: when count + extra exceeds the
    // capacity, grows the array to the smallest multiple of 10 slots above
    // count + extra. Nothing happens for extra < 1.
    void _RequireElement(int extra);

private:
    static constexpr int kOwnSlots = 10;

    int _count = 0;
    int _capacity = 0;
    __FCBase** _items = nullptr;  // _ownSlots up to 10 slots, else a heap array
    __FCBase* _ownSlots[kOwnSlots];
};
