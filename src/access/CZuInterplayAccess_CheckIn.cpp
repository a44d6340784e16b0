// Check-in of files and AAF compositions. (not yet available).
#include "CZuInterplayAccess.h"

HRESULT CZuInterplayAccess::CheckIn(const wchar_t*, const wchar_t*, IZuInterplayMobAttributeList*) { return E_NOTIMPL; }
HRESULT CZuInterplayAccess::CheckInAAF(const wchar_t*, const wchar_t*, IZuInterplayMobAttributeList*, const wchar_t*) { return E_NOTIMPL; }
HRESULT CZuInterplayAccess::CheckInAAFEx(const wchar_t*, const wchar_t*, IZuInterplayMobAttributeList*, const wchar_t*, const wchar_t**) { return E_NOTIMPL; }
HRESULT CZuInterplayAccess::CheckErrorInfo(const std::string&, const std::string&) { return E_NOTIMPL; }
