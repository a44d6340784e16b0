// The exact requests the binding sends, as the scripted server receives them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AssetsPortBinding.h"
#include "KoSocket.h"
#include "ScriptedServer.h"
#include "SoapTestSupport.h"
#include "ZuAssetsNamespaces.h"

using namespace ZuAssets;

namespace {

const char kResponseOk[] = "<types:%sResponse/>";

std::string responseOf(const char* operation) {
    char body[128];
    snprintf(body, sizeof body, kResponseOk, operation);
    return soap11(body);
}

// The envelope every request is wrapped in, with the credentials u / p.
std::string envelope(const std::string& body, const std::string& user = "u",
                     const std::string& password = "p") {
    return std::string(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<SOAP-ENV:Envelope"
               " xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\""
               " xmlns:SOAP-ENC=\"http://schemas.xmlsoap.org/soap/encoding/\""
               " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
               " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\""
               " xmlns:assets=\"") +
           ZuAssetsNamespace() + "\" xmlns:types=\"" + ZuAssetsTypesNamespace() +
           "\"><SOAP-ENV:Header><types:UserCredentials><types:Username>" + user +
           "</types:Username><types:Password>" + password +
           "</types:Password></types:UserCredentials></SOAP-ENV:Header><SOAP-ENV:Body>" + body +
           "</SOAP-ENV:Body></SOAP-ENV:Envelope>\r\n";
}

class Request : public ::testing::Test {
protected:
    // Sends one request through a fresh binding and returns what arrived.
    template <class Req, class Resp>
    ScriptedServer::Request send(int (AssetsPortBinding::*operation)(Req*, Resp*), Req& request,
                                 const char* name, const std::string& path = "/services/Assets") {
        server.enqueue(ScriptedServer::Reply::http(responseOf(name)));
        AssetsPortBinding binding;
        std::string url = server.url(path);
        binding.endpoint = url.c_str();
        EXPECT_EQ(SOAP_OK, binding.SetCredentials("u", "p"));
        Resp response;
        EXPECT_EQ(SOAP_OK, (binding.*operation)(&request, &response));
        std::vector<ScriptedServer::Request> requests = server.requests();
        return requests.empty() ? ScriptedServer::Request() : requests.back();
    }

    // The request body's SOAP body content.
    static std::string bodyOf(const ScriptedServer::Request& request) {
        size_t begin = request.body.find("<SOAP-ENV:Body>");
        size_t end = request.body.find("</SOAP-ENV:Body>");
        if (begin == std::string::npos || end == std::string::npos) return "<no body>";
        begin += strlen("<SOAP-ENV:Body>");
        return request.body.substr(begin, end - begin);
    }

    ScriptedServer server;
};

TEST_F(Request, HttpLineHeadersAndEnvelopeAreExact) {
    types__CreateFolderType request;
    request.InterplayURI = "interplay://WG/Projects/New";
    ScriptedServer::Request got = send(&AssetsPortBinding::__assets__CreateFolder, request, "CreateFolder");

    std::string body = envelope(
        "<types:CreateFolder><types:InterplayURI>interplay://WG/Projects/New</types:InterplayURI>"
        "</types:CreateFolder>");
    std::string expected =
        "POST /services/Assets HTTP/1.1\r\n"
        "Host: 127.0.0.1:" +
        std::to_string(server.port()) +
        "\r\n"
        "User-Agent: gSOAP/2.8\r\n"
        "Content-Type: text/xml; charset=utf-8\r\n"
        "Content-Length: " +
        std::to_string(body.size()) +
        "\r\n"
        "Connection: close\r\n"
        "SOAPAction: \"\"\r\n"
        "\r\n" +
        body;
    EXPECT_EQ(expected, got.raw);
    EXPECT_EQ(1u, got.headerCount("SOAPAction"));
    EXPECT_EQ(std::string::npos, got.body.find("mustUnderstand"));
}

TEST_F(Request, EndpointPathAndCredentialTextGoAsGiven) {
    types__GetLatestType request;
    request.InterplayURI = "a";
    server.enqueue(ScriptedServer::Reply::http(responseOf("GetLatest")));
    AssetsPortBinding binding;
    std::string url = server.url("/other/Assets?x=1");
    binding.endpoint = url.c_str();
    ASSERT_EQ(SOAP_OK, binding.SetCredentials("\xd6\xd0"
                                              "<u>",
                                              "&p\""));
    types__GetLatestResponseType response;
    ASSERT_EQ(SOAP_OK, binding.__assets__GetLatest(&request, &response));
    ScriptedServer::Request got = server.requests().at(0);
    EXPECT_EQ("POST /other/Assets?x=1 HTTP/1.1", got.requestLine);
    EXPECT_EQ(envelope("<types:GetLatest><types:InterplayURI>a</types:InterplayURI></types:GetLatest>",
                       "&#20013;&lt;u&gt;", "&amp;p\""),
              got.body);
}

TEST_F(Request, ChildrenInOrderAndUnsetOptionalsAbsent) {
    types__GetChildrenType request;
    request.InterplayURI = "interplay://WG/F";
    bool yes = true, no = false;
    request.IncludeFolders = &yes;
    request.IncludeFiles = &no;
    request.IncludeMOBs = &no;
    EXPECT_EQ(
        "<types:GetChildren><types:InterplayURI>interplay://WG/F</types:InterplayURI>"
        "<types:IncludeFolders>true</types:IncludeFolders>"
        "<types:IncludeFiles>false</types:IncludeFiles>"
        "<types:IncludeMOBs>false</types:IncludeMOBs></types:GetChildren>",
        bodyOf(send(&AssetsPortBinding::__assets__GetChildren, request, "GetChildren")));

    types__DuplicateType duplicate; // required strings are written even when empty
    EXPECT_EQ("<types:Duplicate><types:InterplayAssetURI/><types:InterplayFolderURI/></types:Duplicate>",
              bodyOf(send(&AssetsPortBinding::__assets__Duplicate, duplicate, "Duplicate")));
}

TEST_F(Request, CheckInAafWithFilesAndAttributes) {
    types__CheckInAAFType request;
    request.InterplayURI = "interplay://WG/In";
    unsigned char aaf[] = {'A', 'A', 'F', 0, 0xff};
    request.AAF.__ptr = aaf;
    request.AAF.__size = sizeof aaf;
    types__AttributeListType attributes;
    types__AttributeType title, plain;
    title.Group = "USER";
    title.Name = "Title";
    title.__item = "\xd6\xd0";
    plain.__item = "x";
    attributes.Attribute = {&title, &plain};
    request.Attributes = &attributes;
    EXPECT_EQ(
        "<types:CheckInAAF><types:InterplayURI>interplay://WG/In</types:InterplayURI>"
        "<types:AAF>QUFGAP8=</types:AAF><types:Attributes>"
        "<types:Attribute Group=\"USER\" Name=\"Title\">&#20013;</types:Attribute>"
        "<types:Attribute>x</types:Attribute></types:Attributes></types:CheckInAAF>",
        bodyOf(send(&AssetsPortBinding::__assets__CheckInAAF, request, "CheckInAAF")));

    unsigned char jpeg[] = {0xff, 0xd8, 0xff};
    xsd__base64Binary headframe;
    headframe.__ptr = jpeg;
    headframe.__size = sizeof jpeg;
    request.Headframe = &headframe;
    attributes.Attribute.clear(); // an empty list is still sent
    EXPECT_EQ(
        "<types:CheckInAAF><types:InterplayURI>interplay://WG/In</types:InterplayURI>"
        "<types:AAF>QUFGAP8=</types:AAF><types:Headframe>/9j/</types:Headframe>"
        "<types:Attributes></types:Attributes></types:CheckInAAF>",
        bodyOf(send(&AssetsPortBinding::__assets__CheckInAAF, request, "CheckInAAF")));
}

TEST_F(Request, DeleteAssetsAlwaysCarriesDeleteMedia) {
    types__DeleteAssetsType request;
    types__InterplayURIListType uris;
    uris.InterplayURI = {"interplay://WG/a", "interplay://WG/b"};
    request.InterplayURIs = &uris;
    request.DeleteMedia = false;
    bool simulation = true;
    request.Simulation = &simulation;
    EXPECT_EQ(
        "<types:DeleteAssets><types:InterplayURIs><types:InterplayURI>interplay://WG/a"
        "</types:InterplayURI><types:InterplayURI>interplay://WG/b</types:InterplayURI>"
        "</types:InterplayURIs><types:DeleteMedia>false</types:DeleteMedia>"
        "<types:Simulation>true</types:Simulation></types:DeleteAssets>",
        bodyOf(send(&AssetsPortBinding::__assets__DeleteAssets, request, "DeleteAssets")));
}

TEST_F(Request, SearchGroupWithConditions) {
    types__SearchType request;
    request.InterplayPathURI = "interplay://WG";
    int maxResults = 20;
    request.MaxResults = &maxResults;
    types__SearchGroupType group;
    types__AttributeConditionType equals, contains;
    types__AttributeType name, comment;
    name.Group = "USER";
    name.Name = "Name";
    name.__item = "clip";
    comment.Group = "USER";
    comment.Name = "Comment";
    comment.__item = "a&b";
    equals.Condition = "EQUALS";
    equals.Attribute = &name;
    contains.Condition = "CONTAINS";
    contains.Attribute = &comment;
    group.AttributeCondition = {&equals, &contains};
    request.SearchGroup = &group;
    EXPECT_EQ(
        "<types:Search><types:InterplayPathURI>interplay://WG</types:InterplayPathURI>"
        "<types:SearchGroup><types:AttributeCondition Condition=\"EQUALS\">"
        "<types:Attribute Group=\"USER\" Name=\"Name\">clip</types:Attribute>"
        "</types:AttributeCondition><types:AttributeCondition Condition=\"CONTAINS\">"
        "<types:Attribute Group=\"USER\" Name=\"Comment\">a&amp;b</types:Attribute>"
        "</types:AttributeCondition></types:SearchGroup>"
        "<types:MaxResults>20</types:MaxResults></types:Search>",
        bodyOf(send(&AssetsPortBinding::__assets__Search, request, "Search")));

    group.Operator = "AND";
    group.AttributeCondition.clear();
    EXPECT_EQ(
        "<types:Search><types:InterplayPathURI>interplay://WG</types:InterplayPathURI>"
        "<types:SearchGroup Operator=\"AND\"></types:SearchGroup>"
        "<types:MaxResults>20</types:MaxResults></types:Search>",
        bodyOf(send(&AssetsPortBinding::__assets__Search, request, "Search")));
}

TEST_F(Request, LocatorsAndIds) {
    types__SaveLocatorsType save;
    save.InterplayURI = "interplay://WG/c";
    types__LocatorListType locators;
    types__LocatorType first;
    LONG64 frame = 1234567890123LL;
    first.FrameNumber = &frame;
    first.Comment = "";
    first.Color = "Blue";
    first.Track = "V1";
    locators.Locator = {&first};
    save.Locators = &locators;
    EXPECT_EQ(
        "<types:SaveLocators><types:InterplayURI>interplay://WG/c</types:InterplayURI>"
        "<types:Locators><types:Locator><types:FrameNumber>1234567890123</types:FrameNumber>"
        "<types:Comment/><types:Color>Blue</types:Color><types:Track>V1</types:Track>"
        "</types:Locator></types:Locators></types:SaveLocators>",
        bodyOf(send(&AssetsPortBinding::__assets__SaveLocators, save, "SaveLocators")));

    types__RemoveLocatorsType remove;
    remove.InterplayURI = "interplay://WG/c";
    types__LocatorIDListType ids;
    ids.LocatorID = {-7};
    remove.LocatorIDs = &ids;
    EXPECT_EQ(
        "<types:RemoveLocators><types:InterplayURI>interplay://WG/c</types:InterplayURI>"
        "<types:LocatorIDs><types:LocatorID>-7</types:LocatorID></types:LocatorIDs>"
        "</types:RemoveLocators>",
        bodyOf(send(&AssetsPortBinding::__assets__RemoveLocators, remove, "RemoveLocators")));
}

TEST_F(Request, OperationsWithSharedTypesUseTheirOwnElements) {
    types__GetLocatorsType umid;
    umid.InterplayURI = "u";
    server.enqueue(ScriptedServer::Reply::http(soap11("<types:GetUMIDLocatorsResponse/>")));
    AssetsPortBinding binding;
    std::string url = server.url();
    binding.endpoint = url.c_str();
    types__GetUMIDLocatorsResponseType umidResponse;
    EXPECT_EQ(SOAP_OK, binding.__assets__GetUMIDLocators(&umid, &umidResponse));
    EXPECT_NE(std::string::npos, server.requests().at(0).body.find("<types:GetUMIDLocators>"));

    // The response element must be the operation's own.
    types__RemoveUMIDLocatorsType remove;
    types__RemoveLocatorsResponseType removeResponse;
    server.enqueue(ScriptedServer::Reply::http(soap11("<types:RemoveLocatorsResponse/>")));
    EXPECT_NE(SOAP_OK, binding.__assets__RemoveUMIDLocators(&remove, &removeResponse));
    server.enqueue(ScriptedServer::Reply::http(soap11("<types:RemoveUMIDLocatorsResponse/>")));
    EXPECT_EQ(SOAP_OK, binding.__assets__RemoveUMIDLocators(&remove, &removeResponse));
}

TEST_F(Request, EachCallHasItsOwnConnection) {
    types__CreateFolderType request;
    request.InterplayURI = "x";
    send(&AssetsPortBinding::__assets__CreateFolder, request, "CreateFolder");
    send(&AssetsPortBinding::__assets__CreateFolder, request, "CreateFolder");
    EXPECT_TRUE(server.waitForConnections(2));
    EXPECT_EQ(2u, server.connections());
    for (const ScriptedServer::Request& got : server.requests()) EXPECT_EQ("close", got.header("Connection"));
}

// Plain connections made by the routine of our own (where a failed connect
// does not make its socket writable, as on Windows) send the same request and
// fail with the same code and words as the runtime's own.
TEST_F(Request, OwnConnectionsBehaveAsTheRuntimes) {
    struct Outcome {
        int code;
        std::wstring words;
        std::string body;
    };
    auto run = [&](bool own, const std::string& url, bool answered) {
        if (answered) server.enqueue(ScriptedServer::Reply::http(responseOf("CreateFolder")));
        AssetsPortBinding binding;
        binding.ownConnect = own;
        binding.endpoint = url.c_str();
        binding.SetCredentials("u", "p");
        binding.SetTimeouts(20000, 20000, 0);
        types__CreateFolderType request;
        request.InterplayURI = "x";
        types__CreateFolderResponseType response;
        Outcome outcome{binding.__assets__CreateFolder(&request, &response), binding.Report().runtimeWords,
                        ""};
        std::vector<ScriptedServer::Request> requests = server.requests();
        if (answered && !requests.empty()) outcome.body = requests.back().body;
        return outcome;
    };
    Outcome runtime = run(false, server.url(), true);
    Outcome own = run(true, server.url(), true);
    EXPECT_EQ(SOAP_OK, own.code);
    EXPECT_EQ(runtime.body, own.body);
    EXPECT_EQ(2u, server.connections());

    // A refusal, not the end of the connect time-out; where the runtime sees
    // it too, in its words.
    std::string closed =
        "http://127.0.0.1:" + std::to_string(ScriptedServer::closedPort()) + "/services/Assets";
    own = run(true, closed, false);
    EXPECT_EQ(SOAP_TCP_ERROR, own.code);
    EXPECT_FALSE(own.words.empty());
    EXPECT_EQ(std::wstring::npos, own.words.find(L"Timeout"));
    if (KoFailedConnectIsWritable()) {
        EXPECT_EQ(run(false, closed, false).words, own.words);
    }
}

// Milliseconds become the runtime's seconds where they are whole, else its
// microseconds; a connection attempt gets at most the whole-call deadline.
TEST_F(Request, TimeOutsAreGivenInTheRuntimesUnits) {
    AssetsPortBinding binding;
    EXPECT_EQ(0, binding.soap->connect_timeout);
    binding.SetTimeouts(30000, 300, 0);
    EXPECT_EQ(30, binding.soap->connect_timeout);
    EXPECT_EQ(-300000, binding.soap->recv_timeout);
    EXPECT_EQ(-300000, binding.soap->send_timeout);
    binding.SetTimeouts(30000, 4294967295u, 1500);
    EXPECT_EQ(-1500000, binding.soap->connect_timeout);
    EXPECT_EQ(4294968, binding.soap->recv_timeout);
    binding.SetTimeouts(0, 0, 0);
    EXPECT_EQ(0, binding.soap->connect_timeout);
    EXPECT_EQ(0, binding.soap->recv_timeout);
}

TEST_F(Request, NothingIsSentWithoutContextOrToAnEmptyEndpoint) {
    types__CreateFolderType request;
    types__CreateFolderResponseType response;
    AssetsPortBinding empty;
    empty.endpoint = "";
    EXPECT_EQ(SOAP_TCP_ERROR, empty.__assets__CreateFolder(&request, &response));

    AssetsPortBinding lost;
    soap_free(lost.soap);
    lost.soap = nullptr;
    std::string url = server.url();
    lost.endpoint = url.c_str();
    EXPECT_EQ(SOAP_EOM, lost.SetCredentials("u", "p"));
    EXPECT_EQ(SOAP_EOM, lost.__assets__CreateFolder(&request, &response));
    EXPECT_EQ(0u, server.connections());
}

} // namespace
