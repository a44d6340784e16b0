#include "CKoClassFactory.h"

#include "CKoUnknown.h"
#include "KoResult.h"

CKoClassFactory::CKoClassFactory(const KoClassTableEntry* entry)
    : CKoBaseObject(L"CKoClassFactory"), m_entry(entry), m_refCount(0) {}

HRESULT CKoClassFactory::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
        AddRef();
        *ppv = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG CKoClassFactory::AddRef() { return ++m_refCount; }

ULONG CKoClassFactory::Release() {
    ULONG count = --m_refCount;
    if (count == 0) delete this;
    return count;
}

HRESULT CKoClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    // An aggregating object can only hold the inner object's own unknown.
    if (outer && riid != IID_IUnknown) return E_NOINTERFACE;

    HRESULT hr = S_OK;
    CKoUnknown* object = nullptr;
    // A class's creation function that throws still ends in a result code.
    HRESULT thrown = KoBoundary([&]() -> HRESULT {
        object = m_entry->create(outer, &hr);
        return S_OK;
    });
    if (FAILED(thrown)) return thrown;
    if (!object) return FAILED(hr) ? hr : E_OUTOFMEMORY;
    if (FAILED(hr)) {
        delete object;
        return hr;
    }
    // A failed query destroys the new object with this last release.
    object->NonDelegatingAddRef();
    hr = object->NonDelegatingQueryInterface(riid, ppv);
    object->NonDelegatingRelease();
    return hr;
}

HRESULT CKoClassFactory::LockServer(BOOL lock) {
    KoLockServer(lock != FALSE);
    return S_OK;
}
