#include "tonaroframework/base/fccollection.h"

#include <algorithm>

#include "tonaroframework/base/fciteratorhandler.h"

__FCIteratorBase::~__FCIteratorBase() = default;

__FCCollection::~__FCCollection()
{
    _FreeElements();
    if (_items != _ownSlots) delete[] _items;
}

void __FCCollection::_RequireElement(int extra)
{
    if (extra < 1 || _count + extra <= _capacity) return;
    // The smallest multiple of 10 above count + extra.
    const int capacity = (_count + extra + 10) / 10 * 10;
    if (capacity <= kOwnSlots) {
        // Only the first growth can stay within the object's own slots (no
        // slot at or past the count is ever read).
        _items = _ownSlots;
        _capacity = capacity;
        return;
    }
    auto** items = new __FCBase*[capacity];
    std::copy(_items, _items + _count, items);
    std::fill(items + _count, items + capacity, nullptr);
    if (_items != _ownSlots) delete[] _items;
    _items = items;
    _capacity = capacity;
}

void __FCCollection::InsertItemAt(__FCBase* object, int index)
{
    if (index >= _count) {
        Add(object);
        return;
    }
    if (index < 0) index = 0;
    _RequireElement(1);
    std::copy_backward(_items + index, _items + _count, _items + _count + 1);
    _items[index] = object;
    ++_count;
}

__FCBase* __FCCollection::DetachItemAt(int index)
{
    if (index < 0 || index >= _count) return nullptr;
    __FCBase* object = _items[index];
    std::copy(_items + index + 1, _items + _count, _items + index);
    _items[--_count] = nullptr;
    return object;
}

bool __FCCollection::ClearItemAt(int index)
{
    if (index < 0 || index >= _count) return false;
    delete DetachItemAt(index);
    return true;
}

void __FCCollection::_FreeElements()
{
    for (int i = 0; i < _count; ++i) {
        // Null the slot first, so that a destructor that looks back into
        // this collection never sees a dangling pointer.
        __FCBase* object = _items[i];
        _items[i] = nullptr;
        delete object;
    }
}

void __FCCollection::ClearAll()
{
    _FreeElements();
    _count = 0;
}

bool __FCCollection::ElementExists(const __FCBase* object) const
{
    return object && GetIndexOf(object) >= 0;
}

int __FCCollection::GetIndexOf(const __FCBase* object) const
{
    for (int i = 0; i < _count; ++i)
        if (_items[i] == object) return i;
    return -1;
}

bool __FCCollection::Swap(int a, int b)
{
    if (a == b || a < 0 || b < 0 || a >= _count || b >= _count) return false;
    std::swap(_items[a], _items[b]);
    return true;
}

__FCBase* __FCCollection::FindUserData(const void* data) const
{
    for (int i = 0; i < _count; ++i)
        if (_items[i] && _items[i]->GetUserData() == data) return _items[i];
    return nullptr;
}

int __FCCollection::ForEach(FCIteratorHandler* handler)
{
    return ToEndFrom(0, handler);
}

int __FCCollection::ToEndFrom(int start, FCIteratorHandler* handler)
{
    if (!handler || _count < 1) return 0;
    int visited = 0;
    // The count is read on every turn: the handler may change the list.
    for (int index = std::max(start, 0); index < _count; ++index) {
        __FCBase* object = _items[index];
        if (!object) continue;
        if (!handler->Iterate(object)) break;
        ++visited;
    }
    return visited;
}

int __FCCollection::ForEachIndex(FCIteratorHandler* handler)
{
    if (!handler || _count < 1) return 0;
    int visited = 0;
    for (int index = 0; index < _count; ++index) {
        __FCBase* object = _items[index];
        if (!object) continue;
        if (!handler->IterateIndex(object, index)) break;
        ++visited;
    }
    return visited;
}

__FCBase* __FCCollection::FindFirst(FCIteratorHandler* handler)
{
    if (!handler) return nullptr;
    for (int index = 0; index < _count; ++index) {
        __FCBase* object = _items[index];
        if (object && handler->Match(object)) return object;
    }
    return nullptr;
}

bool __FCCollection::Sort(FCIteratorHandler* handler)
{
    if (!handler || _count < 2) return false;
    bool moved = false;
    for (int i = 0; i + 1 < _count; ++i) {
        for (int j = i + 1; j < _count; ++j) {
            __FCBase* a = _items[i];
            __FCBase* b = _items[j];
            if (a && b && handler->Compare(a, b) >= 1) {
                _items[i] = b;
                _items[j] = a;
                moved = true;
            }
        }
    }
    return moved;
}
