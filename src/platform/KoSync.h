// Win32 critical sections: re-entrant on the owning thread.
#ifndef KO_SYNC_H
#define KO_SYNC_H

#include <pthread.h>

#include "KoWinTypes.h"

#define INFINITE 0xFFFFFFFFu

struct CRITICAL_SECTION {
    pthread_mutex_t mutex;
};
typedef CRITICAL_SECTION* LPCRITICAL_SECTION;

extern "C" {
KO_PLATFORM_API void InitializeCriticalSection(LPCRITICAL_SECTION section);
KO_PLATFORM_API void DeleteCriticalSection(LPCRITICAL_SECTION section);
KO_PLATFORM_API void EnterCriticalSection(LPCRITICAL_SECTION section);
KO_PLATFORM_API BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section);
KO_PLATFORM_API void LeaveCriticalSection(LPCRITICAL_SECTION section);
}

#endif // KO_SYNC_H
