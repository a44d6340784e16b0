#include "CZuInterplayAccess.h"

#include <string.h>
#include <wchar.h>

#include <new>

#include "CZuServiceCall.h"
#include "KoCodePage.h"
#include "KoResult.h"
#include "KoText.h"
#include "ZuResultCodes.h"

namespace {
// HTTP to the local machine on the default port.
const char kDefaultServiceURL[] = "http://localhost/services/Assets";
} // namespace

// Memory that runs out while the object is made (its texts, its settings) is
// ZU_E_OUTOFMEMORY, with no object.
CKoUnknown* CreateAccessObject(IUnknown* outer, HRESULT* result) {
    CKoUnknown* object = nullptr;
    HRESULT hr = KoBoundary([&]() -> HRESULT {
        object = new CZuInterplayAccess(outer);
        return S_OK;
    });
    if (result) *result = hr;
    return object;
}

CZuInterplayAccess::CZuInterplayAccess(IUnknown* outer)
    : CKoUnknown(L"CZuInterplayAccess", outer), m_serviceURL(kDefaultServiceURL), m_searchLimit(20) {
    wmemset(m_searchRoot, L'\0', sizeof m_searchRoot / sizeof m_searchRoot[0]);
    // The returned-text buffer is only ever read after an operation wrote it;
    // it starts terminated all the same.
    m_returnedText[0] = L'\0';
    m_connection.LoadMachineDefaults();
    CreateObjectManager();
}

// The search conditions and the pending delete list hold pointers the callers
// own: only the lists go, not what they point to.
CZuInterplayAccess::~CZuInterplayAccess() = default;

HRESULT CZuInterplayAccess::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IZuInterplayAccess) return KoGetInterface(static_cast<IZuInterplayAccess*>(this), ppv);
    if (riid == IID_IZuInterplayConnection)
        return KoGetInterface(static_cast<IZuInterplayConnection*>(this), ppv);
    return CKoUnknown::NonDelegatingQueryInterface(riid, ppv);
}

std::string CZuInterplayAccess::Narrow(const wchar_t* text, size_t bufferBytes) {
    return KoNarrow(text, bufferBytes);
}

void CZuInterplayAccess::Widen(const char* text, wchar_t* buffer, size_t bufferChars) {
    KoWiden(text, buffer, bufferChars);
}

const wchar_t* CZuInterplayAccess::HandBack(const char* text) {
    Widen(text, m_returnedText, ZU_WIDE_TEXT);
    return m_returnedText;
}

CZuServiceCall CZuInterplayAccess::OpenCall() {
    return CZuServiceCall(m_serviceURL, m_userName, m_password, m_lastErrorText, &m_connection,
                          &m_lastTransport);
}

HRESULT CZuInterplayAccess::SetCredentials(const wchar_t* user, const wchar_t* password) {
    if (!user || !password) return ZU_E_INVALIDARG;
    // Both or neither: narrowed first, then swapped in.
    return KoBoundary([&]() -> HRESULT {
        std::string userName = Narrow(user, ZU_NARROW_CREDENTIAL);
        std::string secret = Narrow(password, ZU_NARROW_CREDENTIAL);
        m_userName.swap(userName);
        m_password.swap(secret);
        return S_OK;
    });
}

HRESULT CZuInterplayAccess::SetServiceURL(const wchar_t* url) {
    if (!url) return ZU_E_INVALIDARG;
    return KoBoundary([&]() -> HRESULT {
        m_serviceURL = Narrow(url, ZU_NARROW_URL);
        return S_OK;
    });
}

HRESULT CZuInterplayAccess::ClearDeleteList() {
    m_deleteList.clear();
    return S_OK;
}

HRESULT CZuInterplayAccess::AddToDeleteList(const wchar_t* assetURI) {
    return KoBoundary([&]() -> HRESULT {
        m_deleteList.push_back(assetURI);
        return S_OK;
    });
}

HRESULT CZuInterplayAccess::GetLastErrorText(const wchar_t** out) {
    if (!out) return ZU_E_INVALIDARG;
    Widen(m_lastErrorText.c_str(), m_returnedText, ZU_WIDE_ERROR_TEXT);
    *out = m_returnedText;
    return S_OK;
}

HRESULT CZuInterplayAccess::ToWideString(std::string narrow, wchar_t* buffer, int bufferChars) {
    if (!buffer) return ZU_E_INVALIDARG;
    if (bufferChars <= 0) return E_FAIL;
    if (MultiByteToWideChar(CP_THREAD_ACP, 0, narrow.c_str(), -1, buffer, bufferChars) == 0) {
        buffer[0] = L'\0';
        return E_FAIL;
    }
    return S_OK;
}

HRESULT CZuInterplayAccess::ToNarrowString(const wchar_t* wide, std::string* out, int bufferBytes) {
    if (!wide || !out) return ZU_E_INVALIDARG;
    return KoBoundary([&]() -> HRESULT {
        *out = bufferBytes > 0 ? Narrow(wide, static_cast<size_t>(bufferBytes)) : std::string();
        return S_OK;
    });
}

HRESULT CZuInterplayAccess::Reserved13() { return S_OK; }
HRESULT CZuInterplayAccess::Reserved23() { return S_OK; }
HRESULT CZuInterplayAccess::Reserved36() { return S_OK; }
