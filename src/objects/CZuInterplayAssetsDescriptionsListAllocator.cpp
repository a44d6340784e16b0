#include "CZuInterplayAssetsDescriptionsListAllocator.h"

#include "CZuInterplayAssetsDescriptionsList.h"

CZuInterplayAssetsDescriptionsListAllocator::CZuInterplayAssetsDescriptionsListAllocator()
    : CKoLightUnknown(L"CZuInterplayAssetsDescriptionsListAllocator", nullptr) {}

CZuInterplayAssetsDescriptionsListAllocator::~CZuInterplayAssetsDescriptionsListAllocator() {}

HRESULT CZuInterplayAssetsDescriptionsListAllocator::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IKoPoolAllocator) return KoGetInterface(static_cast<IKoPoolAllocator*>(this), ppv);
    return CKoLightUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CZuInterplayAssetsDescriptionsListAllocator::Allocate(IUnknown** out) {
    return CZuInterplayObject::Allocate<CZuInterplayAssetsDescriptionsList>(
        L"CZuInterplayAssetsDescriptionsList", "src\\CZuInterplayAssetsDescriptionsListAllocator", out);
}
