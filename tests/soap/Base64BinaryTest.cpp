// Byte content (xsd:base64Binary, CZuBase64Binary) on the wire: requests sent
// with a Content-Length carry exactly the bytes announced, in the runtime's
// base64, whatever the payload's size and whether they are held or read from a
// source as they go, through the component's binding and the plain variant
// alike; a source that fails midway leaves the request incomplete; responses
// are read as the generated code read them.
#include <gtest/gtest.h>

#include <sys/socket.h>

#include <string.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "AssetsPortBinding.h"
#include "CZuAssetsEnvelope.h"
#include "CZuContentSink.h"
#include "ScriptedServer.h"
#include "SoapTestSupport.h"
#include "ZuAssetsNamespaces.h"
#include "ZuTestAssetsPlainH.h"

namespace plain = ZuTestAssetsPlain;

namespace {

const char kEnvelopeEnd[] = "</SOAP-ENV:Envelope>\r\n";

std::string RandomBytes(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random());
    return bytes;
}

unsigned char* Data(std::string& bytes) { return reinterpret_cast<unsigned char*>(&bytes[0]); }

// The runtime's base64 of bytes, and its decoding of text.
std::string Encoded(const std::string& bytes) {
    InMemoryContext context;
    const char* text = soap_s2base64(context.soap(), reinterpret_cast<const unsigned char*>(bytes.data()),
                                     nullptr, static_cast<int>(bytes.size()));
    return text ? text : "<encoding failed>";
}

std::string Decoded(const std::string& text) {
    InMemoryContext context;
    int size = 0;
    const char* bytes = soap_base642s(context.soap(), text.c_str(), nullptr, 0, &size);
    return bytes ? std::string(bytes, static_cast<size_t>(size)) : "<decoding failed>";
}

// The content of the element tag in the body ("<none>" when it is missing).
std::string ContentOf(const std::string& body, const std::string& tag) {
    std::string element = elementOf(body, tag);
    if (element.empty()) return "<none>";
    size_t begin = element.find('>') + 1;
    size_t end = element.rfind("</");
    return end == std::string::npos || end < begin ? "" : element.substr(begin, end - begin);
}

// The content WriteElement gives value, written alone to memory.
std::string Written(const ZuAssets::xsd__base64Binary& value) {
    InMemoryContext context;
    struct soap* soap = context.soap();
    std::ostringstream out;
    soap->os = &out;
    if (soap_begin_send(soap) || ZuAssets::soap_out_xsd__base64Binary(soap, "b", -1, &value, nullptr) ||
        soap_end_send(soap))
        return "<send failed>";
    soap->os = nullptr;
    return ContentOf(out.str(), "b");
}

// An element's bytes read as it is written; Read fails once it would go past
// failAt bytes.
class StringSource : public CZuBase64Binary::Source {
public:
    explicit StringSource(std::string bytes, size_t failAt = std::string::npos)
        : m_bytes(std::move(bytes)), m_failAt(failAt) {}
    bool Rewind() override {
        ++rewinds;
        m_at = 0;
        return true;
    }
    bool Read(unsigned char* buffer, size_t size) override {
        if (m_at + size > m_failAt || m_at + size > m_bytes.size()) return false;
        memcpy(buffer, m_bytes.data() + m_at, size);
        m_at += size;
        return true;
    }
    void Lend(ZuAssets::xsd__base64Binary& element) {
        element.source = this;
        element.__size = static_cast<int>(m_bytes.size());
    }
    int rewinds = 0;

private:
    std::string m_bytes;
    size_t m_failAt;
    size_t m_at = 0;
};

// Checks that the request arrived whole: its Content-Length is the length of
// the body, nothing came after it, and the body is the whole envelope.
void ExpectWhole(const ScriptedServer::Request& request) {
    EXPECT_EQ(std::to_string(request.body.size()), request.header("Content-Length"));
    EXPECT_EQ(request.raw.find("\r\n\r\n") + 4 + request.body.size(), request.raw.size());
    ASSERT_GE(request.body.size(), sizeof kEnvelopeEnd - 1);
    EXPECT_EQ(kEnvelopeEnd, request.body.substr(request.body.size() - (sizeof kEnvelopeEnd - 1)));
}

// Checks that the element tag of the body carries bytes in the runtime's base64.
void ExpectContent(const ScriptedServer::Request& request, const std::string& tag, const std::string& bytes) {
    std::string text = ContentOf(request.body, tag);
    EXPECT_EQ((bytes.size() + 2) / 3 * 4, text.size());
    EXPECT_TRUE(text == Encoded(bytes))
        << tag << " of " << bytes.size() << " bytes differs from the runtime's base64";
    EXPECT_TRUE(Decoded(text) == bytes)
        << tag << " of " << bytes.size() << " bytes does not decode to the payload";
}

class Base64Binary : public ::testing::Test {
protected:
    Base64Binary() {
        server.setDefaultReply(ScriptedServer::Reply::http(soap11("<types:CheckInAAFResponse/>")));
    }

    // Sends a CheckInAAF with aaf and, when given, a headframe through the
    // component's binding (set up by prepare, when given); what arrived.
    // With source, the AAF's bytes are read from it (aaf unused) and the call
    // is expected to return code.
    ScriptedServer::Request CheckInAaf(std::string aaf, std::string* headframe,
                                       void (*prepare)(AssetsPortBinding&) = nullptr,
                                       StringSource* source = nullptr, int code = SOAP_OK) {
        AssetsPortBinding binding;
        std::string url = server.url();
        binding.endpoint = url.c_str();
        EXPECT_EQ(SOAP_OK, binding.SetCredentials("u", "p"));
        if (prepare) prepare(binding);
        ZuAssets::types__CheckInAAFType request;
        request.InterplayURI = "interplay://WG/In";
        request.AAF.__ptr = Data(aaf);
        request.AAF.__size = static_cast<int>(aaf.size());
        if (source) {
            request.AAF.__ptr = nullptr;
            source->Lend(request.AAF);
        }
        ZuAssets::xsd__base64Binary image;
        if (headframe) {
            image.__ptr = Data(*headframe);
            image.__size = static_cast<int>(headframe->size());
            request.Headframe = &image;
        }
        ZuAssets::types__CheckInAAFResponseType response;
        EXPECT_EQ(code, binding.__assets__CheckInAAF(&request, &response));
        if (code != SOAP_OK) server.waitForConnections(server.connections());
        return Last();
    }

    ScriptedServer::Request Last() {
        std::vector<ScriptedServer::Request> requests = server.requests();
        return requests.empty() ? ScriptedServer::Request() : requests.back();
    }

    ScriptedServer server;
};

TEST_F(Base64Binary, RequestsCarryTheAnnouncedBytesForEveryPayloadSize) {
    const size_t sizes[] = {0, 1, 2, 3, 4, 5, (size_t(3) << 20) + 1};
    for (size_t size : sizes) {
        SCOPED_TRACE("payload of " + std::to_string(size) + " bytes");
        std::string aaf = RandomBytes(size, static_cast<unsigned>(size));
        std::string headframe = RandomBytes(size / 2 + 1, static_cast<unsigned>(size) + 1);
        ScriptedServer::Request sent = CheckInAaf(aaf, &headframe);
        ExpectWhole(sent);
        ExpectContent(sent, "types:AAF", aaf);
        ExpectContent(sent, "types:Headframe", headframe);

        // CheckIn's File, through its own message.
        server.enqueue(ScriptedServer::Reply::http(soap11("<types:CheckInResponse/>")));
        AssetsPortBinding binding;
        std::string url = server.url();
        binding.endpoint = url.c_str();
        ZuAssets::types__CheckInType request;
        request.InterplayURI = "interplay://WG/In";
        request.File.__ptr = Data(aaf);
        request.File.__size = static_cast<int>(aaf.size());
        ZuAssets::types__CheckInResponseType response;
        EXPECT_EQ(SOAP_OK, binding.__assets__CheckIn(&request, &response));
        ExpectWhole(Last());
        ExpectContent(Last(), "types:File", aaf);
    }
}

TEST_F(Base64Binary, NoBytesGiveEmptyContent) {
    AssetsPortBinding binding;
    std::string url = server.url();
    binding.endpoint = url.c_str();
    ZuAssets::types__CheckInAAFType request;
    request.InterplayURI = "interplay://WG/In";
    request.AAF.__size = 5; // a count without bytes
    std::string bytes = "abc";
    ZuAssets::xsd__base64Binary image;
    image.__ptr = Data(bytes);
    image.__size = -1; // bytes with a negative count
    request.Headframe = &image;
    ZuAssets::types__CheckInAAFResponseType response;
    EXPECT_EQ(SOAP_OK, binding.__assets__CheckInAAF(&request, &response));
    ExpectWhole(Last());
    EXPECT_EQ("<types:AAF></types:AAF>", elementOf(Last().body, "types:AAF"));
    EXPECT_EQ("<types:Headframe></types:Headframe>", elementOf(Last().body, "types:Headframe"));
}

// A send hook sees every byte of the counting pass, base64 included, as it did
// when the runtime encoded in both passes.
std::string hooked;
int Hook(struct soap*, const char* bytes, size_t count) {
    hooked.append(bytes, count);
    return SOAP_OK;
}

TEST_F(Base64Binary, SendHooksStillSeeTheEncodedBytes) {
    hooked.clear();
    std::string aaf = RandomBytes(100000, 7), headframe = RandomBytes(10, 8);
    ScriptedServer::Request sent =
        CheckInAaf(aaf, &headframe, [](AssetsPortBinding& binding) { binding.soap->fpreparesend = Hook; });
    ExpectWhole(sent);
    ExpectContent(sent, "types:AAF", aaf);
    EXPECT_TRUE(hooked == sent.body) << "the hook saw " << hooked.size() << " of " << sent.body.size()
                                     << " bytes";
}

// The encoder against the runtime's own encoder and decoder: every length up to
// a few groups past a piece of the encoder's text, every byte value in every
// position of a whole and a padded last group, random buffers across pieces.
TEST(Base64Encoding, WrittenTextIsTheRuntimesBase64OfTheBytes) {
    std::vector<std::string> payloads;
    for (size_t size = 0; size <= 300; ++size)
        payloads.push_back(RandomBytes(size, static_cast<unsigned>(size)));
    for (size_t group = 1; group <= 3; ++group)
        for (size_t at = 0; at < group; ++at)
            for (int value = 0; value < 256; ++value) {
                std::string bytes = RandomBytes(3 + group, static_cast<unsigned>(value * 7 + at));
                bytes[3 + at] = static_cast<char>(value);
                payloads.push_back(bytes);
            }
    std::mt19937 random(5);
    for (int i = 0; i < 20; ++i) payloads.push_back(RandomBytes(random() % 70000, static_cast<unsigned>(i)));
    for (size_t size : {12287, 12288, 12289, 12290}) payloads.push_back(RandomBytes(size, 6));
    for (std::string& bytes : payloads) {
        ZuAssets::xsd__base64Binary value;
        value.__ptr = Data(bytes);
        value.__size = static_cast<int>(bytes.size());
        std::string text = Written(value);
        ASSERT_TRUE(Decoded(text) == bytes) << bytes.size() << " bytes do not decode back";
        ASSERT_EQ(Encoded(bytes), text) << bytes.size() << " bytes";
        // The same from a source.
        StringSource source(bytes);
        source.Lend(value);
        value.__ptr = nullptr;
        ASSERT_EQ(text, Written(value)) << bytes.size() << " bytes from a source";
    }
}

TEST_F(Base64Binary, SourcedBytesGoOutAsHeldOnesAndAFailingSourceCutsTheRequest) {
    // Sizes around the pieces read from a source (192 KiB).
    for (size_t size : {size_t(0), size_t(1), size_t(196608), size_t(196609), (size_t(1) << 20) + 2}) {
        SCOPED_TRACE("payload of " + std::to_string(size) + " bytes");
        std::string aaf = RandomBytes(size, static_cast<unsigned>(size));
        StringSource source(aaf);
        ScriptedServer::Request sent = CheckInAaf("", nullptr, nullptr, &source);
        ExpectWhole(sent);
        ExpectContent(sent, "types:AAF", aaf);
        EXPECT_EQ(size ? 1 : 0, source.rewinds) << "the counting pass reads nothing";
        EXPECT_EQ(sent.body, CheckInAaf(aaf, nullptr).body);
    }

    // A send hook: the source is read in both passes.
    hooked.clear();
    std::string aaf = RandomBytes(500000, 3);
    StringSource hookedSource(aaf);
    ScriptedServer::Request sent = CheckInAaf(
        "", nullptr, [](AssetsPortBinding& binding) { binding.soap->fpreparesend = Hook; }, &hookedSource);
    ExpectWhole(sent);
    ExpectContent(sent, "types:AAF", aaf);
    EXPECT_EQ(2, hookedSource.rewinds);
    EXPECT_TRUE(hooked == sent.body);

    // Failing in the counting pass (a hook sees it): nothing is sent.
    size_t connections = server.connections();
    StringSource early(aaf, 1000);
    CheckInAaf(
        "", nullptr, [](AssetsPortBinding& binding) { binding.soap->fpreparesend = Hook; }, &early,
        SOAP_USER_ERROR);
    EXPECT_EQ(connections, server.connections());

    // Failing midway: the header announced the whole, less arrived, and the
    // connection was closed.
    StringSource midway(aaf, 300000);
    sent = CheckInAaf("", nullptr, nullptr, &midway, SOAP_USER_ERROR);
    ASSERT_EQ(connections + 1, server.connections());
    size_t bodyStart = sent.raw.find("\r\n\r\n");
    ASSERT_NE(std::string::npos, bodyStart);
    size_t announced = std::stoul(sent.header("Content-Length"));
    EXPECT_GT(announced, (aaf.size() + 2) / 3 * 4);
    EXPECT_LT(sent.raw.size() - bodyStart - 4, announced);
}

TEST_F(Base64Binary, PlainVariantSendsTheSameContent) {
    std::string aaf = RandomBytes((size_t(1) << 20) + 2, 9);
    struct soap* soap = soap_new1(SOAP_C_UTFSTRING | SOAP_XML_TREE);
    ASSERT_NE(nullptr, soap);
    soap_set_namespaces(soap, ZuAssetsNamespaces());
    soap->socket_flags = MSG_NOSIGNAL;
    CZuAssetsEnvelope::SetCredentials(soap, "u", "p");
    plain::types__CheckInAAFType request;
    request.InterplayURI = "interplay://WG/In";
    request.AAF.__ptr = Data(aaf);
    request.AAF.__size = static_cast<int>(aaf.size());
    plain::types__CheckInAAFResponseType response;
    std::string url = server.url();
    EXPECT_EQ(SOAP_OK, plain::soap_call___assets__CheckInAAF(soap, url.c_str(), "", &request, &response));
    soap_destroy(soap);
    soap_end(soap);
    soap_free(soap);
    ScriptedServer::Request sent = Last();
    ExpectWhole(sent);
    ExpectContent(sent, "types:AAF", aaf);
    EXPECT_EQ(sent.body, CheckInAaf(aaf, nullptr).body);
}

// Responses: what GetLatest hands back for the File element given.
class Base64BinaryResponse : public ::testing::Test {
protected:
    struct Read {
        int code = -1;
        bool present = false;
        std::string bytes;
    };

    enum class Framing {
        Length,  // a Content-Length that is the body's
        Close,   // no length: the body ends when the connection closes
        Chunked, // Transfer-Encoding: chunked
    };

    static std::string Body(const std::string& file) {
        return soap11("<types:GetLatestResponse>" + file + "</types:GetLatestResponse>");
    }

    static ScriptedServer::Reply Framed(const std::string& body, Framing framing) {
        if (framing == Framing::Length) return ScriptedServer::Reply::http(body);
        if (framing == Framing::Chunked) return ScriptedServer::Reply::chunked(body, 1000);
        ScriptedServer::Reply reply;
        reply.bytes = "HTTP/1.1 200 OK\r\nContent-Type: text/xml; charset=utf-8\r\nConnection: close\r\n";
        reply.bytes += "\r\n" + body;
        return reply;
    }

    Read GetLatest(const std::string& file, Framing framing = Framing::Length) {
        return GetLatest(Framed(Body(file), framing));
    }

    // Reads the reply twice: into memory, and through a content sink, which
    // must give the same.
    Read GetLatest(const ScriptedServer::Reply& reply) {
        Read inMemory = Fetch(reply, nullptr);
        Sink sink;
        Read streamed = Fetch(reply, &sink);
        EXPECT_EQ(inMemory.code, streamed.code);
        EXPECT_EQ(inMemory.present, streamed.present);
        EXPECT_TRUE(inMemory.bytes == streamed.bytes)
            << "through the sink: " << streamed.bytes.size() << " bytes";
        return inMemory;
    }

    // Keeps what it takes; refuses bytes beyond limit.
    struct Sink : CZuContentSink {
        std::string bytes;
        size_t limit = std::string::npos;
        bool Write(const unsigned char* data, size_t size) override {
            bytes.append(reinterpret_cast<const char*>(data), size);
            return bytes.size() <= limit;
        }
    };

    Read Fetch(const ScriptedServer::Reply& reply, Sink* sink, bool* refused = nullptr) {
        server.enqueue(reply);
        AssetsPortBinding binding;
        std::string url = server.url();
        binding.endpoint = url.c_str();
        binding.SetContentSink(sink);
        ZuAssets::types__GetLatestType request;
        request.InterplayURI = "interplay://WG/x";
        ZuAssets::types__GetLatestResponseType response;
        Read read;
        read.code = binding.__assets__GetLatest(&request, &response);
        read.present = response.File != nullptr;
        if (sink && sink->Holds(response.File))
            read.bytes = sink->bytes;
        else if (response.File && response.File->__ptr)
            read.bytes.assign(reinterpret_cast<const char*>(response.File->__ptr), response.File->__size);
        if (refused) *refused = binding.ContentRefused();
        return read;
    }

    ScriptedServer server;
};

TEST_F(Base64BinaryResponse, ContentIsDecodedAcrossLineBreaksAndBlanks) {
    std::string bytes = RandomBytes(200, 11), text = Encoded(bytes), wrapped;
    for (size_t at = 0; at < text.size(); at += 76) wrapped += text.substr(at, 76) + "\r\n";
    Read read = GetLatest("<types:File>\n  " + wrapped + "</types:File>");
    EXPECT_EQ(SOAP_OK, read.code);
    EXPECT_TRUE(read.bytes == bytes);

    read = GetLatest("<types:File></types:File>");
    EXPECT_EQ(SOAP_OK, read.code);
    EXPECT_TRUE(read.present);
    EXPECT_EQ("", read.bytes);
}

TEST_F(Base64BinaryResponse, ContentIsReadWhateverTheFramingAndWherePiecesEnd) {
    // Sizes around the reader's pieces of 4096 characters (3072 bytes), with
    // line breaks falling anywhere, and a large file.
    const size_t sizes[] = {1, 2, 3, 3071, 3072, 3073, 6144, 6145, (size_t(1) << 20) + 1};
    for (Framing framing : {Framing::Length, Framing::Close, Framing::Chunked}) {
        for (size_t size : sizes) {
            SCOPED_TRACE("framing " + std::to_string(static_cast<int>(framing)) + ", " +
                         std::to_string(size) + " bytes");
            std::string bytes = RandomBytes(size, static_cast<unsigned>(size)), text = Encoded(bytes);
            Read read = GetLatest("<types:File>" + text + "</types:File>", framing);
            EXPECT_EQ(SOAP_OK, read.code);
            EXPECT_TRUE(read.bytes == bytes);

            std::string wrapped;
            for (size_t at = 0; at < text.size(); at += 61) wrapped += text.substr(at, 61) + "\n\t ";
            read = GetLatest("<types:File>" + wrapped + "</types:File>", framing);
            EXPECT_EQ(SOAP_OK, read.code);
            EXPECT_TRUE(read.bytes == bytes);
        }
    }
}

// A sink takes a large file in pieces of whole groups (every case above reads
// through one too); one that refuses bytes ends the read there.
TEST_F(Base64BinaryResponse, SinkRefusalStopsTheRead) {
    const std::string bytes = RandomBytes(size_t(3) << 20, 5);
    const std::string body = Body("<types:File>" + Encoded(bytes) + "</types:File>");
    for (Framing framing : {Framing::Length, Framing::Chunked}) {
        SCOPED_TRACE("framing " + std::to_string(static_cast<int>(framing)));
        Sink sink;
        bool refused = true;
        Read read = Fetch(Framed(body, framing), &sink, &refused);
        EXPECT_EQ(SOAP_OK, read.code);
        EXPECT_FALSE(refused);
        EXPECT_TRUE(read.bytes == bytes);

        Sink full;
        full.limit = 100000;
        read = Fetch(Framed(body, framing), &full, &refused);
        EXPECT_EQ(SOAP_USER_ERROR, read.code);
        EXPECT_TRUE(refused);
        EXPECT_FALSE(read.present);
        EXPECT_LT(full.bytes.size(), size_t(200000));
        EXPECT_TRUE(full.bytes == bytes.substr(0, full.bytes.size()));
    }
}

TEST_F(Base64BinaryResponse, ReferencesCdataAndPaddingAreTakenAsTheRuntimeTakesThem) {
    for (Framing framing : {Framing::Length, Framing::Close}) {
        // Characters written as references, and a CDATA section.
        Read read = GetLatest("<types:File>&#81;UF&#x47;<![CDATA[QUFG]]></types:File>", framing);
        EXPECT_EQ(SOAP_OK, read.code);
        EXPECT_EQ("AAFAAF", read.bytes);
        // The content ends at its first '=': what follows is passed over.
        read = GetLatest("<types:File>QUE=QUFG</types:File>", framing);
        EXPECT_EQ(SOAP_OK, read.code);
        EXPECT_EQ("AA", read.bytes);
        // A lone character after whole groups decodes to nothing.
        read = GetLatest("<types:File>QUFGQ</types:File>", framing);
        EXPECT_EQ(SOAP_OK, read.code);
        EXPECT_EQ("AAF", read.bytes);
        // A character beyond ASCII is not base64.
        read = GetLatest("<types:File>QUFG&#x4E2D;</types:File>", framing);
        EXPECT_FALSE(read.present);
    }
}

TEST_F(Base64BinaryResponse, TextBeyondTheAnnouncedLengthIsRefused) {
    // The header announces a body far shorter than the one sent: the element
    // is left out rather than outgrowing what the announced length allows.
    std::string bytes = RandomBytes(60000, 3);
    std::string body = Body("<types:File>" + Encoded(bytes) + "</types:File>");
    Read read = GetLatest(ScriptedServer::Reply::oversized(body, body.size() - 400));
    EXPECT_FALSE(read.present) << read.bytes.size() << " bytes read";
}

TEST_F(Base64BinaryResponse, MalformedContentLeavesTheElementOut) {
    Read read = GetLatest("<types:File>QUFG*AP8=</types:File>");
    EXPECT_FALSE(read.present);
    EXPECT_EQ("", read.bytes);

    read = GetLatest("<types:File>QUFGAP8="); // the document ends inside the element
    EXPECT_NE(SOAP_OK, read.code);
}

TEST_F(Base64BinaryResponse, TypeIsCheckedOnRequiredElementsOnly) {
    const std::string xsi =
        " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
        " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\"";
    // Optional (GetLatest's File): any type.
    Read read = GetLatest("<types:File" + xsi + " xsi:type=\"xsd:string\">QUFG</types:File>");
    EXPECT_EQ(SOAP_OK, read.code);
    EXPECT_EQ("AAF", read.bytes);

    // Required (CheckInAAF's AAF): base64Binary, or a type error.
    for (const char* type : {"xsd:base64Binary", "xsd:string"}) {
        InMemoryContext context;
        ZuAssets::types__CheckInAAFType request;
        int code = context.read("<types:CheckInAAF" + xsi +
                                    "><types:InterplayURI>x</types:InterplayURI><types:AAF xsi:type=\"" +
                                    type + "\">QUFG</types:AAF></types:CheckInAAF>",
                                request, "types:CheckInAAF");
        EXPECT_EQ(std::string(type) == "xsd:string" ? SOAP_TYPE : SOAP_OK, code) << type;
    }
}

} // namespace
