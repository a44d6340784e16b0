#include "CKoUnknown.h"

#include "KoInterlocked.h"

CKoUnknown::CKoUnknown(const wchar_t* name, IUnknown* outer)
    : CKoBaseObject(name), m_inner(this), m_owner(outer ? outer : &m_inner), m_refCount(0) {}

CKoUnknown::~CKoUnknown() = default;

HRESULT CKoUnknown::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    return KoQueryInnerUnknown(&m_inner, this, riid, ppv);
}

ULONG CKoUnknown::NonDelegatingAddRef() { return KoCountedAddRef(&m_refCount); }

ULONG CKoUnknown::NonDelegatingRelease() {
    ULONG result;
    if (KoCountedRelease(&m_refCount, &result)) delete this;
    return result;
}

LONG CKoUnknown::GetRefCount() const { return KoInterlockedRead(&m_refCount); }
