// Folders, copies, latest versions and headframes. (not yet available).
#include "CZuInterplayAccess.h"

HRESULT CZuInterplayAccess::CreateFolder(const wchar_t*) { return E_NOTIMPL; }
HRESULT CZuInterplayAccess::Duplicate(const wchar_t*, const wchar_t*, const wchar_t**) { return E_NOTIMPL; }
HRESULT CZuInterplayAccess::GetHeadframe(const wchar_t*, const wchar_t**) { return E_NOTIMPL; }
HRESULT CZuInterplayAccess::GetLatest(const wchar_t*, const wchar_t**) { return E_NOTIMPL; }
