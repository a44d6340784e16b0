#include "AllocationCounter.h"

#include <stdlib.h>

#include <new>

#include "RuntimeAllocationHook.h"

namespace {
thread_local bool t_counting = false;
thread_local unsigned long t_allocations = 0;
thread_local unsigned long t_failAt = 0; // 0: none fails

// Counts the allocation; true when it is the one to fail.
bool CountAndFail() {
    if (!t_counting) return false;
    return ++t_allocations == t_failAt;
}

void* Allocate(size_t size) {
    if (!CountAndFail())
        if (void* p = malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void* RuntimeAllocate(size_t size) { return CountAndFail() ? nullptr : malloc(size); }

// The runtime's malloc comes here from the first allocation on.
struct InstallRuntimeHook {
    InstallRuntimeHook() { g_zuRuntimeMalloc = &RuntimeAllocate; }
} s_installRuntimeHook;
} // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { free(p); }
void operator delete[](void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }
void operator delete[](void* p, size_t) noexcept { free(p); }

unsigned long CountAllocations(const std::function<void()>& work) {
    t_allocations = 0;
    t_failAt = 0;
    t_counting = true;
    work();
    t_counting = false;
    return t_allocations;
}

bool FailNthAllocation(unsigned long failAt, const std::function<void()>& work) {
    t_allocations = 0;
    t_failAt = failAt;
    t_counting = true;
    work();
    t_counting = false;
    t_failAt = 0;
    return t_allocations >= failAt;
}
