// Moving and deleting assets. (not yet available).
#include "CZuInterplayAccess.h"

HRESULT CZuInterplayAccess::Move(const wchar_t*, const wchar_t*) { return E_NOTIMPL; }
HRESULT CZuInterplayAccess::DeleteAssets(bool, bool) { return E_NOTIMPL; }
