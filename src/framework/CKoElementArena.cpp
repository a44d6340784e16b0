#include "CKoElementArena.h"

#include <cstddef>
#include <new>

#include "CKoAutoLock.h"
#include "CKoCriticalSection.h"

namespace {

// Each block is this large: room for a hundred of the largest result objects,
// and beyond the size the C runtime maps on its own. (glibc raises that size
// each time it unmaps a block, so once a block has been given back the next
// ones may come from the top of its heap. They still come whole, so the
// heap's free lists never hold the objects' small holes.)
const size_t kBlockBytes = size_t(1024) * 1024;
// Sizes are rounded up to this; it is also the alignment of every object.
const size_t kAlignment = alignof(std::max_align_t) > 16 ? alignof(std::max_align_t) : 16;
// Kinds of size served from blocks; memory for any further size comes from the
// global operator new one object at a time.
const size_t kSizeClasses = 16;

struct Block;

// What precedes every object: its block (null when the object has none), and
// the link of a free slot.
struct alignas(kAlignment) Slot {
    Block* block;
    Slot* nextFree;
};

struct SizeClass;

struct Block {
    SizeClass* sizeClass;
    // Blocks of the size with room left, doubly linked.
    Block* previous;
    Block* next;
    Slot* free;
    size_t slotBytes;
    size_t capacity;
    size_t carved; // slots handed out at least once
    size_t live;   // slots holding an object

    Slot* SlotAt(size_t index) {
        char* first = reinterpret_cast<char*>(this) + RoundUp(sizeof(Block));
        return reinterpret_cast<Slot*>(first + index * slotBytes);
    }
    bool Full() const { return !free && carved == capacity; }
    static size_t RoundUp(size_t bytes) { return (bytes + kAlignment - 1) / kAlignment * kAlignment; }
};

struct SizeClass {
    size_t bytes = 0; // 0: unused
    Block* withRoom = nullptr;

    void Link(Block* block) {
        block->previous = nullptr;
        block->next = withRoom;
        if (withRoom) withRoom->previous = block;
        withRoom = block;
    }
    void Unlink(Block* block) {
        if (block->previous)
            block->previous->next = block->next;
        else
            withRoom = block->next;
        if (block->next) block->next->previous = block->previous;
        block->previous = block->next = nullptr;
    }
};

struct Arena {
    CKoCriticalSection lock;
    SizeClass classes[kSizeClasses];

    // The class of objects of this size; null when every class is taken.
    SizeClass* ClassOf(size_t bytes) {
        for (SizeClass& sizeClass : classes) {
            if (sizeClass.bytes == bytes) return &sizeClass;
            if (sizeClass.bytes == 0) {
                sizeClass.bytes = bytes;
                return &sizeClass;
            }
        }
        return nullptr;
    }
};

// Lives in the library's own storage and is never destroyed: an object may be
// given back while the library's statics go. Holds nothing once every object
// is gone.
Arena& TheArena() {
    alignas(Arena) static unsigned char storage[sizeof(Arena)];
    static Arena* arena = new (storage) Arena;
    return *arena;
}

void* Unpooled(size_t bytes) {
    void* memory = ::operator new(sizeof(Slot) + bytes, std::nothrow);
    if (!memory) return nullptr;
    Slot* slot = static_cast<Slot*>(memory);
    slot->block = nullptr;
    return slot + 1;
}

} // namespace

void* CKoElementArena::Allocate(size_t bytes) noexcept {
    const size_t objectBytes = Block::RoundUp(bytes ? bytes : 1);
    const size_t slotBytes = sizeof(Slot) + objectBytes;
    const size_t header = Block::RoundUp(sizeof(Block));
    if (slotBytes > (kBlockBytes - header) / 4) return Unpooled(bytes);
    Arena& arena = TheArena();
    CKoAutoLock lock(&arena.lock);
    SizeClass* sizeClass = arena.ClassOf(objectBytes);
    if (!sizeClass) return Unpooled(bytes);
    Block* block = sizeClass->withRoom;
    if (!block) {
        void* memory = ::operator new(kBlockBytes, std::nothrow);
        if (!memory) return nullptr;
        block = static_cast<Block*>(memory);
        block->sizeClass = sizeClass;
        block->free = nullptr;
        block->slotBytes = slotBytes;
        block->capacity = (kBlockBytes - header) / slotBytes;
        block->carved = 0;
        block->live = 0;
        sizeClass->Link(block);
    }
    Slot* slot = block->free;
    if (slot)
        block->free = slot->nextFree;
    else
        slot = block->SlotAt(block->carved++);
    slot->block = block;
    ++block->live;
    if (block->Full()) sizeClass->Unlink(block);
    return slot + 1;
}

void CKoElementArena::Free(void* memory) noexcept {
    if (!memory) return;
    Slot* slot = static_cast<Slot*>(memory) - 1;
    Block* block = slot->block;
    if (!block) {
        ::operator delete(slot);
        return;
    }
    Arena& arena = TheArena();
    CKoAutoLock lock(&arena.lock);
    SizeClass* sizeClass = block->sizeClass;
    const bool wasFull = block->Full();
    slot->nextFree = block->free;
    block->free = slot;
    if (--block->live == 0) {
        if (!wasFull) sizeClass->Unlink(block);
        ::operator delete(block);
        return;
    }
    if (wasFull) sizeClass->Link(block);
}
