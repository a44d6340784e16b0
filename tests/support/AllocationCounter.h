// Counts, or fails, the allocations a piece of work makes on the calling
// thread: operator new in all its forms and, in the programs that link the
// SOAP runtime's test build, the runtime's own malloc. Linking this replaces
// the program's global operator new and delete (with malloc and free), so only
// the programs that measure allocations link it. Other threads (a server the
// work talks to) are neither counted nor failed.
#ifndef ZU_TEST_ALLOCATION_COUNTER_H
#define ZU_TEST_ALLOCATION_COUNTER_H

#include <functional>

// operator new calls of work() on this thread.
unsigned long CountAllocations(const std::function<void()>& work);

// Runs work() with its failAt-th allocation on this thread failing (counted
// from 1; operator new throws std::bad_alloc, its nothrow form and the
// runtime's malloc give null); every other allocation succeeds. True when
// work() got that far, i.e. an allocation failed; false when it made fewer.
bool FailNthAllocation(unsigned long failAt, const std::function<void()>& work);

#endif // ZU_TEST_ALLOCATION_COUNTER_H
