#include "CKoLightUnknown.h"

CKoLightUnknown::CKoLightUnknown(const wchar_t* name, IUnknown* outer)
    : CKoBaseObject(name), m_inner(this), m_owner(outer ? outer : &m_inner), m_refCount(1) {}

CKoLightUnknown::CKoLightUnknown(const wchar_t* name, IUnknown* outer, HRESULT* result)
    : CKoLightUnknown(name, outer) {
    if (result) *result = S_OK;
}

CKoLightUnknown::~CKoLightUnknown() = default;

HRESULT CKoLightUnknown::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    return KoQueryInnerUnknown(&m_inner, this, riid, ppv);
}

ULONG CKoLightUnknown::NonDelegatingAddRef() { return KoCountedAddRef(&m_refCount); }

ULONG CKoLightUnknown::NonDelegatingRelease() {
    ULONG result;
    if (KoCountedRelease(&m_refCount, &result)) delete this;
    return result;
}

IUnknown* CKoLightUnknown::GetOwner() const { return m_owner; }
