#include "CZuInterplayMobAttributeListAllocator.h"

#include "CZuInterplayMobAttributeList.h"

CZuInterplayMobAttributeListAllocator::CZuInterplayMobAttributeListAllocator()
    : CKoLightUnknown(L"CZuInterplayMobAttributeListAllocator", nullptr) {}

CZuInterplayMobAttributeListAllocator::~CZuInterplayMobAttributeListAllocator() {}

HRESULT CZuInterplayMobAttributeListAllocator::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IKoPoolAllocator) return KoGetInterface(static_cast<IKoPoolAllocator*>(this), ppv);
    return CKoLightUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CZuInterplayMobAttributeListAllocator::Allocate(IUnknown** out) {
    return CZuInterplayObject::Allocate<CZuInterplayMobAttributeList>(
        L"CZuInterplayMobAttributeList", "src\\CZuInterplayMobAttributeListAllocator", out);
}
