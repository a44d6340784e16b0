// A critical section: re-entrant on the thread that holds it (each entry needs
// its own Unlock).
#ifndef CKO_CRITICAL_SECTION_H
#define CKO_CRITICAL_SECTION_H

#include "CKoSynchronizationObject.h"
#include "KoSync.h"

class CKoCriticalSection : public CKoSynchronizationObject {
public:
    CKoCriticalSection();
    ~CKoCriticalSection() override;

    // 0: try to enter without blocking, true if entered. INFINITE: enter,
    // blocking as long as needed. Any other time-out throws
    // CKoCriticalSectionException and leaves the section alone.
    bool Wait(DWORD timeout) override;
    void Unlock() override;

    CKoCriticalSection(const CKoCriticalSection&) = delete;
    CKoCriticalSection& operator=(const CKoCriticalSection&) = delete;

private:
    CRITICAL_SECTION m_section;
};

#endif // CKO_CRITICAL_SECTION_H
