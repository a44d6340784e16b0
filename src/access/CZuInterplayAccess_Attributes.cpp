// Reading and writing attributes. (not yet available).
#include "CZuInterplayAccess.h"

HRESULT CZuInterplayAccess::SetAttributes(const wchar_t*, IZuInterplayMobAttributeList*) { return E_NOTIMPL; }
HRESULT CZuInterplayAccess::GetAttributes(const wchar_t*, IZuInterplayMobAttributeList**) { return E_NOTIMPL; }
