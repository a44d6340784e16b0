// Holds a synchronisation object for the lifetime of a block.
#ifndef CKO_AUTO_LOCK_H
#define CKO_AUTO_LOCK_H

#include "CKoSynchronizationObject.h"

class CKoAutoLock {
public:
    // Throws CKoAutoLockException on a null object, before anything is locked.
    explicit CKoAutoLock(CKoSynchronizationObject* object);
    // Unlocks; never throws.
    ~CKoAutoLock();

    CKoAutoLock(const CKoAutoLock&) = delete;
    CKoAutoLock& operator=(const CKoAutoLock&) = delete;

private:
    CKoSynchronizationObject* m_object;
};

#endif // CKO_AUTO_LOCK_H
