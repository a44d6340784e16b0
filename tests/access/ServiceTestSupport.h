// Helpers of the service operation tests: an access object pointed at the
// scripted server with the drive root in a temporary folder, captured log
// lines and message boxes, canned responses and requests read back through
// the SOAP runtime.
#ifndef ZU_SERVICE_TEST_SUPPORT_H
#define ZU_SERVICE_TEST_SUPPORT_H

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "AccessTestPeer.h"
#include "KoDebugCapture.h"
#include "KoPlatform.h"
#include "KoTrace.h"
#include "ScriptedServer.h"
#include "SoapTestSupport.h"
#include "TempDir.h"
#include "ZuResultCodes.h"
#include "ZuTexts.h"

namespace service_test {

inline uint16_t ClosedPort() { return ScriptedServer::closedPort(); }

// The drive folders of the fetched files, as UTF-8 below the drive root.
inline const std::string kVersionFolder = "c/Kestrava/ConvertFile";
inline const std::string kHeadframeFolder =
    "c/\xE9\x9D\x9E\xE7\xBC\x96\xE7\xB3\xBB\xE7\xBB\x9F\xE4\xB8\xB4\xE6\x97\xB6\xE6\x96\x87\xE4\xBB\xB6/"
    "\xE4\xB8\xB4\xE6\x97\xB6\xE6\x96\x87\xE4\xBB\xB6\xE7\x9B\xAE\xE5\xBD\x95";
// The same folders as Windows paths, wide.
inline const std::wstring kVersionFolderW = L"c:\\Kestrava\\ConvertFile\\";
inline const std::wstring kHeadframeFolderW = L"C:\\\x975E\x7F16\x7CFB\x7EDF\x4E34\x65F6\x6587\x4EF6\\"
                                              L"\x4E34\x65F6\x6587\x4EF6\x76EE\x5F55\\";

// 32 bytes that every test URI starts with, so the file name is what follows.
inline const std::wstring kPrefixW = L"interplay://WG/Projects/Assets/x";
static_assert(sizeof("interplay://WG/Projects/Assets/x") == 33, "32 bytes");

// The transport-failure texts of the log.
inline const std::string kNoWebService =
    "Can't get web services, please check your netwotk or interplay web services setup successfully!";
inline const std::string kNoWebServiceSetuped =
    "Can't get web services, please check your netwotk or interplay web services setuped successfully!";

// A format with its one conversion (%S or %d) replaced by text.
inline std::string Line(const std::string& format, const std::string& text) {
    std::string line = format;
    size_t at = line.find('%');
    return line.replace(at, 2, text);
}

// A types:Errors list of two errors; the first has message and details.
inline std::string Errors(const std::string& message, const std::string& details) {
    return "<types:Errors><types:Error><types:Message>" + message + "</types:Message><types:Details>" +
           details + "</types:Details></types:Error><types:Error><types:Message>second</types:Message>"
                     "<types:Details>second details</types:Details></types:Error></types:Errors>";
}

// A response element of the operation around inner, in a SOAP 1.1 envelope.
inline ScriptedServer::Reply Response(const std::string& operation, const std::string& inner = "") {
    return ScriptedServer::Reply::http(
        soap11("<types:" + operation + "Response>" + inner + "</types:" + operation + "Response>"));
}

// A SOAP 1.1 Server fault, HTTP status 500.
inline ScriptedServer::Reply Fault() {
    return ScriptedServer::Reply::http(
        soap11("<SOAP-ENV:Fault><faultcode>SOAP-ENV:Server</faultcode><faultstring>down</faultstring>"
               "</SOAP-ENV:Fault>"),
        500);
}

// The content of the SOAP body of a recorded request.
inline std::string BodyOf(const ScriptedServer::Request& request) {
    const std::string open = "<SOAP-ENV:Body>", close = "</SOAP-ENV:Body>";
    size_t begin = request.body.find(open);
    size_t end = request.body.rfind(close);
    if (begin == std::string::npos || end == std::string::npos) return "<no body>";
    return request.body.substr(begin + open.size(), end - begin - open.size());
}

// A request element read back through the runtime (base64 decoded by it);
// what it holds lives as long as the reader.
class RequestReader {
public:
    template <class T> bool read(const ScriptedServer::Request& request, const char* tag, T& value) {
        return m_context.read(elementOf(BodyOf(request), tag), value, tag) == SOAP_OK;
    }

private:
    InMemoryContext m_context;
};

inline std::string Bytes(const ZuAssets::xsd__base64Binary& element) {
    return element.__ptr ? std::string(reinterpret_cast<const char*>(element.__ptr), element.__size)
                         : std::string();
}

// The base64 text of bytes, as the runtime writes it.
inline std::string Base64(const std::string& bytes) {
    struct soap* context = soap_new();
    const char* text = soap_s2base64(context, reinterpret_cast<const unsigned char*>(bytes.data()), nullptr,
                                     static_cast<int>(bytes.size()));
    std::string result = text ? text : "<encoding failed>";
    soap_end(context);
    soap_free(context);
    return result;
}

// Every byte value, several times over, in an order that is not a pattern.
inline std::string BinaryBytes(size_t size) {
    std::string bytes(size, '\0');
    uint32_t x = 0x12345678;
    for (size_t i = 0; i < size; ++i) {
        x = x * 1664525u + 1013904223u;
        bytes[i] = static_cast<char>(x >> 24);
    }
    return bytes;
}

// An access object whose service URL is the scripted server and whose drive
// root is a temporary folder; captures log lines and message boxes.
class ServiceTest : public ::testing::Test {
protected:
    ServiceTest() { KoSetMessageBoxHandler(&ServiceTest::RecordBox, this); }
    ~ServiceTest() override { KoSetMessageBoxHandler(nullptr, nullptr); }

    void SetUp() override {
        KoSetThreadCodePage(936);
        access = NewAccessObject();
        ASSERT_NE(nullptr, access);
        ASSERT_EQ(S_OK, access->SetServiceURL(Wide(server.url()).c_str()));
        ASSERT_EQ(S_OK, access->SetCredentials(L"editor", L"secret"));
    }
    void TearDown() override {
        if (access) access->Release();
    }

    static std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

    // Points the access object at a port where nothing listens.
    void Unreachable() {
        std::string url = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/services/Assets";
        ASSERT_EQ(S_OK, access->SetServiceURL(Wide(url).c_str()));
    }

    CZuInterplayAccessTestPeer Peer() const { return CZuInterplayAccessTestPeer(access); }
    std::string& LastError() { return Peer().lastErrorText(); }

    // The live log lines of the access object's category, in order.
    std::vector<std::string> Logged() const {
        std::vector<std::string> lines;
        for (const kodebug::Message& m : capture.messages(kodebug::Kind::Live)) {
            if (m.category != KO_TRACE_CATEGORY_ACCESS) continue;  // pool events
            EXPECT_EQ(KO_TRACE_LEVEL, m.level);
            lines.push_back(m.text);
        }
        return lines;
    }

    std::vector<ScriptedServer::Request> Requests() {
        server.waitForConnections(server.connections());
        return server.requests();
    }
    ScriptedServer::Request OnlyRequest() {
        std::vector<ScriptedServer::Request> requests = Requests();
        EXPECT_EQ(1u, requests.size());
        return requests.empty() ? ScriptedServer::Request() : requests.back();
    }

    // Files below the drive root (UTF-8 paths).
    std::filesystem::path Drive(const std::string& relative) const {
        return std::filesystem::path(roots.drives().path()) / relative;
    }
    void MakeFolder(const std::string& relative) const { std::filesystem::create_directories(Drive(relative)); }
    // The names in a drive folder.
    std::vector<std::string> FilesIn(const std::string& relative) const {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(Drive(relative), ec))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    static int RecordBox(const char* ansiText, const char*, unsigned, void* context) {
        static_cast<ServiceTest*>(context)->boxes.push_back(ansiText);
        return 1;
    }

    ScopedKoRoots roots;
    ScriptedServer server;
    kodebug::KoDebugCapture capture;
    IZuInterplayAccess* access = nullptr;
    std::vector<std::string> boxes;
};

} // namespace service_test

#endif // ZU_SERVICE_TEST_SUPPORT_H
