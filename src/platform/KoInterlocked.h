// Interlocked 32-bit counters.
#ifndef KO_INTERLOCKED_H
#define KO_INTERLOCKED_H

#include "KoWinTypes.h"

inline LONG InterlockedIncrement(volatile LONG* value) {
    return __atomic_add_fetch(value, 1, __ATOMIC_SEQ_CST);
}
inline LONG InterlockedDecrement(volatile LONG* value) {
    return __atomic_sub_fetch(value, 1, __ATOMIC_SEQ_CST);
}
inline LONG InterlockedExchange(volatile LONG* target, LONG value) {
    return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}
inline LONG InterlockedCompareExchange(volatile LONG* target, LONG exchange, LONG comparand) {
    __atomic_compare_exchange_n(target, &comparand, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
    return comparand;
}
// A plain read of a counter that other threads change with the calls above.
inline LONG KoInterlockedRead(const volatile LONG* value) { return __atomic_load_n(value, __ATOMIC_SEQ_CST); }

#endif // KO_INTERLOCKED_H
