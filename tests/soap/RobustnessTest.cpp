// Malformed, truncated, oversized and randomly mutated responses, and peers
// that misbehave: every one gives a result code, nothing crashes or leaks
// (run under AddressSanitizer for the leaks and overruns).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "CZuServiceCall.h"
#include "ResponseReader.h"
#include "ScriptedServer.h"
#include "SoapTestSupport.h"
#include "ZuResultCodes.h"
#include "ZuTexts.h"

using namespace ZuAssets;

namespace {

std::string getChildrenResponse() {
    std::string assets;
    for (int i = 0; i < 3; ++i)
        assets += "<types:AssetDescription><types:InterplayURI>interplay://WG/a" + std::to_string(i) +
                  "</types:InterplayURI><types:Attributes>"
                  "<types:Attribute Group=\"USER\" "
                  "Name=\"\xe5\x90\x8d\xe7\xa7\xb0\">\xe4\xb8\xad&#25991;</types:Attribute>"
                  "<types:Attribute Group=\"SYSTEM\" Name=\"Type\" extra=\"1\">masterclip</types:Attribute>"
                  "<types:Attribute>&lt;&amp;&gt;</types:Attribute>"
                  "</types:Attributes><types:Extension><x:any xmlns:x=\"urn:x\">1</x:any></types:Extension>"
                  "<types:Unknown>skipped</types:Unknown></types:AssetDescription>";
    return soap11(
        "<types:GetChildrenResponse><types:Errors><types:Error Code=\"1\">"
        "<types:InterplayURI>u</types:InterplayURI><types:Message>m</types:Message>"
        "<types:Details>d</types:Details></types:Error></types:Errors><types:Results>" +
        assets + "</types:Results></types:GetChildrenResponse>");
}

std::string faultResponse() {
    return soap11(
        "<SOAP-ENV:Fault><faultcode>SOAP-ENV:Server</faultcode><faultstring>boom</faultstring>"
        "<detail><types:AssetsFaultType Code=\"9\"><types:Message>fm</types:Message>"
        "<types:Details>fd</types:Details></types:AssetsFaultType></detail></SOAP-ENV:Fault>");
}

std::string soap12Response() {
    return soap12(
        "<t:GetChildrenResponse><t:Results><t:AssetDescription><t:InterplayURI>v</t:InterplayURI>"
        "</t:AssetDescription></t:Results></t:GetChildrenResponse>");
}

std::string http(const std::string& body) { return ScriptedServer::Reply::http(body).bytes; }

// Applies one to four random edits.
std::string mutate(std::string s, std::mt19937& rng) {
    static const char kBytes[] = "<>&\"'/=;#x \r\n\t\x00\x80\xe4\xff";
    static const char* kRefs[] = {"&#0;",           "&#1;",       "&#9;",       "&#xD800;",
                                  "&#xFFFE;",       "&#x10FFFF;", "&#x110000;", "&#4294967295;",
                                  "&#99999999999;", "&#;",        "&#x;",       "&bogus;"};
    static const char* kTags[] = {"<types:Error>",
                                  "</types:Errors>",
                                  "<x:y xmlns:x=\"z\">",
                                  "<!--",
                                  "<![CDATA[",
                                  "]]>",
                                  "<?pi?>",
                                  "<types:Attribute Name=\"\xe4\xb8",
                                  "xsi:nil=\"true\"",
                                  "<!DOCTYPE a [<!ENTITY e \"x\">]>"};
    auto pick = [&](size_t n) { return n ? static_cast<size_t>(rng() % n) : 0; };
    int edits = 1 + static_cast<int>(rng() % 4);
    for (int i = 0; i < edits && !s.empty(); ++i) {
        size_t at = pick(s.size());
        size_t length = 1 + pick(16);
        switch (rng() % 7) {
        case 0:
            s[at] = static_cast<char>(s[at] ^ (1 << (rng() % 8)));
            break;
        case 1:
            s[at] = kBytes[pick(sizeof kBytes - 1)];
            break;
        case 2:
            s.erase(at, length);
            break;
        case 3:
            s.insert(pick(s.size()), s.substr(at, length));
            break;
        case 4:
            s.resize(at);
            break;
        case 5:
            s.insert(at, kRefs[pick(sizeof kRefs / sizeof *kRefs)]);
            break;
        default:
            s.insert(at, kTags[pick(sizeof kTags / sizeof *kTags)]);
            break;
        }
    }
    return s;
}

// Mutates the body only (the HTTP head stays right) or the whole message.
std::string mutatedResponse(const std::string& body, std::mt19937& rng) {
    if (rng() % 2) return http(mutate(body, rng));
    return mutate(http(body), rng);
}

TEST(Robustness, TheBaseResponsesAreRead) {
    ResponseReading children = ReadGetChildrenResponse(http(getChildrenResponse()));
    EXPECT_EQ(SOAP_OK, children.code);
    EXPECT_EQ(4u + 3 * 10, children.strings);
    EXPECT_EQ(SOAP_SVR_FAULT, ReadGetChildrenResponse(http(faultResponse())).code);
    EXPECT_EQ(SOAP_OK, ReadGetChildrenResponse(http(soap12Response())).code);
}

TEST(Robustness, SeededMutationsOfResponsesInMemory) {
    const std::string bases[] = {getChildrenResponse(), faultResponse(), soap12Response()};
    size_t read = 0;
    for (unsigned seed = 1; seed <= 3000; ++seed) {
        std::mt19937 rng(seed);
        std::string response = mutatedResponse(bases[seed % 3], rng);
        SCOPED_TRACE("seed " + std::to_string(seed));
        ResponseReading reading = ReadGetChildrenResponse(response);
        if (reading.code == SOAP_OK) ++read;
    }
    // Many mutations leave a readable response; the rest fail cleanly.
    EXPECT_GT(read, 100u);
}

class WireRobustness : public ::testing::Test {
protected:
    HRESULT getChildren() {
        CZuServiceCall call(server.url(), "u", "p", lastErrorText);
        types__GetChildrenType request;
        request.InterplayURI = "interplay://WG";
        types__GetChildrenResponseType response;
        HRESULT hr = call.Run(&AssetsPortBinding::__assets__GetChildren, &request, &response);
        outcome = call.GetOutcome();
        return hr;
    }

    HRESULT checkIn(size_t fileBytes) {
        CZuServiceCall call(server.url(), "u", "p", lastErrorText);
        std::vector<unsigned char> file(fileBytes, 0x5a);
        types__CheckInAAFType request;
        request.AAF.__ptr = file.data();
        request.AAF.__size = static_cast<int>(file.size());
        types__CheckInAAFResponseType response;
        return call.Run(&AssetsPortBinding::__assets__CheckInAAF, &request, &response);
    }

    ScriptedServer server;
    std::string lastErrorText;
    CZuServiceCall::Outcome outcome = CZuServiceCall::NOT_RUN;
};

TEST_F(WireRobustness, SeededMutationsOverTheWire) {
    const std::string bases[] = {getChildrenResponse(), faultResponse(), soap12Response()};
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::mt19937 rng(seed * 7919u);
        ScriptedServer::Reply reply;
        reply.bytes = mutatedResponse(bases[seed % 3], rng);
        server.enqueue(reply);
        SCOPED_TRACE("seed " + std::to_string(seed));
        HRESULT hr = getChildren();
        if (outcome == CZuServiceCall::TRANSPORT_FAILURE)
            EXPECT_NE(S_OK, hr);
        else
            EXPECT_TRUE(hr == S_OK || hr == ZU_E_SERVERERROR);
    }
}

TEST_F(WireRobustness, TruncatedAndOversizedBodies) {
    std::string body = getChildrenResponse();
    server.enqueue(ScriptedServer::Reply::truncated(body, 100));
    EXPECT_NE(S_OK, getChildren());
    EXPECT_EQ(CZuServiceCall::TRANSPORT_FAILURE, outcome);

    server.enqueue(ScriptedServer::Reply::truncated(body, body.size()));
    EXPECT_NE(S_OK, getChildren());
    EXPECT_EQ(CZuServiceCall::TRANSPORT_FAILURE, outcome);

    // More bytes than announced: the runtime reads on to the end of the XML.
    server.enqueue(ScriptedServer::Reply::oversized(body, 40));
    EXPECT_EQ(ZU_E_SERVERERROR, getChildren());
    server.enqueue(ScriptedServer::Reply::oversized(body + std::string(1 << 20, ' '), 1 << 20));
    EXPECT_EQ(ZU_E_SERVERERROR, getChildren());
    std::string cut = body.substr(0, body.size() - 30);
    server.enqueue(ScriptedServer::Reply::oversized(cut + "<more>" + std::string(1 << 20, 'x'), 1 << 20));
    EXPECT_NE(S_OK, getChildren());
    EXPECT_EQ(CZuServiceCall::TRANSPORT_FAILURE, outcome);

    // Bytes after the end of the envelope are not read.
    server.enqueue(ScriptedServer::Reply::http(body + "trailing garbage <<<"));
    EXPECT_EQ(ZU_E_SERVERERROR, getChildren());
}

TEST_F(WireRobustness, PeersThatCloseEarly) {
    server.enqueue(ScriptedServer::Reply::closeBeforeReading());
    EXPECT_NE(S_OK, getChildren());
    server.enqueue(ScriptedServer::Reply::closeAfterReading());
    EXPECT_NE(S_OK, getChildren());
    // A large request to a peer that has gone: the send fails, no SIGPIPE.
    server.enqueue(ScriptedServer::Reply::closeBeforeReading());
    EXPECT_NE(S_OK, checkIn(size_t(8) << 20));
    EXPECT_EQ(ZU_TEXT_NO_WEB_SERVICE, lastErrorText);
}

TEST_F(WireRobustness, SlowPeerIsWaitedFor) {
    ScriptedServer::Reply reply = ScriptedServer::Reply::http(soap12Response());
    reply.delayMs = 300;
    server.enqueue(reply);
    EXPECT_EQ(S_OK, getChildren());
}

TEST_F(WireRobustness, MalformedResponses) {
    const std::string malformed[] = {
        "",
        "garbage\r\n\r\n",
        "HTTP/1.1 200 OK\r\n\r\n",
        "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n\x00\x01\x02\x03\x04",
        http("not xml at all"),
        http("<?xml version=\"1.0\"?>"),
        http("<a><b></a></b>"),
        http(soap11("<types:GetChildrenResponse><types:Results>")),
        http(soap11("<SOAP-ENV:Fault>")),
        "HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\n<x/>",
        "HTTP/1.1 99999 Weird\r\nContent-Length: 0\r\n\r\n",
    };
    for (const std::string& bytes : malformed) {
        ScriptedServer::Reply reply;
        reply.bytes = bytes;
        server.enqueue(reply);
        SCOPED_TRACE(bytes.substr(0, 60));
        EXPECT_NE(S_OK, getChildren());
        EXPECT_EQ(CZuServiceCall::TRANSPORT_FAILURE, outcome);
    }
}

TEST_F(WireRobustness, DeepAndLargeResponses) {
    std::string deep;
    for (int i = 0; i < 20000; ++i) deep += "<a>";
    server.enqueue(ScriptedServer::Reply::http(soap11("<types:GetChildrenResponse>" + deep)));
    EXPECT_EQ(SOAP_LEVEL, getChildren());
    EXPECT_EQ(ZU_TEXT_RESPONSE_REFUSED, lastErrorText);

    std::string large(size_t(4) << 20, 'x');
    large.replace(1000, 3, "\xe4\xb8\xad");
    server.enqueue(ScriptedServer::Reply::http(
        soap11("<types:GetChildrenResponse><types:Errors><types:Error><types:Message>m</types:Message>"
               "<types:Details>" +
               large + "</types:Details></types:Error></types:Errors></types:GetChildrenResponse>")));
    EXPECT_EQ(ZU_E_SERVERERROR, getChildren());
    EXPECT_EQ(large.size() - 1, lastErrorText.size()); // the character is two bytes here

    ScriptedServer::Reply chunked;
    std::string body = soap12Response();
    char size[32];
    snprintf(size, sizeof size, "%zx", body.size());
    chunked.bytes = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nTransfer-Encoding: chunked\r\n\r\n" +
                    std::string(size) + "\r\n" + body + "\r\n0\r\n\r\n";
    server.enqueue(chunked);
    EXPECT_EQ(S_OK, getChildren());
}

// Responses built to make the parser work hard or hold much are refused before
// it does: too many attributes or namespace declarations on one element (the
// parser's time grows with their square), too long a text. Just within each
// limit they are read, and so is file content longer than any text may be.
TEST_F(WireRobustness, HostileResponsesAreRefused) {
    auto message = [](const std::string& attribute, int count) {
        std::string tag = "<types:Message";
        for (int i = 0; i < count; ++i) tag += " " + attribute + std::to_string(i) + "=\"v\"";
        return tag + ">m</types:Message>";
    };
    auto response = [](const std::string& message) {
        return soap11(
            "<types:GetChildrenResponse><types:Errors><types:Error>" + message +
            "<types:Details>d</types:Details></types:Error></types:Errors></types:GetChildrenResponse>");
    };
    const std::string longText = "<types:Message>" + std::string((16u << 20) + 1, 't') + "</types:Message>";
    const struct {
        const char* what;
        std::string body;
        HRESULT result;
    } cases[] = {
        {"100,000 namespace declarations", response(message("xmlns:n", 100000)), SOAP_LENGTH},
        {"100,000 attributes", response(message("a", 100000)), SOAP_LENGTH},
        {"65 declarations", response(message("xmlns:n", 65)), SOAP_LENGTH},
        {"513 attributes", response(message("a", 513)), SOAP_LENGTH},
        {"a text of 16 MiB and a byte", response(longText), SOAP_LENGTH},
        {"an attribute value of 16 MiB and a byte",
         response("<types:Message a=\"" + std::string((16u << 20) + 1, 'v') + "\">m</types:Message>"),
         SOAP_LENGTH},
        {"64 declarations", response(message("xmlns:n", 64)), ZU_E_SERVERERROR},
        {"512 attributes, quoted '>' and '='", response(message("a", 511).replace(14, 0, " q='>=\"'")),
         ZU_E_SERVERERROR},
        {"attributes in comments and CDATA",
         response("<!-- <a " + message("b", 600).substr(1) + " -->" + "<types:Message><![CDATA[<c " +
                  message("d", 600).substr(1) + "]]></types:Message>"),
         ZU_E_SERVERERROR},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        lastErrorText.clear();
        server.enqueue(ScriptedServer::Reply::http(c.body));
        EXPECT_EQ(c.result, getChildren());
        if (c.result == SOAP_LENGTH) {
            EXPECT_EQ(ZU_TEXT_RESPONSE_REFUSED, lastErrorText);
        }
    }

    // File content is not a text: 18 MiB of it are read.
    std::string file(18u << 20, 'F');
    ScriptedServer::Reply chunked;
    std::string body =
        soap11("<types:GetLatestResponse><types:File>" + std::string(file.size() / 3 * 4, 'R') +
               "</types:File></types:GetLatestResponse>");
    char size[32];
    snprintf(size, sizeof size, "%zx", body.size());
    chunked.bytes = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nTransfer-Encoding: chunked\r\n\r\n" +
                    std::string(size) + "\r\n" + body + "\r\n0\r\n\r\n";
    server.enqueue(chunked);
    CZuServiceCall call(server.url(), "u", "p", lastErrorText);
    types__GetLatestType request;
    types__GetLatestResponseType latest;
    EXPECT_EQ(S_OK, call.Run(&AssetsPortBinding::__assets__GetLatest, &request, &latest));
    ASSERT_NE(nullptr, latest.File);
    EXPECT_EQ(static_cast<int>(file.size()), latest.File->__size);
}

} // namespace
