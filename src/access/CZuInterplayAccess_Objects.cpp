// Empty result objects from the pools. (not yet available).
#include "CZuInterplayAccess.h"

HRESULT CZuInterplayAccess::CreateMobAttribute(IZuInterplayMobAttribute**) { return E_NOTIMPL; }
HRESULT CZuInterplayAccess::CreateMobAttributeList(IZuInterplayMobAttributeList**) { return E_NOTIMPL; }
HRESULT CZuInterplayAccess::CreateAssetDescription(IZuInterplayAssetDescription**) { return E_NOTIMPL; }
HRESULT CZuInterplayAccess::CreateAssetsDescriptionsList(IZuInterplayAssetsDescriptionsList**) { return E_NOTIMPL; }
HRESULT CZuInterplayAccess::CreateMobLocator(IZuInterplayMobLocator**) { return E_NOTIMPL; }
HRESULT CZuInterplayAccess::CreateMobLocatorList(IZuInterplayMobLocatorList**) { return E_NOTIMPL; }
void CZuInterplayAccess::CreateObjectManager() {}
