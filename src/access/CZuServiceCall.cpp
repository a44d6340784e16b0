#include "CZuServiceCall.h"

#include <utility>

#include "KoFileApi.h"
#include "KoText.h"
#include "KoTrace.h"
#include "ZuResultCodes.h"
#include "ZuTexts.h"

namespace {

// Log lines show texts widened through a buffer of this many wide characters.
const size_t LOG_TEXT_CHARS = 260;

void LogText(const char* line, const std::string& text) {
    wchar_t wide[LOG_TEXT_CHARS];
    KoWiden(text.c_str(), wide, LOG_TEXT_CHARS);
    KoTraceMessage(KO_TRACE_CATEGORY_ACCESS, KO_TRACE_LEVEL, line, wide);
}

} // namespace

CZuServiceCall::Policy::Policy()
    : m_transportText(ZU_TEXT_NO_WEB_SERVICE),
      m_transportCodeLine(nullptr),
      m_transportTextLine(nullptr),
      m_transportWideText(ZU_TEXT_W_NO_WEB_SERVICE),
      m_messageLine(nullptr),
      m_detailsLine(nullptr),
      m_useDetails(true),
      m_byCaller(false),
      m_sourceFailure(nullptr) {}

CZuServiceCall::Policy& CZuServiceCall::Policy::LogTransportFailure(const char* codeLine,
                                                                    const char* textLine,
                                                                    const wchar_t* wideText) {
    m_transportCodeLine = codeLine;
    m_transportTextLine = textLine;
    if (wideText) m_transportWideText = wideText;
    return *this;
}

CZuServiceCall::Policy& CZuServiceCall::Policy::TransportFailureText(const char* text) {
    m_transportText = text;
    return *this;
}

CZuServiceCall::Policy& CZuServiceCall::Policy::LogServerError(const char* messageLine,
                                                               const char* detailsLine) {
    m_messageLine = messageLine;
    m_detailsLine = detailsLine ? detailsLine : messageLine;
    return *this;
}

CZuServiceCall::Policy& CZuServiceCall::Policy::KeepMessage() {
    m_useDetails = false;
    return *this;
}

CZuServiceCall::Policy& CZuServiceCall::Policy::ServerErrorByCaller() {
    m_byCaller = true;
    return *this;
}

CZuServiceCall::Policy& CZuServiceCall::Policy::ReadsFrom(const SourceFailure* failure) {
    m_sourceFailure = failure;
    return *this;
}

CZuServiceCall::CZuServiceCall(std::string serviceURL, const std::string& userName,
                               const std::string& password, std::string& lastErrorText,
                               const CZuConnectionSettings* settings, CZuTransportReport* report)
    : m_serviceURL(std::move(serviceURL)),
      m_password(password),
      m_report(report),
      m_lastErrorText(lastErrorText) {
    m_binding.endpoint = m_serviceURL.c_str();
    const CZuConnectionSettings defaults;
    if (!settings) settings = &defaults;
    m_binding.SetTimeouts(settings->connectTimeoutMs, settings->idleTimeoutMs, settings->callTimeoutMs);
    // The CA file is a path like any other the component opens.
    const std::wstring& caFile = settings->trustedCertificates;
    m_binding.SetTls(caFile.empty() ? std::string() : KoMapWindowsPath(KoNarrow(caFile.c_str()).c_str()),
                     settings->verifyServer);
    m_binding.SetResponseLimit(settings->responseLimitBytes);
    m_open = m_binding.SetCredentials(userName, password) == SOAP_OK;
}

void CZuServiceCall::Report(int code, bool log) {
    CZuTransportReport report = m_binding.Report();
    if (code != SOAP_OK && report.code == SOAP_OK) report.Refuse(code, nullptr, "Out of memory");
    report.Scrub(KoWiden(m_password.c_str()));
    if (log && code != SOAP_OK && KoFilterLogToFile(KO_TRACE_CATEGORY_ACCESS, KO_TRACE_LEVEL))
        KoTraceFile(KO_TRACE_CATEGORY_ACCESS, KO_TRACE_LEVEL, ZU_LOG_TRANSPORT_FAILURE,
                    report.operation.c_str(), report.code, report.httpStatus, report.faultCode.c_str(),
                    report.faultString.c_str(), report.faultDetail.c_str(), report.runtimeWords.c_str());
    if (m_report) *m_report = std::move(report);
}

CZuServiceCall::~CZuServiceCall() = default;

HRESULT CZuServiceCall::Sort(int code, const ZuAssets::types__ErrorListType* errors, const Policy& policy) {
    m_code = code;
    m_firstError = nullptr;
    const SourceFailure* source = policy.m_sourceFailure;
    if (code != SOAP_OK && source && FAILED(source->hr)) {
        Report(code, false);
        m_outcome = SOURCE_FAILURE;
        m_lastErrorText = source->text;
        return source->hr;
    }
    if (code != SOAP_OK && m_binding.ContentRefused()) {
        Report(code, false);
        m_outcome = LOCAL_FAILURE;
        return code;
    }
    Report(code, true);
    if (code != SOAP_OK) {
        m_outcome = TRANSPORT_FAILURE;
        m_lastErrorText = policy.m_transportText;
        if (code == SOAP_SSL_ERROR && !AssetsPortBinding::SupportsTls() &&
            AssetsPortBinding::IsHttps(m_serviceURL.c_str()))
            m_lastErrorText = ZU_TEXT_NO_TLS;
        if (code == SOAP_LENGTH || code == SOAP_LEVEL || code == SOAP_OCCURS)
            m_lastErrorText = ZU_TEXT_RESPONSE_REFUSED;
        if (policy.m_transportCodeLine)
            KoTraceMessage(KO_TRACE_CATEGORY_ACCESS, KO_TRACE_LEVEL, policy.m_transportCodeLine, code);
        if (policy.m_transportTextLine)
            KoTraceMessage(KO_TRACE_CATEGORY_ACCESS, KO_TRACE_LEVEL, policy.m_transportTextLine,
                           policy.m_transportWideText);
        return code;
    }
    if (!errors || errors->Error.empty()) {
        m_outcome = SUCCESS;
        return S_OK;
    }
    static const ZuAssets::types__ErrorType nilError;
    m_outcome = SERVER_ERROR;
    m_firstError = errors->Error.front() ? errors->Error.front() : &nilError;
    if (policy.m_byCaller) return ZU_E_SERVERERROR;
    m_lastErrorText = m_firstError->Message;
    if (policy.m_messageLine) LogText(policy.m_messageLine, m_firstError->Message);
    if (policy.m_useDetails) {
        m_lastErrorText = m_firstError->Details;
        if (policy.m_detailsLine) LogText(policy.m_detailsLine, m_firstError->Details);
    }
    return ZU_E_SERVERERROR;
}
