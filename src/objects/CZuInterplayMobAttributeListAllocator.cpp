#include "CZuInterplayMobAttributeListAllocator.h"

#include "CZuInterplayMobAttributeList.h"

CZuInterplayMobAttributeListAllocator::CZuInterplayMobAttributeListAllocator()
    : CKoLightUnknown(L"CZuInterplayMobAttributeListAllocator", nullptr) {}

CZuInterplayMobAttributeListAllocator::~CZuInterplayMobAttributeListAllocator() {}

HRESULT CZuInterplayMobAttributeListAllocator::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IKoPoolAllocator) {
        NonDelegatingAddRef();
        *ppv = static_cast<IKoPoolAllocator*>(this);
        return S_OK;
    }
    return CKoLightUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CZuInterplayMobAttributeListAllocator::Allocate(IUnknown** out) {
    return CZuInterplayObject::Allocate<CZuInterplayMobAttributeList>(
        L"CZuInterplayMobAttributeList", "src\\CZuInterplayMobAttributeListAllocator", out);
}
