// The operation pattern: how every kind of response is sorted, what it leaves
// in the last error text and what it logs.
#include <gtest/gtest.h>
#include <string.h>
#include <wchar.h>

#include <string>
#include <vector>

#include "CZuAssetsEnvelope.h"
#include "CZuServiceCall.h"
#include "KoDebugCapture.h"
#include "KoTrace.h"
#include "ScriptedServer.h"
#include "SoapTestSupport.h"
#include "ZuResultCodes.h"
#include "ZuTexts.h"

using namespace ZuAssets;

namespace {

const char* const kLine = ZU_LOG_CREATE_FOLDER;
const char* const kValueLine = ZU_LOG_CHECKINAAF_VALUE;
const char* const kFalseLine = ZU_LOG_CHECKINAAF_FALSE;

// The log's narrow form of a wide text that is all ASCII.
std::string ascii(const wchar_t* text) { return std::string(text, text + wcslen(text)); }

std::string line(const char* format, const std::string& text) {
    std::string f = format;
    return f.replace(f.find("%S"), 2, text);
}

std::string createFolderResponse(const std::string& inner) {
    return soap11("<types:CreateFolderResponse>" + inner + "</types:CreateFolderResponse>");
}

std::string errors(const std::string& message, const std::string& details) {
    return "<types:Errors><types:Error Code=\"E1\"><types:Message>" + message +
           "</types:Message><types:Details>" + details +
           "</types:Details></types:Error><types:Error><types:Message>second</types:Message>"
           "<types:Details>second details</types:Details></types:Error></types:Errors>";
}

std::string fault11(const std::string& code, const std::string& detail = "") {
    return soap11("<SOAP-ENV:Fault><faultcode>" + code + "</faultcode><faultstring>went wrong</faultstring>" +
                  (detail.empty() ? "" : "<detail>" + detail + "</detail>") + "</SOAP-ENV:Fault>");
}

std::string fault12(const std::string& code) {
    return soap12("<env:Fault><env:Code><env:Value>" + code +
                  "</env:Value></env:Code><env:Reason><env:Text xml:lang=\"en\">went wrong</env:Text>"
                  "</env:Reason><env:Detail><t:AssetsFaultType Code=\"42\"><t:Message>m</t:Message>"
                  "<t:Details>d</t:Details></t:AssetsFaultType></env:Detail></env:Fault>");
}

class Outcome : public ::testing::Test {
protected:
    // Runs CreateFolder against url with the reply queued (if any).
    HRESULT createFolder(const CZuServiceCall::Policy& policy, const std::string& url) {
        call.reset(new CZuServiceCall(url, "user", "secret", lastErrorText));
        types__CreateFolderType request;
        request.InterplayURI = "interplay://WG/New";
        return call->Run(&AssetsPortBinding::__assets__CreateFolder, &request, &response, policy);
    }
    HRESULT createFolder(const CZuServiceCall::Policy& policy, ScriptedServer::Reply reply) {
        server.enqueue(std::move(reply));
        return createFolder(policy, server.url());
    }

    std::vector<std::string> logged() const {
        std::vector<std::string> lines;
        for (const kodebug::Message& m : capture.messages(kodebug::Kind::Live)) {
            EXPECT_EQ(KO_TRACE_CATEGORY_ACCESS, m.category);
            EXPECT_EQ(KO_TRACE_LEVEL, m.level);
            lines.push_back(m.text);
        }
        return lines;
    }

    ScriptedServer server;
    kodebug::KoDebugCapture capture;
    std::string lastErrorText = "previous";
    std::unique_ptr<CZuServiceCall> call;
    types__CreateFolderResponseType response;
};

TEST_F(Outcome, SuccessLeavesTheLastErrorTextAlone) {
    EXPECT_EQ(S_OK, createFolder(CZuServiceCall::Policy().LogServerError(kLine),
                                 ScriptedServer::Reply::http(createFolderResponse(""))));
    EXPECT_EQ(CZuServiceCall::SUCCESS, call->GetOutcome());
    EXPECT_EQ(nullptr, call->GetFirstError());
    EXPECT_EQ("previous", lastErrorText);
    EXPECT_TRUE(logged().empty());
}

TEST_F(Outcome, ErrorListWithoutEntriesCountsAsNoError) {
    EXPECT_EQ(S_OK, createFolder(CZuServiceCall::Policy().LogServerError(kLine),
                                 ScriptedServer::Reply::http(createFolderResponse("<types:Errors/>"))));
    EXPECT_EQ(CZuServiceCall::SUCCESS, call->GetOutcome());
    ASSERT_NE(nullptr, response.Errors);
    EXPECT_TRUE(response.Errors->Error.empty());
    EXPECT_EQ("previous", lastErrorText);
}

TEST_F(Outcome, ServerErrorLeavesTheFirstDetailsAndLogsBothTexts) {
    EXPECT_EQ(ZU_E_SERVERERROR, createFolder(CZuServiceCall::Policy().LogServerError(kLine),
                                             ScriptedServer::Reply::http(createFolderResponse(
                                                 errors("no \xe4\xb8\xad", "details &amp; more")))));
    EXPECT_EQ(CZuServiceCall::SERVER_ERROR, call->GetOutcome());
    EXPECT_EQ("details & more", lastErrorText);
    EXPECT_EQ((std::vector<std::string>{line(kLine, "no \xd6\xd0"), line(kLine, "details & more")}),
              logged());
    ASSERT_NE(nullptr, call->GetFirstError());
    EXPECT_EQ("E1", call->GetFirstError()->Code);
}

TEST_F(Outcome, ServerErrorDeparturesOfTheOperations) {
    // The Message stays; nothing logged unless asked.
    EXPECT_EQ(ZU_E_SERVERERROR,
              createFolder(CZuServiceCall::Policy().KeepMessage(),
                           ScriptedServer::Reply::http(createFolderResponse(errors("m", "d")))));
    EXPECT_EQ("m", lastErrorText);
    EXPECT_TRUE(logged().empty());

    // Different lines for the Message and the Details.
    lastErrorText = "previous";
    EXPECT_EQ(ZU_E_SERVERERROR,
              createFolder(CZuServiceCall::Policy().LogServerError(kFalseLine, kLine),
                           ScriptedServer::Reply::http(createFolderResponse(errors("m", "d")))));
    EXPECT_EQ("d", lastErrorText);
    EXPECT_EQ((std::vector<std::string>{line(kFalseLine, "m"), line(kLine, "d")}), logged());

    // Left to the operation.
    capture.clear();
    lastErrorText = "previous";
    EXPECT_EQ(ZU_E_SERVERERROR,
              createFolder(CZuServiceCall::Policy().LogServerError(kLine).ServerErrorByCaller(),
                           ScriptedServer::Reply::http(createFolderResponse(errors("m", "d")))));
    EXPECT_EQ("previous", lastErrorText);
    EXPECT_TRUE(logged().empty());
    ASSERT_NE(nullptr, call->GetFirstError());
    EXPECT_EQ("d", call->GetFirstError()->Details);
}

TEST_F(Outcome, NilErrorEntryIsAnErrorWithEmptyTexts) {
    std::string body =
        "<types:Errors><types:Error xsi:nil=\"true\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"/></types:Errors>";
    EXPECT_EQ(ZU_E_SERVERERROR, createFolder(CZuServiceCall::Policy(),
                                             ScriptedServer::Reply::http(createFolderResponse(body))));
    EXPECT_EQ("", lastErrorText);
    ASSERT_NE(nullptr, call->GetFirstError());
    EXPECT_EQ("", call->GetFirstError()->Message);
}

TEST_F(Outcome, LoggedTextsAreCutTo259Characters) {
    std::string longest(259, 'x'), tooLong(300, 'y');
    createFolder(CZuServiceCall::Policy().LogServerError(kLine),
                 ScriptedServer::Reply::http(createFolderResponse(errors(longest, tooLong))));
    EXPECT_EQ((std::vector<std::string>{line(kLine, longest), line(kLine, std::string(259, 'y'))}), logged());
    EXPECT_EQ(tooLong, lastErrorText);
}

TEST_F(Outcome, Soap11FaultsGiveTheRuntimeFaultCodes) {
    struct Case {
        const char* faultcode;
        int code;
    } cases[] = {
        {"SOAP-ENV:Client", SOAP_CLI_FAULT},
        {"SOAP-ENV:Server", SOAP_SVR_FAULT},
        {"SOAP-ENV:MustUnderstand", SOAP_MUSTUNDERSTAND},
        {"SOAP-ENV:VersionMismatch", SOAP_VERSIONMISMATCH},
        {"SOAP-ENV:SomethingElse", SOAP_FAULT},
    };
    for (const Case& c : cases) {
        lastErrorText = "previous";
        std::string detail =
            "<types:AssetsFaultType Code=\"7\"><types:Message>fm</types:Message>"
            "<types:Details>fd</types:Details></types:AssetsFaultType>";
        EXPECT_EQ(c.code, createFolder(CZuServiceCall::Policy(),
                                       ScriptedServer::Reply::http(fault11(c.faultcode, detail), 500)))
            << c.faultcode;
        EXPECT_EQ(CZuServiceCall::TRANSPORT_FAILURE, call->GetOutcome());
        EXPECT_EQ(ZU_TEXT_NO_WEB_SERVICE, lastErrorText);
        std::string code, message, details;
        ASSERT_TRUE(CZuAssetsEnvelope::GetFaultDetail(call->Context(), &code, &message, &details));
        EXPECT_EQ("7", code);
        EXPECT_EQ("fm", message);
        EXPECT_EQ("fd", details);
        // What the binding reports of it.
        const CZuTransportReport& report = call->Binding().Report();
        EXPECT_EQ(c.code, report.code);
        EXPECT_EQ(500, report.httpStatus);
        EXPECT_EQ("CreateFolder", report.operation);
        EXPECT_EQ(std::wstring(c.faultcode, c.faultcode + strlen(c.faultcode)), report.faultCode);
        EXPECT_EQ(L"went wrong", report.faultString);
        EXPECT_EQ(L"7; fm; fd", report.faultDetail);
    }
}

TEST_F(Outcome, Soap12FaultsGiveTheRuntimeFaultCodes) {
    EXPECT_EQ(SOAP_CLI_FAULT,
              createFolder(CZuServiceCall::Policy(),
                           ScriptedServer::Reply::http(fault12("env:Sender"), 500, "application/soap+xml")));
    std::string message;
    EXPECT_TRUE(CZuAssetsEnvelope::GetFaultDetail(call->Context(), nullptr, &message, nullptr));
    EXPECT_EQ("m", message);
    EXPECT_EQ(L"SOAP-ENV:Sender", call->Binding().Report().faultCode);
    EXPECT_EQ(L"went wrong", call->Binding().Report().faultString);
    EXPECT_EQ(L"42; m; d", call->Binding().Report().faultDetail);
    EXPECT_EQ(L"Client fault", call->Binding().Report().runtimeWords);
    EXPECT_EQ(SOAP_SVR_FAULT, createFolder(CZuServiceCall::Policy(),
                                           ScriptedServer::Reply::http(fault12("env:Receiver"), 500)));
    // Whatever prefix the server binds the envelope namespace to.
    std::string prefixed = fault11("s:Server");
    prefixed.replace(prefixed.find("xmlns:SOAP-ENV="), 15, "xmlns:s=");
    for (const char* from : {"SOAP-ENV:Envelope", "SOAP-ENV:Body", "SOAP-ENV:Fault"})
        for (size_t at; (at = prefixed.find(from)) != std::string::npos;) prefixed.replace(at, 8, "s");
    EXPECT_EQ(SOAP_SVR_FAULT,
              createFolder(CZuServiceCall::Policy(), ScriptedServer::Reply::http(prefixed, 500)))
        << prefixed;
    EXPECT_EQ(SOAP_FAULT,
              createFolder(CZuServiceCall::Policy(), ScriptedServer::Reply::http(fault12("t:Sender"), 500)));
    // The request stays SOAP 1.1 whatever the server answers in.
    for (const ScriptedServer::Request& got : server.requests()) {
        EXPECT_EQ("text/xml; charset=utf-8", got.header("Content-Type"));
        EXPECT_NE(std::string::npos, got.body.find("http://schemas.xmlsoap.org/soap/envelope/"));
    }
}

TEST_F(Outcome, Soap12ResponseWithAnotherNamespaceBaseIsRead) {
    EXPECT_EQ(ZU_E_SERVERERROR,
              createFolder(CZuServiceCall::Policy(),
                           ScriptedServer::Reply::http(soap12(
                               "<t:CreateFolderResponse><t:Errors><t:Error><t:Message>m</t:Message>"
                               "<t:Details>d</t:Details></t:Error></t:Errors></t:CreateFolderResponse>"))));
    EXPECT_EQ("d", lastErrorText);
}

TEST_F(Outcome, ClosedPortGivesAPositiveCodeAndTheUnreachableText) {
    std::string url = "http://127.0.0.1:" + std::to_string(ScriptedServer::closedPort()) + "/services/Assets";
    HRESULT hr = createFolder(
        CZuServiceCall::Policy().LogTransportFailure(kValueLine, kFalseLine).LogServerError(kLine), url);
    EXPECT_EQ(SOAP_TCP_ERROR, hr);
    EXPECT_GT(hr, 0);
    EXPECT_EQ(CZuServiceCall::TRANSPORT_FAILURE, call->GetOutcome());
    EXPECT_EQ(SOAP_TCP_ERROR, call->GetRuntimeCode());
    EXPECT_EQ(ZU_TEXT_NO_WEB_SERVICE, lastErrorText);
    EXPECT_EQ(20u, lastErrorText.size());
    EXPECT_EQ(
        (std::vector<std::string>{"CZuInterplayUploading::CheckInAAF , __assets__CheckInAAF value = 28  ! \n",
                                  line(kFalseLine, ascii(ZU_TEXT_W_NO_WEB_SERVICE))}),
        logged());
}

TEST_F(Outcome, TransportFailureDeparturesOfTheOperations) {
    std::string url = "http://127.0.0.1:" + std::to_string(ScriptedServer::closedPort()) + "/services/Assets";
    createFolder(CZuServiceCall::Policy().LogTransportFailure(kValueLine, kFalseLine,
                                                              ZU_TEXT_W_NO_WEB_SERVICE_SETUPED),
                 url);
    EXPECT_EQ(line(kFalseLine, ascii(ZU_TEXT_W_NO_WEB_SERVICE_SETUPED)), logged().at(1));

    capture.clear();
    createFolder(CZuServiceCall::Policy().TransportFailureText(ZU_TEXT_CANNOT_MOVE), url);
    EXPECT_EQ(ZU_TEXT_CANNOT_MOVE, lastErrorText);
    EXPECT_EQ(34u, lastErrorText.size());
    EXPECT_TRUE(logged().empty());
}

TEST_F(Outcome, EmptyUrlFailsWithoutFallingBackToTheDefault) {
    HRESULT hr = createFolder(CZuServiceCall::Policy(), std::string());
    EXPECT_EQ(SOAP_TCP_ERROR, hr);
    EXPECT_EQ(ZU_TEXT_NO_WEB_SERVICE, lastErrorText);
    EXPECT_EQ(0u, server.connections());
}

TEST_F(Outcome, HttpErrorStatusWithoutFault) {
    EXPECT_EQ(404, createFolder(CZuServiceCall::Policy(),
                                ScriptedServer::Reply::http("<html>missing</html>", 404, "text/html")));
    EXPECT_EQ(CZuServiceCall::TRANSPORT_FAILURE, call->GetOutcome());
}

TEST_F(Outcome, ErrorsOfAFailedReadAreNotUsed) {
    // The error list is complete, but the envelope is cut short.
    std::string body = createFolderResponse(errors("m", "d"));
    body.resize(body.find("</types:CreateFolderResponse>"));
    HRESULT hr =
        createFolder(CZuServiceCall::Policy().LogServerError(kLine), ScriptedServer::Reply::http(body));
    EXPECT_NE(S_OK, hr);
    EXPECT_NE(ZU_E_SERVERERROR, hr);
    EXPECT_EQ(ZU_TEXT_NO_WEB_SERVICE, lastErrorText);
    EXPECT_TRUE(logged().empty());
}

TEST_F(Outcome, TheBindingGetsCopiesOfTheSettings) {
    std::string url = server.url(), user = "user", password = "secret";
    server.enqueue(ScriptedServer::Reply::http(createFolderResponse("")));
    CZuServiceCall copy(url, user, password, lastErrorText);
    url = "http://127.0.0.1:1/elsewhere";
    user = "changed";
    password = "changed";
    types__CreateFolderType request;
    EXPECT_EQ(S_OK, copy.Run(&AssetsPortBinding::__assets__CreateFolder, &request, &response));
    std::string body = server.requests().at(0).body;
    EXPECT_NE(std::string::npos, body.find("<types:Username>user</types:Username>"
                                           "<types:Password>secret</types:Password>"));
}

} // namespace
