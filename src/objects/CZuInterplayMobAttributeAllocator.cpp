#include "CZuInterplayMobAttributeAllocator.h"

#include "CZuInterplayMobAttribute.h"

CZuInterplayMobAttributeAllocator::CZuInterplayMobAttributeAllocator()
    : CKoLightUnknown(L"CZuInterplayMobAttributeAllocator", nullptr) {}

CZuInterplayMobAttributeAllocator::~CZuInterplayMobAttributeAllocator() {}

HRESULT CZuInterplayMobAttributeAllocator::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IKoPoolAllocator) {
        NonDelegatingAddRef();
        *ppv = static_cast<IKoPoolAllocator*>(this);
        return S_OK;
    }
    return CKoLightUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CZuInterplayMobAttributeAllocator::Allocate(IUnknown** out) {
    return CZuInterplayObject::Allocate<CZuInterplayMobAttribute>(
        L"CZuInterplayMobAttribute", "src\\CZuInterplayMobAttributeAllocator", out);
}
