#include "CKoInnerUnknown.h"

#include "KoInterlocked.h"

HRESULT CKoInnerUnknown::QueryInterface(REFIID riid, void** ppv) {
    return m_self->NonDelegatingQueryInterface(riid, ppv);
}

ULONG CKoInnerUnknown::AddRef() { return m_self->NonDelegatingAddRef(); }

ULONG CKoInnerUnknown::Release() { return m_self->NonDelegatingRelease(); }

HRESULT KoQueryInnerUnknown(IUnknown* inner, INonDelegatingUnknown* self, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown) {
        self->NonDelegatingAddRef();
        *ppv = inner;
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG KoCountedAddRef(volatile LONG* count) {
    LONG n = InterlockedIncrement(count);
    return n < 1 ? 1u : static_cast<ULONG>(n);
}

bool KoCountedRelease(volatile LONG* count, ULONG* result) {
    LONG n = InterlockedDecrement(count);
    if (n == 0) {
        InterlockedIncrement(count);
        *result = 0;
        return true;
    }
    *result = n < 1 ? 1u : static_cast<ULONG>(n);
    return false;
}
