#include "CZuInterPlayMobLocatorAllocator.h"

#include "CZuInterPlayMobLocator.h"

CZuInterPlayMobLocatorAllocator::CZuInterPlayMobLocatorAllocator()
    : CKoLightUnknown(L"CZuInterPlayMobLocatorAllocator", nullptr) {}

CZuInterPlayMobLocatorAllocator::~CZuInterPlayMobLocatorAllocator() {}

HRESULT CZuInterPlayMobLocatorAllocator::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IKoPoolAllocator) return KoGetInterface(static_cast<IKoPoolAllocator*>(this), ppv);
    return CKoLightUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CZuInterPlayMobLocatorAllocator::Allocate(IUnknown** out) {
    // This allocator writes no failure notice.
    return CZuInterplayObject::Allocate<CZuInterPlayMobLocator>(
        L"CZuInterPlayMobLocator", nullptr, out);
}
