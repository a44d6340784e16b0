// Counts the operator new calls a piece of work makes on the calling thread.
// Linking this replaces the program's global operator new and delete (with
// malloc and free), so only the programs that measure allocations link it.
#ifndef ZU_TEST_ALLOCATION_COUNTER_H
#define ZU_TEST_ALLOCATION_COUNTER_H

#include <functional>

// operator new calls of work() on this thread.
unsigned long CountAllocations(const std::function<void()>& work);

#endif // ZU_TEST_ALLOCATION_COUNTER_H
