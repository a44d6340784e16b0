// One exchange of a service operation with the Assets service, in the pattern
// every operation of the access object follows: open a binding with the stored
// service URL and copies of the stored user name and password, call one
// operation, sort the outcome into transport failure, server error or success,
// leave the last error text and write the log lines, close the binding when the
// object goes.
//
//   CZuServiceCall call = OpenCall();   // the access object's settings
//   ZuAssets::types__CreateFolderType request;
//   request.InterplayURI = Narrow(folderURI, ZU_NARROW_URI);
//   ZuAssets::types__CreateFolderResponseType response;
//   return call.Run(&AssetsPortBinding::__assets__CreateFolder, &request, &response,
//       CZuServiceCall::Policy().LogServerError(ZU_LOG_CREATE_FOLDER));
//
// Run returns:
//   - transport failure (the binding's non-zero code; also SOAP_EOM when the
//     binding has no context): that code, as it is. The last error text
//     becomes ZU_TEXT_NO_WEB_SERVICE (or the policy's text);
//   - server error (the response's types:Errors holds at least one
//     types:Error): ZU_E_SERVERERROR. The last error text becomes the first
//     error's Message, then its Details;
//   - success (also a types:Errors element without entries): S_OK;
//   - local failure (the binding's content sink refused the file content: a
//     local file could not be written, and the read stopped): the binding's
//     code. Nothing is logged and the last error text is left to the
//     operation.
// The Policy says what an operation does differently: which lines it logs and
// which text it leaves. The response is read only when the call returned 0;
// it lives, with everything allocated from Context(), until the object goes.
//
// Every exchange also leaves its CZuTransportReport (what the runtime met,
// password scrubbed) in the report given at construction; a transport failure
// writes it to the log file (ZU_LOG_TRANSPORT_FAILURE). The binding gets the
// time-outs and the TLS settings (trusted certificates, a path like the other
// local paths; verification) of the connection settings. A server refused
// during the TLS handshake leaves the policy's transport failure text; the
// report's runtime words say why. An https:// service URL in a build
// without TLS fails as a transport failure with SOAP_SSL_ERROR and the last
// error text ZU_TEXT_NO_TLS, whatever the policy's text; nothing is sent. The
// binding gets the response limit too; a response refused by the limits
// (SOAP_LENGTH, SOAP_LEVEL, SOAP_OCCURS) has the last error text
// ZU_TEXT_RESPONSE_REFUSED, whatever the policy's text.
//
// A request whose bytes are read as it is sent (a file checked in) can fail on
// this side: the policy's SourceFailure says where the reader leaves what went
// wrong. When it holds a failure after the call, the outcome is a source
// failure rather than a transport failure: Run returns the failure's HRESULT,
// the last error text becomes its text, and nothing of a transport failure is
// logged (the exchange's report is still handed on).
//
// Policies of the operations:
//   CreateFolder, Duplicate, GetChildren, GetAttributes, GetLocators,
//   RemoveLocators, AddLocators     LogServerError(line)
//   CheckIn                         KeepMessage().ReadsFrom(failure)
//   GetHeadframe                    KeepMessage()
//   Move                            TransportFailureText(ZU_TEXT_CANNOT_MOVE).KeepMessage();
//                                   S_OK when the Message is empty
//   SetAttributes                   LogTransportFailure(valueLine, line).LogServerError(line)
//   DeleteAssets                    LogTransportFailure(valueLine, line,
//                                       ZU_TEXT_W_NO_WEB_SERVICE_SETUPED).LogServerError(line)
//   GetLatest, Search               LogTransportFailure(valueLine, line).LogServerError(line2)
//   CheckInAAF, CheckInAAFEx        LogTransportFailure(valueLine, line).ServerErrorByCaller()
//                                   .ReadsFrom(failure), then CheckErrorInfo with
//                                   GetFirstError()
#ifndef CZU_SERVICE_CALL_H
#define CZU_SERVICE_CALL_H

#include <string>

#include "AssetsPortBinding.h"
#include "CZuConnectionSettings.h"
#include "CZuTransportReport.h"
#include "KoCom.h"

class CZuServiceCall {
public:
    enum Outcome { NOT_RUN, SUCCESS, TRANSPORT_FAILURE, SERVER_ERROR, LOCAL_FAILURE, SOURCE_FAILURE };

    // What went wrong reading the bytes of a request as it was sent: a
    // failing HRESULT and the last error text; S_OK while nothing did.
    struct SourceFailure {
        HRESULT hr = S_OK;
        std::string text;
    };

    // How an operation departs from the common pattern. By default nothing is
    // logged, a transport failure leaves ZU_TEXT_NO_WEB_SERVICE, and a server
    // error leaves the first error's Details.
    class Policy {
    public:
        Policy();
        // On a transport failure, log codeLine with the code (%d) and then
        // textLine with the wide text (%S).
        Policy& LogTransportFailure(const char* codeLine, const char* textLine,
                                    const wchar_t* wideText = nullptr);
        // The last error text a transport failure leaves.
        Policy& TransportFailureText(const char* text);
        // On a server error, log the first error's Message with messageLine and
        // its Details with detailsLine (messageLine when null); each text is
        // widened to at most 259 characters (%S).
        Policy& LogServerError(const char* messageLine, const char* detailsLine = nullptr);
        // On a server error, the last error text stays the Message; the Details
        // are neither used nor logged.
        Policy& KeepMessage();
        // On a server error, leave the last error text and the log to the
        // operation (GetFirstError).
        Policy& ServerErrorByCaller();
        // A failure of the request's source, left in *failure while the
        // request is sent, is the call's outcome (see above).
        Policy& ReadsFrom(const SourceFailure* failure);

    private:
        friend class CZuServiceCall;
        const char* m_transportText;
        const char* m_transportCodeLine;
        const char* m_transportTextLine;
        const wchar_t* m_transportWideText;
        const char* m_messageLine;
        const char* m_detailsLine;
        bool m_useDetails;
        bool m_byCaller;
        const SourceFailure* m_sourceFailure;
    };

    // Opens the binding: endpoint = a copy of serviceURL, credentials header =
    // copies of userName and password, the settings' time-outs (null: the
    // built-in defaults). lastErrorText and report (may be null) must outlive
    // the object.
    CZuServiceCall(std::string serviceURL, const std::string& userName, const std::string& password,
                   std::string& lastErrorText, const CZuConnectionSettings* settings = nullptr,
                   CZuTransportReport* report = nullptr);
    ~CZuServiceCall();
    CZuServiceCall(const CZuServiceCall&) = delete;
    CZuServiceCall& operator=(const CZuServiceCall&) = delete;

    // Whether the binding has its context and credentials header.
    bool IsOpen() const { return m_open; }
    // The context that request parts may be allocated from (the generated
    // ZuAssets::soap_new_<type>); null when the binding has none.
    struct soap* Context() const {
        return m_binding.soap;
    }
    AssetsPortBinding& Binding() { return m_binding; }

    // Calls one operation whose response carries types:Errors (see above).
    template <class Request, class Response>
    HRESULT Run(int (AssetsPortBinding::*operation)(Request*, Response*), Request* request,
                Response* response, const Policy& policy = Policy()) {
        int code = m_open ? (m_binding.*operation)(request, response) : SOAP_EOM;
        return Sort(code, code == SOAP_OK ? response->Errors : nullptr, policy);
    }

    Outcome GetOutcome() const { return m_outcome; }
    // The binding's code of the call; 0 unless the transport failed.
    int GetRuntimeCode() const { return m_code; }
    // After a server error, the list's first types:Error (an entry read as nil
    // gives an error with empty texts); otherwise null.
    const ZuAssets::types__ErrorType* GetFirstError() const { return m_firstError; }

private:
    HRESULT Sort(int code, const ZuAssets::types__ErrorListType* errors, const Policy& policy);
    // Hands the binding's report on and, when log is true, logs a failure to
    // the log file.
    void Report(int code, bool log);

    std::string m_serviceURL;
    std::string m_password;
    CZuTransportReport* m_report;
    std::string& m_lastErrorText;
    AssetsPortBinding m_binding;
    bool m_open = false;
    Outcome m_outcome = NOT_RUN;
    int m_code = 0;
    const ZuAssets::types__ErrorType* m_firstError = nullptr;
};

#endif // CZU_SERVICE_CALL_H
