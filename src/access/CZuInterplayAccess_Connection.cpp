// IZuInterplayConnection: the connection settings and the last exchange.
#include "CZuInterplayAccess.h"

#include "KoResult.h"
#include "ZuResultCodes.h"

namespace {

// Hands text back through the caller's buffer (IZuInterplayConnection.h).
HRESULT CopyOut(const std::wstring& text, wchar_t* buffer, int bufferChars, int* neededChars) {
    if (bufferChars < 0 || (!buffer && bufferChars > 0)) return ZU_E_INVALIDARG;
    if (neededChars) *neededChars = static_cast<int>(text.size() + 1);
    if (!buffer) return neededChars ? S_OK : ZU_E_INVALIDARG;
    if (bufferChars == 0) return S_FALSE;
    size_t room = static_cast<size_t>(bufferChars) - 1;
    size_t count = text.size() <= room ? text.size() : room;
    // Never keep the first half of a surrogate pair alone.
    if (count < text.size() && count > 0 && text[count - 1] >= 0xD800 && text[count - 1] <= 0xDBFF) --count;
    text.copy(buffer, count);
    buffer[count] = L'\0';
    return count == text.size() ? S_OK : S_FALSE;
}

} // namespace

HRESULT CZuInterplayAccess::SetTimeouts(ULONG connectMs, ULONG idleMs, ULONG callMs) {
    m_connection.connectTimeoutMs = connectMs;
    m_connection.idleTimeoutMs = idleMs;
    m_connection.callTimeoutMs = callMs;
    return S_OK;
}

HRESULT CZuInterplayAccess::GetTimeouts(ULONG* connectMs, ULONG* idleMs, ULONG* callMs) {
    if (connectMs) *connectMs = m_connection.connectTimeoutMs;
    if (idleMs) *idleMs = m_connection.idleTimeoutMs;
    if (callMs) *callMs = m_connection.callTimeoutMs;
    return S_OK;
}

HRESULT CZuInterplayAccess::SetTrustedCertificates(const wchar_t* caFile) {
    return KoBoundary([&]() -> HRESULT {
        m_connection.trustedCertificates = caFile ? caFile : L"";
        return S_OK;
    });
}

HRESULT CZuInterplayAccess::GetTrustedCertificates(wchar_t* buffer, int bufferChars, int* neededChars) {
    return CopyOut(m_connection.trustedCertificates, buffer, bufferChars, neededChars);
}

HRESULT CZuInterplayAccess::SetVerifyServer(bool verify) {
    m_connection.verifyServer = verify;
    return S_OK;
}

HRESULT CZuInterplayAccess::GetVerifyServer(bool* verify) {
    KO_RETURN_HR_IF(ZU_E_INVALIDARG, !verify);
    *verify = m_connection.verifyServer;
    return S_OK;
}

HRESULT CZuInterplayAccess::GetLastTransportError(int* runtimeCode, int* httpStatus) {
    if (runtimeCode) *runtimeCode = m_lastTransport.code;
    if (httpStatus) *httpStatus = m_lastTransport.httpStatus;
    return S_OK;
}

HRESULT CZuInterplayAccess::GetLastTransportText(int kind, wchar_t* buffer, int bufferChars,
                                                 int* neededChars) {
    switch (kind) {
    case ZU_TRANSPORT_FAULT_CODE:
        return CopyOut(m_lastTransport.faultCode, buffer, bufferChars, neededChars);
    case ZU_TRANSPORT_FAULT_STRING:
        return CopyOut(m_lastTransport.faultString, buffer, bufferChars, neededChars);
    case ZU_TRANSPORT_FAULT_DETAIL:
        return CopyOut(m_lastTransport.faultDetail, buffer, bufferChars, neededChars);
    case ZU_TRANSPORT_RUNTIME_WORDS:
        return CopyOut(m_lastTransport.runtimeWords, buffer, bufferChars, neededChars);
    case ZU_TRANSPORT_EXCHANGE_SIZES:
        return CopyOut(m_lastTransport.SizesText(), buffer, bufferChars, neededChars);
    default:
        return ZU_E_INVALIDARG;
    }
}

HRESULT CZuInterplayAccess::SetResponseLimit(ULONG bytes) {
    m_connection.responseLimitBytes = bytes;
    return S_OK;
}

HRESULT CZuInterplayAccess::GetResponseLimit(ULONG* bytes) {
    KO_RETURN_HR_IF(ZU_E_INVALIDARG, !bytes);
    *bytes = m_connection.responseLimitBytes;
    return S_OK;
}
