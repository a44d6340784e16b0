#include "CZuInterplayAssetDescriptionAllocator.h"

#include "CZuInterplayAssetDescription.h"

CZuInterplayAssetDescriptionAllocator::CZuInterplayAssetDescriptionAllocator()
    : CKoLightUnknown(L"CZuInterplayAssetDescriptionAllocator", nullptr) {}

CZuInterplayAssetDescriptionAllocator::~CZuInterplayAssetDescriptionAllocator() {}

HRESULT CZuInterplayAssetDescriptionAllocator::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IKoPoolAllocator) return KoGetInterface(static_cast<IKoPoolAllocator*>(this), ppv);
    return CKoLightUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CZuInterplayAssetDescriptionAllocator::Allocate(IUnknown** out) {
    return CZuInterplayObject::Allocate<CZuInterplayAssetDescription>(
        L"CZuInterplayAssetDescription", "src\\CZuInterplayAssetDescriptionAllocator", out);
}
