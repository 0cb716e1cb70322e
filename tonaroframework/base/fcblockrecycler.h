// Recycled memory for the framework's most numerous short-lived objects.
//
// A region walk makes and destroys the note entries and notes of every
// cell it visits, a few dozen objects a cell. A class that routes its
// operator new and delete through FCBlockRecycler<sizeof(Class)> gets the
// blocks of its objects back from a list instead of the heap: a block
// freed is kept (at most kMostKept of them) and handed out again by the
// next allocation. Only the thread that first used the recycler (in the
// plug-in, the main thread) keeps blocks; other threads, and blocks of any
// other size (objects of subclasses), use the global operators. The kept
// blocks are returned to the heap when the program ends; a block freed
// after that goes to the heap at once.
//
// Objects keep their usual life: each is a block of its own until it is
// deleted. Builds with the address sanitizer use the global operators
// only, so that a use after delete is still reported.
#pragma once

#include <cstddef>
#include <new>
#include <thread>

template <std::size_t BlockSize>
class FCBlockRecycler {
public:
    static constexpr int kMostKept = 256;

    // A block of size bytes; never null (throws std::bad_alloc as operator
    // new does).
    static void* Allocate(std::size_t size)
    {
#if !defined(__SANITIZE_ADDRESS__)
        if (size == BlockSize) {
            if (List* list = OwnList()) {
                if (FreeBlock* block = list->head) {
                    list->head = block->next;
                    --list->count;
                    return block;
                }
            }
        }
#endif
        return ::operator new(size);
    }

    // Takes back a block from Allocate(size); null does nothing.
    static void Free(void* block, std::size_t size) noexcept
    {
        if (block == nullptr) return;
#if !defined(__SANITIZE_ADDRESS__)
        if (size == BlockSize) {
            List* list = OwnList();
            if (list != nullptr && !list->closed && list->count < kMostKept) {
                list->head = new (block) FreeBlock{list->head};
                ++list->count;
                return;
            }
        }
#else
        static_cast<void>(size);
#endif
        ::operator delete(block);
    }

private:
    static_assert(BlockSize >= sizeof(void*), "a kept block holds the link to the next");

    struct FreeBlock {
        FreeBlock* next;
    };
    struct List {
        FreeBlock* head = nullptr;
        int count = 0;
        bool closed = false;  // the program is ending: nothing more is kept
    };
    // Returns the kept blocks to the heap when the program ends.
    struct Drain {
        ~Drain()
        {
            List& list = TheList();
            while (FreeBlock* block = list.head) {
                list.head = block->next;
                ::operator delete(block);
            }
            list.count = 0;
            list.closed = true;
        }
    };

    // The plain list, trivially destroyed, so that it can still be read
    // after the drain has run.
    static List& TheList()
    {
        static List list;
        return list;
    }
    // The list, on the thread that keeps blocks; null on any other.
    static List* OwnList()
    {
        static const std::thread::id owner = std::this_thread::get_id();
        static Drain drain;
        (void)drain;
        return std::this_thread::get_id() == owner ? &TheList() : nullptr;
    }
};
