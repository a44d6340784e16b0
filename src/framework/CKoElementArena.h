// Memory for objects that live as long as their pool: carved from large blocks
// of their own, kept apart from the heap that every call's short-lived
// allocations churn. A pool of tens of thousands of result objects made among
// those allocations would otherwise leave the heap fragmented, and each call
// would pay for it in every allocation and in pages mapped afresh.
//
// Objects of one size share blocks; a freed object's memory goes to the next
// object of its size, and a block that holds no object any more is given back
// at once, so nothing is left behind once every pool is gone. Blocks come from
// the global operator new (nothrow). Safe on any thread: one lock, taken only
// when an object is made or destroyed, which pools do rarely.
#ifndef CKO_ELEMENT_ARENA_H
#define CKO_ELEMENT_ARENA_H

#include <stddef.h>

class CKoElementArena {
public:
    // Memory for an object of the given size, aligned for any object; null
    // when memory ran out.
    static void* Allocate(size_t bytes) noexcept;
    // Gives back what Allocate handed out; null is ignored.
    static void Free(void* memory) noexcept;
};

#endif // CKO_ELEMENT_ARENA_H
