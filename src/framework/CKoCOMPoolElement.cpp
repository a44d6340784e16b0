#include "CKoCOMPoolElement.h"

CKoCOMPoolElement::CKoCOMPoolElement(const wchar_t* name, IUnknown* outer)
    : CKoUnknown(name, outer), m_inPool(false), m_pool(nullptr) {}

CKoCOMPoolElement::~CKoCOMPoolElement() = default;

HRESULT CKoCOMPoolElement::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IKoCOMPoolElement) return KoGetInterface(static_cast<IKoCOMPoolElement*>(this), ppv);
    return CKoUnknown::NonDelegatingQueryInterface(riid, ppv);
}

ULONG CKoCOMPoolElement::NonDelegatingRelease() {
    ULONG count = CKoUnknown::NonDelegatingRelease();
    if (count == 1) {
        if (IKoPoolManager* pool = GetPoolManager()) pool->ReturnElement(this);
    }
    return count;
}

HRESULT CKoCOMPoolElement::SetPoolManager(IKoPoolManager* pool) {
    m_pool.store(pool, std::memory_order_release);
    return S_OK;
}

HRESULT CKoCOMPoolElement::OnReturnToPool() {
    m_inPool = true;
    return S_OK;
}

HRESULT CKoCOMPoolElement::OnLeaveFromPool() {
    m_inPool = false;
    return S_OK;
}
