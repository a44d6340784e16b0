// The malloc of the SOAP runtime's test build (cmake/GsoapRuntime.cmake): a
// test that sets the hook sees, and may fail, every block the runtime takes.
// Without a hook it is malloc.
#ifndef ZU_TEST_RUNTIME_ALLOCATION_HOOK_H
#define ZU_TEST_RUNTIME_ALLOCATION_HOOK_H

#include <stdlib.h>

inline void* (*g_zuRuntimeMalloc)(size_t) = nullptr;

inline void* ZuRuntimeMalloc(size_t size) {
    return g_zuRuntimeMalloc ? g_zuRuntimeMalloc(size) : malloc(size);
}

#endif // ZU_TEST_RUNTIME_ALLOCATION_HOOK_H
