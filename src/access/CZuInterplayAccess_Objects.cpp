// Empty result objects from the access object's own pools.
#include "CZuInterplayAccess.h"
#include "CZuInterplayObjectManager.h"
#include "IZuSpareReference.h"
#include "KoResult.h"
#include "ZuResultCodes.h"

namespace {

// Takes an object of the kind from the manager and hands it out through the
// interface I with one reference for the caller, plus extraReferences more.
// On failure *out is left as it was.
template <class I>
HRESULT HandOut(IZuInterplayObjectManager* manager, unsigned kind, REFIID iid, I** out,
                unsigned extraReferences) {
    if (!out) return ZU_E_INVALIDARG;
    // The manager could not be made: nothing to hand out.
    if (!manager) return ZU_E_FAILED;
    TKoSmartPtr<IZuInterplayObject> object;
    KO_RETURN_IF_FAILED(manager->GetInterplayObject(kind, object.Put()));
    TKoSmartPtr<I> typed;
    HRESULT hr = object.Query(iid, typed);
    KO_RETURN_IF_FAILED(hr);
    for (unsigned i = 0; i < extraReferences; ++i) typed->AddRef();
    *out = typed.Detach();
    return hr;
}

} // namespace

void CZuInterplayAccess::CreateObjectManager() {
    // Nothing here is reported: without a manager the slots below refuse.
    HRESULT hr = S_OK;
    CZuInterplayObjectManager* manager = ::CreateObjectManager(nullptr, &hr);
    if (!manager) return;
    // Holding a reference across the query means a failed query destroys the
    // new manager.
    manager->NonDelegatingAddRef();
    manager->NonDelegatingQueryInterface(IID_IZuInterplayObjectManager, m_objectManager.PutVoid());
    manager->NonDelegatingRelease();
    if (m_objectManager) m_objectManager->Initialize();
}

HRESULT CZuInterplayAccess::CreateMobAttribute(IZuInterplayMobAttribute** out) {
    return HandOut(m_objectManager, ZU_KIND_MOB_ATTRIBUTE, IID_IZuInterplayMobAttribute, out, 0);
}

HRESULT CZuInterplayAccess::CreateMobAttributeList(IZuInterplayMobAttributeList** out) {
    return HandOut(m_objectManager, ZU_KIND_MOB_ATTRIBUTE_LIST, IID_IZuInterplayMobAttributeList, out, 0);
}

HRESULT CZuInterplayAccess::CreateAssetDescription(IZuInterplayAssetDescription** out) {
    return HandOut(m_objectManager, ZU_KIND_ASSET_DESCRIPTION, IID_IZuInterplayAssetDescription, out, 0);
}

HRESULT CZuInterplayAccess::CreateAssetsDescriptionsList(IZuInterplayAssetsDescriptionsList** out) {
    return HandOut(m_objectManager, ZU_KIND_ASSETS_DESCRIPTIONS_LIST, IID_IZuInterplayAssetsDescriptionsList,
                   out, 0);
}

// The locator slots hand out one reference more than the others. A locator
// notes its spare reference, which AddLocators gives back once.
HRESULT CZuInterplayAccess::CreateMobLocator(IZuInterplayMobLocator** out) {
    HRESULT hr = HandOut(m_objectManager, ZU_KIND_MOB_LOCATOR, IID_IZuInterplayMobLocator, out, 1);
    KO_RETURN_IF_FAILED(hr);
    IZuSpareReference* spare = nullptr;
    if (SUCCEEDED(KoQueryInterface(*out, IID_IZuSpareReference, &spare))) {
        spare->MarkSpareReference();
        spare->Release();
    }
    return hr;
}

HRESULT CZuInterplayAccess::CreateMobLocatorList(IZuInterplayMobLocatorList** out) {
    return HandOut(m_objectManager, ZU_KIND_MOB_LOCATOR_LIST, IID_IZuInterplayMobLocatorList, out, 1);
}
