#include "CZuInterplayMobLocatorListAllocator.h"

#include "CZuInterplayMobLocatorList.h"

CZuInterplayMobLocatorListAllocator::CZuInterplayMobLocatorListAllocator()
    : CKoLightUnknown(L"CZuInterplayMobLocatorListAllocator", nullptr) {}

CZuInterplayMobLocatorListAllocator::~CZuInterplayMobLocatorListAllocator() {}

HRESULT CZuInterplayMobLocatorListAllocator::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IKoPoolAllocator) return KoGetInterface(static_cast<IKoPoolAllocator*>(this), ppv);
    return CKoLightUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CZuInterplayMobLocatorListAllocator::Allocate(IUnknown** out) {
    // This allocator writes no failure notice.
    return CZuInterplayObject::Allocate<CZuInterplayMobLocatorList>(
        L"CZuInterplayMobLocatorList", nullptr, out);
}
