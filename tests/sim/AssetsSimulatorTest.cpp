// The simulator over loopback: through a client of the generated messages,
// and with raw bytes where the input is meant to be bad.
#include "AssetsSimulator.h"

#include <arpa/inet.h>
#include <errno.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <random>
#include <thread>

#include "AssetsSimSoapH.h"
#include "CZuAssetsEnvelope.h"
#include "KoPlatform.h"
#include "ZuAssetsNamespaces.h"

using namespace AssetsSimSoap;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

const std::string kProjects = "interplay://Workgroup/Projects";

// A client of the service that keeps the raw bytes of the last response.
// Requests and responses hang on its context until it goes.
class Client {
public:
    Client(std::string url, std::string user, std::string password, bool credentials = true)
        : m_url(std::move(url)),
          m_user(std::move(user)),
          m_password(std::move(password)),
          m_credentials(credentials) {
        soap = soap_new1(SOAP_C_UTFSTRING);
        soap_set_namespaces(soap, ZuAssetsNamespaces());
        soap->socket_flags = MSG_NOSIGNAL;
        soap->user = this;
        m_receive = soap->frecv;
        soap->frecv = [](struct soap* s, char* buffer, size_t size) {
            Client* self = static_cast<Client*>(s->user);
            size_t got = self->m_receive(s, buffer, size);
            self->raw.append(buffer, got);
            return got;
        };
    }
    ~Client() {
        soap_destroy(soap);
        soap_end(soap);
        soap_free(soap);
    }
    template <class Request, class Response>
    int Call(int (*call)(struct soap*, const char*, const char*, Request*, Response*), Request& request,
             Response& response) {
        raw.clear();
        if (m_credentials) CZuAssetsEnvelope::SetCredentials(soap, m_user, m_password);
        return call(soap, m_url.c_str(), "", &request, &response);
    }

    struct soap* soap;
    std::string raw;

private:
    std::string m_url, m_user, m_password;
    bool m_credentials;
    size_t (*m_receive)(struct soap*, char*, size_t);
};

// The first error's code, or "" when the response has none.
template <class Response>
std::string ErrorOf(const Response& response) {
    if (!response.Errors || response.Errors->Error.empty()) return "";
    EXPECT_FALSE(response.Errors->Error[0]->Message.empty());
    EXPECT_FALSE(response.Errors->Error[0]->Details.empty());
    return response.Errors->Error[0]->Code;
}

types__AttributeListType* Attributes(struct soap* soap, const std::vector<std::array<std::string, 3>>& list) {
    types__AttributeListType* out = soap_new_types__AttributeListType(soap);
    for (const auto& a : list) {
        out->Attribute.push_back(soap_new_types__AttributeType(soap));
        out->Attribute.back()->Group = a[0];
        out->Attribute.back()->Name = a[1];
        out->Attribute.back()->__item = a[2];
    }
    return out;
}

std::string AttributeValue(const types__AttributeListType* list, const std::string& name) {
    for (const types__AttributeType* a : list ? list->Attribute : std::vector<types__AttributeType*>())
        if (a->Name == name) return a->__item;
    return "<none>";
}

// The bytes must outlive the request.
xsd__base64Binary Binary(const std::string& bytes) {
    xsd__base64Binary binary;
    binary.__ptr = reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.data()));
    binary.__size = static_cast<int>(bytes.size());
    return binary;
}

// Whether text has the shape: '#' a decimal digit, '%' a lower-case
// hexadecimal digit, anything else itself.
bool Shaped(const std::string& text, const std::string& shape) {
    if (text.size() != shape.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        bool digit = text[i] >= '0' && text[i] <= '9';
        bool ok = shape[i] == '#'   ? digit
                  : shape[i] == '%' ? digit || (text[i] >= 'a' && text[i] <= 'f')
                                    : text[i] == shape[i];
        if (!ok) return false;
    }
    return true;
}

std::string Bytes(const xsd__base64Binary* binary) {
    return binary ? std::string(reinterpret_cast<const char*>(binary->__ptr), binary->__size) : "<none>";
}

// A socket connected to the port on loopback (-1 when it cannot connect)
// whose reads give up after 10 s; receiveBuffer: the size of its receive
// buffer when not 0.
int Connect(uint16_t port, int receiveBuffer = 0) {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    struct sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    struct timeval timeout = {10, 0};
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    if (receiveBuffer) setsockopt(s, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    if (connect(s, reinterpret_cast<struct sockaddr*>(&address), sizeof address) == 0) return s;
    close(s);
    return -1;
}

// Whether the peer closed the connection (or reset it) within the socket's
// read time-out, throwing away what it sent.
bool ClosedByPeer(int s, int flags = 0) {
    char buffer[4096];
    ssize_t got;
    while ((got = recv(s, buffer, sizeof buffer, flags)) > 0) {
    }
    return got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
}

// One HTTP exchange with raw bytes, sent whole before the response is read;
// the whole response, "" if there is none. halfClose: the sending side is
// shut once the bytes are out (the service then takes the peer for gone and
// answers faults no more).
std::string RawExchange(uint16_t port, const std::string& bytes, bool halfClose = false) {
    int s = Connect(port);
    std::string response;
    if (s >= 0) {
        send(s, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (halfClose) shutdown(s, SHUT_WR);
        char buffer[4096];
        ssize_t got;
        while ((got = recv(s, buffer, sizeof buffer, 0)) > 0)
            response.append(buffer, static_cast<size_t>(got));
        close(s);
    }
    return response;
}

std::string Post(const std::string& body, const std::string& length = "") {
    return "POST /services/Assets HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: text/xml; charset=utf-8\r\n"
           "SOAPAction: \"\"\r\nConnection: close\r\nContent-Length: " +
           (length.empty() ? std::to_string(body.size()) : length) + "\r\n\r\n" + body;
}

std::string Envelope(const std::string& body, const std::string& user = "editor") {
    return std::string(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?><SOAP-ENV:Envelope xmlns:SOAP-ENV="
               "\"http://schemas.xmlsoap.org/soap/envelope/\" xmlns:types=\"") +
           ZuAssetsTypesNamespace() + "\"><SOAP-ENV:Header><types:UserCredentials><types:Username>" + user +
           "</types:Username><types:Password>secret</types:Password></types:UserCredentials></"
           "SOAP-ENV:Header>"
           "<SOAP-ENV:Body>" +
           body + "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

class AssetsSimulatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_codePage = KoSetThreadCodePage(65001);
        Restart(Options());
    }
    assets_sim::Options Options() {
        assets_sim::Options options;
        options.users = {{"editor", "secret"}, {"编辑", "pässwörd"}};
        options.maxRequestBytes = 256 * 1024;
        options.log = [this](const std::string& line) {
            std::lock_guard<std::mutex> lock(m_logLock);
            m_log.push_back(line);
        };
        return options;
    }
    // A fresh simulator with these options, and a client of it.
    void Restart(const assets_sim::Options& options) {
        client.reset();
        sim = std::make_unique<assets_sim::AssetsSimulator>(options);
        std::string error;
        ASSERT_TRUE(sim->Start(&error)) << error;
        client = std::make_unique<Client>(sim->ServiceURL(), "editor", "secret");
    }
    void TearDown() override {
        client.reset();
        sim.reset();
        KoSetThreadCodePage(m_codePage);
    }

    std::string CreateFolder(const std::string& uri) {
        types__CreateFolderType request;
        types__CreateFolderResponseType response;
        request.InterplayURI = uri;
        EXPECT_EQ(client->Call(soap_call___assets__CreateFolder, request, response), SOAP_OK);
        return ErrorOf(response);
    }
    std::string CheckInAAF(const std::string& folder, const std::string& name, const std::string& aaf,
                           const std::string* headframe = nullptr) {
        types__CheckInAAFType request;
        types__CheckInAAFResponseType response;
        xsd__base64Binary frame = Binary(headframe ? *headframe : aaf);
        request.InterplayURI = folder;
        request.AAF = Binary(aaf);
        request.Headframe = headframe ? &frame : nullptr;
        request.Attributes =
            Attributes(client->soap, {{"USER", "Name", name}, {"USER", "标题", name + " 新闻"}});
        EXPECT_EQ(client->Call(soap_call___assets__CheckInAAF, request, response), SOAP_OK);
        EXPECT_EQ(ErrorOf(response), "");
        return response.InterplayURI ? *response.InterplayURI : "";
    }
    // The log once it has at least count lines (it is written after the
    // response has gone out).
    std::vector<std::string> Log(size_t count) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        for (;; std::this_thread::sleep_for(std::chrono::milliseconds(5))) {
            std::lock_guard<std::mutex> lock(m_logLock);
            if (m_log.size() >= count || std::chrono::steady_clock::now() > deadline) return m_log;
        }
    }

    std::unique_ptr<assets_sim::AssetsSimulator> sim;
    std::unique_ptr<Client> client;

private:
    unsigned m_codePage = 0;
    std::mutex m_logLock;
    std::vector<std::string> m_log;
};

} // namespace

TEST_F(AssetsSimulatorTest, FoldersAssetsAndTheirBytesTravelWhole) {
    const std::string news = kProjects + "/新闻", text = "稿件";
    EXPECT_EQ(CreateFolder(news), "");
    std::string aaf, jpeg = "\xFF\xD8\xFF\xE0";
    for (int i = 0; i < 3 * 256; ++i) aaf.push_back(static_cast<char>(i));
    std::string clip = CheckInAAF(news, "晚间新闻", aaf, &jpeg);
    EXPECT_TRUE(Shaped(clip, "interplay://Workgroup?mobid=" + std::string(32, '%'))) << clip;
    types__CheckInType file;
    types__CheckInResponseType checkedIn;
    file.InterplayURI = news + "/稿件.txt";
    file.File = Binary(text);
    ASSERT_EQ(client->Call(soap_call___assets__CheckIn, file, checkedIn), SOAP_OK);
    ASSERT_TRUE(checkedIn.InterplayURI);

    types__GetChildrenType list;
    types__GetChildrenResponseType children;
    bool no = false;
    list.InterplayURI = news;
    list.IncludeFiles = &no;
    ASSERT_EQ(client->Call(soap_call___assets__GetChildren, list, children), SOAP_OK);
    ASSERT_TRUE(children.Results);
    ASSERT_EQ(children.Results->AssetDescription.size(), 1u);
    EXPECT_EQ(children.Results->AssetDescription[0]->InterplayURI, clip);
    EXPECT_EQ(AttributeValue(children.Results->AssetDescription[0]->Attributes, "标题"), "晚间新闻 新闻");
    EXPECT_THAT(client->raw, HasSubstr("Name=\"标题\"")); // UTF-8 on the wire, not references

    types__GetLatestType latest;
    types__GetLatestResponseType fetched;
    latest.InterplayURI = news + "/晚间新闻"; // by path as well as by asset URI
    ASSERT_EQ(client->Call(soap_call___assets__GetLatest, latest, fetched), SOAP_OK);
    EXPECT_EQ(Bytes(fetched.File), aaf);
    types__GetHeadframeType headframe;
    types__GetHeadframeResponseType frame;
    headframe.InterplayURI = clip;
    ASSERT_EQ(client->Call(soap_call___assets__GetHeadframe, headframe, frame), SOAP_OK);
    EXPECT_EQ(Bytes(frame.Headframe), jpeg);

    types__DuplicateType duplicate;
    types__DuplicateResponseType copied;
    duplicate.InterplayAssetURI = clip;
    duplicate.InterplayFolderURI = news;
    ASSERT_EQ(client->Call(soap_call___assets__Duplicate, duplicate, copied), SOAP_OK);
    ASSERT_TRUE(copied.InterplayURI);
    const std::string copy = *copied.InterplayURI;
    types__MoveType move;
    types__MoveResponseType moved;
    move.InterplayAssetURI = copy;
    move.InterplayFolderURI = kProjects;
    ASSERT_EQ(client->Call(soap_call___assets__Move, move, moved), SOAP_OK);
    EXPECT_EQ(ErrorOf(moved), "");
    EXPECT_TRUE(sim->Exists(kProjects + "/晚间新闻 (2)"));

    types__DeleteAssetsType remove;
    types__DeleteAssetsResponseType removed;
    bool yes = true;
    remove.InterplayURIs = soap_new_types__InterplayURIListType(client->soap);
    remove.InterplayURIs->InterplayURI = {copy};
    remove.DeleteMedia = true;
    remove.Simulation = &yes;
    ASSERT_EQ(client->Call(soap_call___assets__DeleteAssets, remove, removed), SOAP_OK);
    ASSERT_TRUE(removed.DeletedAssets && removed.DeletedMedia);
    EXPECT_EQ(removed.DeletedAssets->InterplayURI, std::vector<std::string>{copy});
    EXPECT_EQ(removed.DeletedMedia->MediaDetails.size(), 2u);
    EXPECT_TRUE(sim->Exists(copy));
    remove.Simulation = &no;
    ASSERT_EQ(client->Call(soap_call___assets__DeleteAssets, remove, removed), SOAP_OK);
    EXPECT_FALSE(sim->Exists(copy));
}

TEST_F(AssetsSimulatorTest, AttributesLocatorsAndSearchKeepTheirFields) {
    std::string clip = CheckInAAF(kProjects, "晚间新闻", "AAF");
    CheckInAAF(kProjects, "午间", "AAF");
    types__SetAttributesType set;
    types__SetAttributesResponseType setResponse;
    set.InterplayURIs = soap_new_types__InterplayURIListType(client->soap);
    set.InterplayURIs->InterplayURI = {clip};
    set.Attributes = Attributes(client->soap, {{"USER", "状态", "已批准"}});
    ASSERT_EQ(client->Call(soap_call___assets__SetAttributes, set, setResponse), SOAP_OK);
    EXPECT_EQ(ErrorOf(setResponse), "");
    types__GetAttributesType get;
    types__GetAttributesResponseType got;
    get.InterplayURIs = set.InterplayURIs;
    ASSERT_EQ(client->Call(soap_call___assets__GetAttributes, get, got), SOAP_OK);
    ASSERT_TRUE(got.Results);
    EXPECT_EQ(AttributeValue(got.Results->AssetDescription.at(0)->Attributes, "状态"), "已批准");
    EXPECT_EQ(AttributeValue(got.Results->AssetDescription.at(0)->Attributes, "Creator"), "editor");

    types__SaveLocatorsType save;
    types__SaveLocatorsResponseType saved;
    save.InterplayURI = clip;
    save.Locators = soap_new_types__LocatorListType(client->soap);
    for (LONG64 frame : {2500, 100}) {
        save.Locators->Locator.push_back(soap_new_types__LocatorType(client->soap));
        save.Locators->Locator.back()->FrameNumber = soap_new_LONG64(client->soap);
        *save.Locators->Locator.back()->FrameNumber = frame;
        save.Locators->Locator.back()->Comment = "采访";
    }
    ASSERT_EQ(client->Call(soap_call___assets__SaveLocators, save, saved), SOAP_OK);
    ASSERT_TRUE(saved.Results);
    ASSERT_EQ(saved.Results->LocatorID.size(), 2u);
    types__GetLocatorsType list;
    types__GetLocatorsResponseType listed;
    list.InterplayURI = clip;
    ASSERT_EQ(client->Call(soap_call___assets__GetLocators, list, listed), SOAP_OK);
    ASSERT_TRUE(listed.Results);
    ASSERT_EQ(listed.Results->Locator.size(), 2u);
    const types__LocatorType* first = listed.Results->Locator[0];
    ASSERT_TRUE(first->LocatorID && first->FrameNumber && first->Timecode && first->Username);
    EXPECT_EQ(*first->LocatorID, saved.Results->LocatorID[1]);
    EXPECT_EQ(*first->FrameNumber, 100);
    EXPECT_EQ(*first->Timecode + " " + *first->Username + " " + first->Comment, "00:00:04:00 editor 采访");
    types__RemoveLocatorsType removal;
    types__RemoveLocatorsResponseType removed;
    removal.InterplayURI = clip;
    removal.LocatorIDs = soap_new_types__LocatorIDListType(client->soap);
    removal.LocatorIDs->LocatorID = {*first->LocatorID};
    ASSERT_EQ(client->Call(soap_call___assets__RemoveLocators, removal, removed), SOAP_OK);
    ASSERT_EQ(client->Call(soap_call___assets__GetLocators, list, listed), SOAP_OK);
    EXPECT_EQ(listed.Results->Locator.size(), 1u);

    // Search, its terms as character references, as the component sends them.
    auto hits = [&](const std::string& op, int max) {
        std::string response = RawExchange(
            sim->Port(),
            Post(Envelope(
                "<types:Search><types:InterplayPathURI>interplay://Workgroup</"
                "types:InterplayPathURI><types:SearchGroup "
                "Operator=\"" +
                op +
                "\"><types:AttributeCondition Condition=\"CONTAINS\"><types:Attribute Group=\"USER\" "
                "Name=\"&#26631;&#39064;\">&#26032;&#38395;</types:Attribute></types:AttributeCondition>"
                "<types:AttributeCondition Condition=\"EQUALS\"><types:Attribute "
                "Name=\"&#29366;&#24577;\">&#24050;&#25209;"
                "&#20934;</types:Attribute></types:AttributeCondition></"
                "types:SearchGroup><types:MaxResults>" +
                std::to_string(max) + "</types:MaxResults></types:Search>")));
        EXPECT_THAT(response, HasSubstr("<types:Results>"));
        size_t count = 0;
        for (size_t at = 0; (at = response.find("<types:AssetDescription>", at)) != std::string::npos; ++at)
            ++count;
        return count;
    };
    EXPECT_EQ(hits("AND", 0), 1u);
    EXPECT_EQ(hits("OR", 0), 2u);
    EXPECT_EQ(hits("OR", 1), 1u);
}

TEST_F(AssetsSimulatorTest, CredentialsAreCheckedOnEveryRequestAndNeverSentBack) {
    const std::string before = sim->Snapshot();
    types__CreateFolderType request;
    types__CreateFolderResponseType response;
    request.InterplayURI = kProjects + "/x";
    for (auto credentials : {std::make_pair("editor", "guess"), std::make_pair("nobody", "secret"),
                             std::make_pair("编辑", "passwörd")}) {
        Client stranger(sim->ServiceURL(), credentials.first, credentials.second);
        ASSERT_EQ(stranger.Call(soap_call___assets__CreateFolder, request, response), SOAP_OK);
        EXPECT_EQ(ErrorOf(response), "AUTHENTICATION_FAILED") << credentials.first;
        EXPECT_THAT(stranger.raw, Not(HasSubstr(credentials.second))) << credentials.first;
    }
    Client anonymous(sim->ServiceURL(), "", "", false);
    ASSERT_EQ(anonymous.Call(soap_call___assets__CreateFolder, request, response), SOAP_OK);
    EXPECT_EQ(ErrorOf(response), "AUTHENTICATION_FAILED");
    EXPECT_EQ(sim->Snapshot(), before);

    // A user name and password beyond ASCII, on the wire as character references.
    Client cjk(sim->ServiceURL(), "编辑", "pässwörd");
    ASSERT_EQ(cjk.Call(soap_call___assets__CreateFolder, request, response), SOAP_OK);
    EXPECT_EQ(ErrorOf(response), "");
    EXPECT_THAT(cjk.raw, Not(HasSubstr("UserCredentials")));
    std::vector<std::string> log = Log(5);
    ASSERT_EQ(log.size(), 5u);
    EXPECT_THAT(log[0], HasSubstr(" editor CreateFolder " + kProjects + "/x -> error AUTHENTICATION_FAILED"));
    EXPECT_THAT(log[4], HasSubstr(" 编辑 CreateFolder " + kProjects + "/x -> ok"));
    for (const std::string& line : log) EXPECT_THAT(line, Not(HasSubstr("secret")));
}

TEST_F(AssetsSimulatorTest, FailuresComeAsErrorListsAndChangeNothing) {
    std::string clip = CheckInAAF(kProjects, "x", "AAF");
    CreateFolder(kProjects + "/归档");
    CheckInAAF(kProjects + "/归档", "x", "AAF");
    const std::string unknown = "interplay://Workgroup?mobid=0123456789abcdef0123456789abcdef";
    const std::string before = sim->Snapshot();
    auto expect = [&](const char* what, const std::string& body, const std::string& error) {
        std::string response = RawExchange(sim->Port(), Post(Envelope(body)));
        EXPECT_THAT(response, HasSubstr("HTTP/1.1 200")) << what;
        EXPECT_THAT(response, HasSubstr(error)) << what << "\n" << response;
        EXPECT_THAT(response, HasSubstr("<types:Message>")) << what;
        EXPECT_EQ(sim->Snapshot(), before) << what;
    };
    const std::string uri = "<types:InterplayURI>" + clip + "</types:InterplayURI>";
    expect("same-name move",
           "<types:Move><types:InterplayAssetURI>" + clip +
               "</types:InterplayAssetURI><types:InterplayFolderURI>" + kProjects +
               "/归档</types:InterplayFolderURI></types:Move>",
           "<types:Error Code=\"ALREADY_EXISTS\">" + uri + "<types:Message>Cannot move \"x\"");
    expect("unknown asset",
           "<types:GetLatest><types:InterplayURI>" + unknown + "</types:InterplayURI></types:GetLatest>",
           "<types:Error Code=\"NOT_FOUND\"><types:InterplayURI>" + unknown);
    expect("delete with an unknown URI",
           "<types:DeleteAssets><types:InterplayURIs>" + uri + "<types:InterplayURI>" + unknown +
               "</types:InterplayURI></types:InterplayURIs><types:DeleteMedia>true</types:DeleteMedia>"
               "</types:DeleteAssets>",
           "Code=\"NOT_FOUND\"");
    expect("system attribute",
           "<types:SetAttributes><types:InterplayURIs>" + uri +
               "</types:InterplayURIs><types:Attributes>"
               "<types:Attribute Group=\"SYSTEM\" Name=\"Creator\">x</types:Attribute></types:Attributes>"
               "</types:SetAttributes>",
           "Code=\"READ_ONLY_ATTRIBUTE\"");
    expect("unknown locator",
           "<types:RemoveLocators>" + uri +
               "<types:LocatorIDs><types:LocatorID>42</types:LocatorID>"
               "</types:LocatorIDs></types:RemoveLocators>",
           "Code=\"NOT_FOUND\"");
    expect("unsupported condition",
           "<types:Search><types:InterplayPathURI>interplay://Workgroup</"
           "types:InterplayPathURI><types:SearchGroup "
           "Operator=\"AND\"><types:CategoryCondition Category=\"News\"/></types:SearchGroup></types:Search>",
           "Code=\"NOT_SUPPORTED\"");
}

TEST_F(AssetsSimulatorTest, BadInputGetsAFaultAndTheServiceKeepsServing) {
    auto expectFault = [&](const char* what, const std::string& request, const std::string& status) {
        const std::string before = sim->Snapshot();
        std::string response = RawExchange(sim->Port(), request);
        EXPECT_EQ(response.substr(0, 12), "HTTP/1.1 " + status) << what << "\n" << response;
        if (status == "500") {
            EXPECT_THAT(response, HasSubstr("<faultcode>SOAP-ENV:Client</faultcode>")) << what;
        }
        EXPECT_EQ(sim->Snapshot(), before) << what;
        EXPECT_EQ(CreateFolder(kProjects + "/" + what), "") << "not serving after " << what;
    };
    const std::string open = "<types:CreateFolder><types:InterplayURI>" + kProjects + "/y";
    const std::string close = "</types:InterplayURI></types:CreateFolder>";
    expectFault("not XML", Post("this is not XML"), "500");
    expectFault("not an envelope", Post("<a><b/></a>"), "500");
    expectFault("mismatched tags", Post(Envelope(open + "</types:Wrong></types:CreateFolder>")), "500");
    expectFault("cut short", Post(Envelope(open + close).substr(0, 300)), "500");
    expectFault("unknown operation", Post(Envelope("<types:FormatDisk/>")), "500");
    expectFault("empty body", Post(""), "500");
    expectFault("GET", "GET /services/Assets HTTP/1.1\r\nHost: x\r\n\r\n", "405");
    // Refused from its declared length, before a byte of the body arrives.
    auto start = std::chrono::steady_clock::now();
    expectFault("oversized", Post("<", "10000000000"), "413");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    // The service's operations that are not simulated: a fault with the detail.
    std::string notHere = RawExchange(sim->Port(), Post(Envelope("<types:Rename/>")));
    EXPECT_THAT(notHere, HasSubstr("<faultcode>SOAP-ENV:Server</faultcode>"));
    EXPECT_THAT(notHere, HasSubstr("<types:AssetsFaultType Code=\"NOT_SUPPORTED\">"));

    // A client that really sends more than the bound.
    types__CheckInType big;
    types__CheckInResponseType response;
    const std::string bytes(512 * 1024, 'x');
    big.InterplayURI = kProjects + "/big.bin";
    big.File = Binary(bytes);
    EXPECT_NE(client->Call(soap_call___assets__CheckIn, big, response), SOAP_OK);
    EXPECT_FALSE(sim->Exists(kProjects + "/big.bin"));
    EXPECT_EQ(CreateFolder(kProjects + "/after"), "");
}

TEST_F(AssetsSimulatorTest, FuzzedRequestsNeverBringItDown) {
    const std::string request = Envelope(
        "<types:Search><types:InterplayPathURI>interplay://Workgroup</"
        "types:InterplayPathURI><types:SearchGroup "
        "Operator=\"OR\"><types:AttributeCondition Condition=\"CONTAINS\"><types:Attribute Group=\"USER\" "
        "Name=\"&#26631;\">&#26032;</types:Attribute></types:AttributeCondition><types:SearchGroup "
        "Negated=\"true\"/>"
        "</types:SearchGroup><types:MaxResults>5</types:MaxResults></types:Search>");
    CheckInAAF(kProjects, "晚间新闻", "AAF");
    const std::string before = sim->Snapshot();
    std::mt19937 random(20240501);
    for (int round = 0; round < 300; ++round) {
        std::string mutated = request;
        for (int edits = 1 + static_cast<int>(random() % 4); edits > 0; --edits) {
            size_t at = random() % mutated.size();
            switch (random() % 4) {
            case 0:
                mutated[at] = static_cast<char>(random());
                break;
            case 1:
                mutated.erase(at, 1 + random() % 16);
                break;
            case 2:
                mutated.insert(at, std::string(1 + random() % 8, "<>&;\"#/x"[random() % 8]));
                break;
            case 3:
                mutated.insert(at, mutated.substr(random() % mutated.size(), random() % 300));
                break;
            }
        }
        // Mostly with its true length; now and then announcing more than it has.
        if (round % 10)
            RawExchange(sim->Port(), Post(mutated));
        else
            RawExchange(sim->Port(), Post(mutated, "4000"), true);
    }
    // Nesting beyond the parser's bound is refused, not followed down.
    std::string deep;
    for (int i = 0; i < 10000; ++i) deep += "<types:SearchGroup>";
    EXPECT_THAT(RawExchange(sim->Port(), Post(Envelope("<types:Search>" + deep))), HasSubstr("HTTP/1.1 500"));
    EXPECT_EQ(sim->Snapshot(), before);
    EXPECT_EQ(CreateFolder(kProjects + "/still serving"), "");
}

TEST_F(AssetsSimulatorTest, StartsOnAnEphemeralPortAndStopsPromptly) {
    EXPECT_EQ(sim->ServiceURL(), "http://127.0.0.1:" + std::to_string(sim->Port()) + "/services/Assets");
    size_t count = sim->RequestCount();
    EXPECT_EQ(CreateFolder(kProjects + "/a"), "");
    EXPECT_EQ(sim->RequestCount(), count + 1);
    std::vector<std::string> log = Log(1);
    EXPECT_TRUE(
        Shaped(log.at(0), "####-##-##T##:##:##Z editor CreateFolder interplay://Workgroup/Projects/a -> ok"))
        << log.at(0);

    assets_sim::Options same;
    same.port = sim->Port();
    assets_sim::AssetsSimulator second(same);
    std::string error;
    EXPECT_FALSE(second.Start(&error));
    EXPECT_THAT(error, HasSubstr(std::to_string(sim->Port())));

    // A peer stalled mid-request does not hold Stop up.
    int stalled = Connect(sim->Port());
    ASSERT_GE(stalled, 0);
    std::string half = Post("<SOAP-ENV:Envelope").substr(0, 60);
    send(stalled, half.data(), half.size(), MSG_NOSIGNAL);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    auto start = std::chrono::steady_clock::now();
    sim->Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    close(stalled);

    ASSERT_TRUE(sim->Start(&error)) << error; // started again, with its tree
    client = std::make_unique<Client>(sim->ServiceURL(), "editor", "secret");
    EXPECT_EQ(CreateFolder(kProjects + "/a"), "ALREADY_EXISTS");
}

TEST_F(AssetsSimulatorTest, SlowPeersHoldNobodyUpAndConcurrentWritersAllLand) {
    assets_sim::Options options = Options();
    options.maxRequestBytes = size_t(32) << 20;
    Restart(options);
    // A file whose response no socket buffer holds.
    std::string file(size_t(16) << 20, 'x');
    types__CheckInType checkIn;
    types__CheckInResponseType checkedIn;
    checkIn.InterplayURI = kProjects + "/big.bin";
    checkIn.File = Binary(file);
    ASSERT_EQ(client->Call(soap_call___assets__CheckIn, checkIn, checkedIn), SOAP_OK);
    ASSERT_EQ(ErrorOf(checkedIn), "");
    file.clear();
    const size_t requests = sim->RequestCount();

    // One peer asks for the file and reads nothing; one sends its headers,
    // then its body a byte at a time, far apart.
    int reader = Connect(sim->Port(), 4096);
    ASSERT_GE(reader, 0);
    std::string fetch = Post(Envelope("<types:GetLatest><types:InterplayURI>" + kProjects +
                                      "/big.bin</types:InterplayURI></types:GetLatest>"));
    ASSERT_EQ(send(reader, fetch.data(), fetch.size(), MSG_NOSIGNAL), static_cast<ssize_t>(fetch.size()));
    int trickler = Connect(sim->Port());
    ASSERT_GE(trickler, 0);
    std::string slow = Post(Envelope("<types:CreateFolder><types:InterplayURI>" + kProjects +
                                     "/slow</types:InterplayURI></types:CreateFolder>"));
    std::mutex trickleLock;
    std::condition_variable trickleEnd;
    bool ended = false;
    size_t body = slow.find("\r\n\r\n") + 4;
    ASSERT_EQ(send(trickler, slow.data(), body, MSG_NOSIGNAL), static_cast<ssize_t>(body));
    std::thread trickle([&] {
        std::unique_lock<std::mutex> lock(trickleLock);
        for (size_t at = body; at < slow.size() && !ended; ++at) {
            if (send(trickler, &slow[at], 1, MSG_NOSIGNAL) != 1) break;
            trickleEnd.wait_for(lock, std::chrono::seconds(2), [&] { return ended; });
        }
    });
    for (int wait = 0; wait < 1000 && sim->RequestCount() < requests + 2; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(sim->RequestCount(), requests + 2);

    // Meanwhile writers, each with its own folders, get through well within
    // the simulator's idle time-out, which a stalled peer could hold them for.
    const int writers = 16, folders = 4;
    std::vector<std::thread> threads;
    std::vector<std::string> outcomes(writers);
    for (int w = 0; w < writers; ++w) {
        threads.emplace_back([&, w] {
            KoSetThreadCodePage(65001);
            Client writer(sim->ServiceURL(), "editor", "secret");
            writer.soap->recv_timeout = writer.soap->send_timeout = 10;
            for (int f = 0; f < folders; ++f) {
                types__CreateFolderType request;
                types__CreateFolderResponseType response;
                request.InterplayURI = kProjects + "/w" + std::to_string(w) + "-" + std::to_string(f);
                int code = writer.Call(soap_call___assets__CreateFolder, request, response);
                outcomes[w] +=
                    code != SOAP_OK ? "[runtime error " + std::to_string(code) + "]" : ErrorOf(response);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (int w = 0; w < writers; ++w) EXPECT_EQ(outcomes[w], "") << "writer " << w;
    types__GetChildrenType list;
    types__GetChildrenResponseType children;
    list.InterplayURI = kProjects;
    ASSERT_EQ(client->Call(soap_call___assets__GetChildren, list, children), SOAP_OK);
    ASSERT_TRUE(children.Results);
    EXPECT_EQ(children.Results->AssetDescription.size(), size_t(writers * folders + 1));

    // Neither peer holds Stop up.
    auto start = std::chrono::steady_clock::now();
    sim->Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    {
        std::lock_guard<std::mutex> lock(trickleLock);
        ended = true;
        trickleEnd.notify_all();
    }
    trickle.join();
    EXPECT_TRUE(ClosedByPeer(trickler));
    EXPECT_TRUE(ClosedByPeer(reader));
    close(trickler);
    close(reader);
    EXPECT_FALSE(sim->Exists(kProjects + "/slow"));
}

TEST_F(AssetsSimulatorTest, IdleAndOverlongConnectionsAreCutOff) {
    assets_sim::Options options = Options();
    options.idleTimeout = std::chrono::seconds(1);
    options.requestDeadline = std::chrono::seconds(3);
    Restart(options);
    // Silent from the start, and silent after half a request: the idle
    // time-out. A byte every 200 ms, never done: the deadline.
    int silent = Connect(sim->Port()), half = Connect(sim->Port()), trickler = Connect(sim->Port());
    ASSERT_TRUE(silent >= 0 && half >= 0 && trickler >= 0);
    const std::string request = Post(Envelope("<types:CreateFolder><types:InterplayURI>" + kProjects +
                                              "/late</types:InterplayURI></types:CreateFolder>"));
    send(half, request.data(), request.size() / 2, MSG_NOSIGNAL);
    bool cutOff = false;
    for (size_t at = 0; at < request.size() && !cutOff; ++at) {
        send(trickler, &request[at], 1, MSG_NOSIGNAL);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        cutOff = ClosedByPeer(trickler, MSG_DONTWAIT);
    }
    EXPECT_TRUE(cutOff);
    EXPECT_TRUE(ClosedByPeer(silent));
    EXPECT_TRUE(ClosedByPeer(half));
    close(silent);
    close(half);
    close(trickler);
    EXPECT_FALSE(sim->Exists(kProjects + "/late"));
    EXPECT_EQ(CreateFolder(kProjects + "/after"), "");
}
