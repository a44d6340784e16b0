// Reading, adding and removing locators. (not yet available).
#include "CZuInterplayAccess.h"

HRESULT CZuInterplayAccess::GetLocators(const wchar_t*, IZuInterplayMobLocatorList**) { return E_NOTIMPL; }
HRESULT CZuInterplayAccess::RemoveLocators(const wchar_t*, int) { return E_NOTIMPL; }
HRESULT CZuInterplayAccess::AddLocators(const wchar_t*, IZuInterplayMobLocatorList*) { return E_NOTIMPL; }
