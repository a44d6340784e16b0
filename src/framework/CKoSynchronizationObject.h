// Something a thread can hold for a while: the framework's locks.
#ifndef CKO_SYNCHRONIZATION_OBJECT_H
#define CKO_SYNCHRONIZATION_OBJECT_H

#include "KoCom.h"

class CKoSynchronizationObject {
public:
    virtual ~CKoSynchronizationObject() = default;
    // Acquires the object within the time-out (milliseconds); true on success.
    virtual bool Wait(DWORD timeout) = 0;
    virtual void Unlock() = 0;
};

#endif // CKO_SYNCHRONIZATION_OBJECT_H
