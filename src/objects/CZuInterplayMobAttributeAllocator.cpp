#include "CZuInterplayMobAttributeAllocator.h"

#include "CZuInterplayMobAttribute.h"

CZuInterplayMobAttributeAllocator::CZuInterplayMobAttributeAllocator()
    : CKoLightUnknown(L"CZuInterplayMobAttributeAllocator", nullptr) {}

CZuInterplayMobAttributeAllocator::~CZuInterplayMobAttributeAllocator() {}

HRESULT CZuInterplayMobAttributeAllocator::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IKoPoolAllocator) return KoGetInterface(static_cast<IKoPoolAllocator*>(this), ppv);
    return CKoLightUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CZuInterplayMobAttributeAllocator::Allocate(IUnknown** out) {
    return CZuInterplayObject::Allocate<CZuInterplayMobAttribute>(
        L"CZuInterplayMobAttribute", "src\\CZuInterplayMobAttributeAllocator", out);
}
