#include "CKoCriticalSection.h"

#include "CKoBaseException.h"

CKoCriticalSection::CKoCriticalSection() { InitializeCriticalSection(&m_section); }

CKoCriticalSection::~CKoCriticalSection() { DeleteCriticalSection(&m_section); }

bool CKoCriticalSection::Wait(DWORD timeout) {
    if (timeout == 0) return TryEnterCriticalSection(&m_section) != FALSE;
    if (timeout == INFINITE) {
        EnterCriticalSection(&m_section);
        return true;
    }
    throw CKoCriticalSectionException("CKoCriticalSection::Wait -> 0 or INFINITE time-outs only");
}

void CKoCriticalSection::Unlock() { LeaveCriticalSection(&m_section); }
