#include "CKoAutoLock.h"

#include "CKoBaseException.h"
#include "KoSync.h"

CKoAutoLock::CKoAutoLock(CKoSynchronizationObject* object) : m_object(object) {
    if (!m_object)
        throw CKoAutoLockException("CKoAutoLock::CKoAutoLock -> NULL CKoSynchronizationObject pointer");
    m_object->Wait(INFINITE);
}

CKoAutoLock::~CKoAutoLock() {
    try {
        m_object->Unlock();
    } catch (...) {
    }
    m_object = nullptr;
}
