#include "CZuTransportReport.h"

#include <stdsoap2.h>

#include <utility>

#include "CZuAssetsEnvelope.h"
#include "KoCodePage.h"

namespace {

// Narrow text of a code page as wide text; null gives "".
std::wstring WideOf(const char* text, UINT codePage) {
    if (!text || !*text) return std::wstring();
    int chars = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (chars <= 1) return std::wstring();
    std::wstring wide(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, &wide[0], chars);
    wide.resize(static_cast<size_t>(chars - 1));
    return wide;
}

// The runtime hands texts over as UTF-8 (SOAP_C_UTFSTRING).
std::wstring FromUtf8(const char* text) { return WideOf(text, CP_UTF8); }

bool IsFaultCode(int code) {
    return code == SOAP_FAULT || code == SOAP_CLI_FAULT || code == SOAP_SVR_FAULT ||
           code == SOAP_MUSTUNDERSTAND || code == SOAP_VERSIONMISMATCH;
}

void Join(std::wstring& text, const std::wstring& part, const wchar_t* separator) {
    if (part.empty()) return;
    if (!text.empty()) text += separator;
    text += part;
}

// The runtime's words for the context's code: the fault string and detail
// its fault routine gives that code when no server text stands in the way.
std::wstring RuntimeWords(struct soap* soap) {
    const char** code = soap_faultcode(soap);
    const char** string = soap_faultstring(soap);
    const char** detail = soap_faultdetail(soap);
    if (!code || !string) return std::wstring();
    const char* savedCode = *code;
    const char* savedString = *string;
    const char* savedDetail = detail ? *detail : nullptr;
    *string = nullptr;
    if (detail) *detail = nullptr;
    soap_set_fault(soap);
    std::wstring words = FromUtf8(*string);
    if (detail && *detail) Join(words, FromUtf8(*detail), L": ");
    *code = savedCode;
    *string = savedString;
    if (detail) *detail = savedDetail;
    return words;
}

} // namespace

void CZuTransportReport::Clear() { *this = CZuTransportReport(); }

void CZuTransportReport::Capture(struct soap* soap, int resultCode, const char* operationName) {
    Clear();
    code = resultCode;
    operation = operationName ? operationName : "";
    if (!soap) return;
    // The status line's code; before one is read the context holds its own
    // request method there.
    if (soap->status >= 100 && soap->status <= 599) httpStatus = soap->status;
    if (IsFaultCode(resultCode) && soap->fault) {
        faultCode = FromUtf8(*soap_faultcode(soap));
        faultString = FromUtf8(soap_fault_string(soap));
        std::string assetsCode, message, details;
        if (CZuAssetsEnvelope::GetFaultDetail(soap, &assetsCode, &message, &details)) {
            Join(faultDetail, WideOf(assetsCode.c_str(), CP_THREAD_ACP), L"; ");
            Join(faultDetail, WideOf(message.c_str(), CP_THREAD_ACP), L"; ");
            Join(faultDetail, WideOf(details.c_str(), CP_THREAD_ACP), L"; ");
        } else {
            faultDetail = FromUtf8(soap_fault_detail(soap));
        }
        // The runtime's fault routine reads the context's code.
        int saved = soap->error;
        soap->error = resultCode;
        runtimeWords = RuntimeWords(soap);
        soap->error = saved;
        return;
    }
    // A failure the runtime met itself: its words are in the fault record
    // when it wrote them there, otherwise its fault routine gives them.
    const char* string = soap->fault ? soap_fault_string(soap) : nullptr;
    if (string && *string) {
        runtimeWords = FromUtf8(string);
        Join(runtimeWords, FromUtf8(soap_fault_detail(soap)), L": ");
        return;
    }
    int saved = soap->error;
    soap->error = resultCode;
    runtimeWords = RuntimeWords(soap);
    soap->error = saved;
}

std::wstring CZuTransportReport::SizesText() const {
    return std::to_wstring(bytesSent) + L" bytes sent, " + std::to_wstring(bytesReceived) +
           L" bytes received";
}

void CZuTransportReport::Refuse(int resultCode, const char* operationName, const char* words) {
    Clear();
    code = resultCode;
    operation = operationName ? operationName : "";
    runtimeWords = FromUtf8(words);
}

void CZuTransportReport::NothingSent(const char* why) {
    std::wstring words = FromUtf8(why) + L": nothing was sent";
    if (!runtimeWords.empty()) {
        // The TLS library's words come in lines.
        std::wstring own = runtimeWords;
        for (size_t at = own.find(L'\n'); at != std::wstring::npos; at = own.find(L'\n', at))
            own.replace(at, 1, L"; ");
        words += L" (" + own + L")";
    }
    runtimeWords = std::move(words);
}

void CZuTransportReport::Scrub(const std::wstring& secret) {
    if (secret.empty()) return;
    for (std::wstring* text : {&faultCode, &faultString, &faultDetail, &runtimeWords}) {
        for (size_t at = text->find(secret); at != std::wstring::npos; at = text->find(secret, at + 3))
            text->replace(at, secret.size(), L"***");
    }
}
