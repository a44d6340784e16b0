// Browsing folders and searching. (not yet available).
#include "CZuInterplayAccess.h"

HRESULT CZuInterplayAccess::GetChildren(const wchar_t*, bool, IZuInterplayAssetsDescriptionsList**) { return E_NOTIMPL; }
HRESULT CZuInterplayAccess::SetSearchOptions(const wchar_t*, int, int) { return E_NOTIMPL; }
HRESULT CZuInterplayAccess::AddSearchCondition(unsigned, IZuInterplayMobAttribute*) { return E_NOTIMPL; }
HRESULT CZuInterplayAccess::Search(IZuInterplayAssetsDescriptionsList**) { return E_NOTIMPL; }
