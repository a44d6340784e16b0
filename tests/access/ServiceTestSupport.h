// Helpers of the service operation tests: an access object pointed at the
// scripted server with the drive root in a temporary folder, captured log
// lines and message boxes, canned responses, requests as they arrived or read
// back through the SOAP runtime, and white-box looks at the result object
// pools.
#ifndef ZU_SERVICE_TEST_SUPPORT_H
#define ZU_SERVICE_TEST_SUPPORT_H

#include <gtest/gtest.h>
#include <wchar.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "AccessTestPeer.h"
#include "CKoBaseObject.h"
#include "CZuInterplayObject.h"
#include "CZuInterplayObjectManager.h"
#include "IZuInterplayAssetDescription.h"
#include "IZuInterplayMobAttribute.h"
#include "IZuInterplayMobLocator.h"
#include "KoDebugCapture.h"
#include "KoPlatform.h"
#include "KoText.h"
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
inline const std::wstring kHeadframeFolderW =
    L"C:\\\x975E\x7F16\x7CFB\x7EDF\x4E34\x65F6\x6587\x4EF6\\"
    L"\x4E34\x65F6\x6587\x4EF6\x76EE\x5F55\\";

// 32 bytes that every test URI starts with, so the file name is what follows.
inline const std::wstring kPrefixW = L"interplay://WG/Projects/Assets/x";
static_assert(sizeof("interplay://WG/Projects/Assets/x") == 33, "32 bytes");

// The transport-failure texts of the log (ASCII), narrowed.
inline std::string Ascii(const wchar_t* text) { return std::string(text, text + wcslen(text)); }
inline const std::string kNoWebService = Ascii(ZU_TEXT_W_NO_WEB_SERVICE);
inline const std::string kNoWebServiceSetuped = Ascii(ZU_TEXT_W_NO_WEB_SERVICE_SETUPED);

// A format with its one conversion (%S or %d) replaced by text.
inline std::string Line(const std::string& format, const std::string& text) {
    std::string line = format;
    size_t at = line.find('%');
    return line.replace(at, 2, text);
}

// The narrow text (in the thread's code page, GBK in these tests) as wide text.
inline std::wstring Wide(const std::string& text) { return KoWiden(text.c_str()); }

// A SOAP 1.1 response envelope around body.
inline std::string Envelope(const std::string& body) { return soap11(body); }

// A response element of the operation around inner, in an envelope.
inline std::string Response(const std::string& operation, const std::string& inner = "") {
    return Envelope("<types:" + operation + "Response>" + inner + "</types:" + operation + "Response>");
}

// A types:Errors list of two errors; the first has message and details.
inline std::string Errors(const std::string& message, const std::string& details) {
    return "<types:Errors><types:Error Code=\"E1\"><types:Message>" + message +
           "</types:Message><types:Details>" + details +
           "</types:Details></types:Error><types:Error><types:Message>second</types:Message>"
           "<types:Details>second details</types:Details></types:Error></types:Errors>";
}

// A SOAP 1.1 fault, by default a Server one.
inline std::string Fault(const std::string& code = "SOAP-ENV:Server") {
    return Envelope("<SOAP-ENV:Fault><faultcode>" + code +
                    "</faultcode><faultstring>went wrong</faultstring></SOAP-ENV:Fault>");
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
    template <class T>
    bool Read(const ScriptedServer::Request& request, const char* tag, T& value) {
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

// The count as the object's own AddRef and Release report it (the pool's
// reference included).
inline ULONG RefCount(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

// Objects of each kind out of an access object's pools.
struct PoolUse {
    unsigned kinds[ZU_OBJECT_KIND_COUNT] = {};
    bool operator==(const PoolUse& other) const {
        for (unsigned k = 0; k < ZU_OBJECT_KIND_COUNT; ++k)
            if (kinds[k] != other.kinds[k]) return false;
        return true;
    }
    unsigned Total() const {
        unsigned sum = 0;
        for (unsigned k : kinds) sum += k;
        return sum;
    }
};

inline std::ostream& operator<<(std::ostream& out, const PoolUse& use) {
    out << "{";
    for (unsigned k = 0; k < ZU_OBJECT_KIND_COUNT; ++k) out << (k ? ", " : "") << use.kinds[k];
    return out << "}";
}

// The pool an element is out of: its protected accessor, reached through a
// using-declaration.
struct PoolOfElement : CKoCOMPoolElement {
    using CKoCOMPoolElement::GetPoolManager;
};

// How many objects the pool of object's kind has out, object included.
inline unsigned UsedInPoolOf(IUnknown* object) {
    IKoCOMPoolElement* element = nullptr;
    if (FAILED(object->QueryInterface(IID_IKoCOMPoolElement, reinterpret_cast<void**>(&element)))) return 0;
    IKoPoolManager* (CKoCOMPoolElement::*getPool)() const = &PoolOfElement::GetPoolManager;
    IKoPoolManager* pool = (static_cast<CKoCOMPoolElement*>(element)->*getPool)();
    element->Release();
    return pool ? static_cast<CZuInterplayObjectPool*>(pool)->GetUsedCount() : 0;
}

// Takes one object of each kind through the creation slots to read its
// pool's use, and gives it back.
inline PoolUse PoolUseOf(IZuInterplayAccess* access) {
    PoolUse use;
    auto probe = [&](unsigned kind, IUnknown* object, int references) {
        if (!object) return;
        use.kinds[kind] = UsedInPoolOf(object) - 1;
        for (int i = 0; i < references; ++i) object->Release();
    };
    IZuInterplayAssetDescription* description = nullptr;
    access->CreateAssetDescription(&description);
    probe(ZU_KIND_ASSET_DESCRIPTION, description, 1);
    IZuInterplayAssetsDescriptionsList* descriptions = nullptr;
    access->CreateAssetsDescriptionsList(&descriptions);
    probe(ZU_KIND_ASSETS_DESCRIPTIONS_LIST, descriptions, 1);
    IZuInterplayMobAttribute* attribute = nullptr;
    access->CreateMobAttribute(&attribute);
    probe(ZU_KIND_MOB_ATTRIBUTE, attribute, 1);
    IZuInterplayMobAttributeList* attributes = nullptr;
    access->CreateMobAttributeList(&attributes);
    probe(ZU_KIND_MOB_ATTRIBUTE_LIST, attributes, 1);
    IZuInterplayMobLocator* locator = nullptr;
    access->CreateMobLocator(&locator);
    probe(ZU_KIND_MOB_LOCATOR, locator, 2);
    IZuInterplayMobLocatorList* locators = nullptr;
    access->CreateMobLocatorList(&locators);
    probe(ZU_KIND_MOB_LOCATOR_LIST, locators, 2);
    return use;
}

// An access object whose service URL is the scripted server, with the
// credentials editor / secret and a temporary folder as its drive root; GBK
// as the thread's code page; log lines and message boxes captured. At the end
// no object of the module may be left alive.
class ServiceTest : public ::testing::Test {
protected:
    ServiceTest() { KoSetMessageBoxHandler(&ServiceTest::RecordBox, this); }
    ~ServiceTest() override { KoSetMessageBoxHandler(nullptr, nullptr); }

    void SetUp() override {
        KoSetThreadCodePage(936);
        liveBefore = CKoBaseObject::GetObjectCount();
        access = NewAccessObject();
        ASSERT_NE(nullptr, access);
        ASSERT_EQ(S_OK, access->SetServiceURL(Wide(server.url()).c_str()));
        ASSERT_EQ(S_OK, access->SetCredentials(L"editor", L"secret"));
    }
    void TearDown() override {
        if (access) access->Release();
        CZuInterplayObjectManager::s_testFaults = CZuInterplayObjectManager::TestFaults();
        EXPECT_EQ(liveBefore, CKoBaseObject::GetObjectCount()) << "objects left alive";
    }

    // Replaces the access object with one whose pool of kind cannot be made.
    void WithoutPoolOf(int kind) {
        access->Release();
        CZuInterplayObjectManager::s_testFaults.failPoolKind = kind;
        access = NewAccessObject();
        CZuInterplayObjectManager::s_testFaults = CZuInterplayObjectManager::TestFaults();
        access->SetServiceURL(Wide(server.url()).c_str());
    }

    // Points the access object at a port where nothing listens.
    void Unreachable() {
        std::string url = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/services/Assets";
        ASSERT_EQ(S_OK, access->SetServiceURL(Wide(url).c_str()));
    }

    // The next answer of the scripted server.
    void Reply(const std::string& body, int status = 200) {
        server.enqueue(ScriptedServer::Reply::http(body, status));
    }

    CZuInterplayAccessTestPeer Peer() const { return CZuInterplayAccessTestPeer(access); }
    // The last error text as the access object holds it, narrow.
    std::string& LastError() { return Peer().lastErrorText(); }
    // The last error text as the interface hands it out.
    std::wstring LastErrorText() const {
        const wchar_t* text = nullptr;
        access->GetLastErrorText(&text);
        return text ? text : L"";
    }

    // The live log lines of the access object's category, in order.
    std::vector<std::string> Logged() const {
        std::vector<std::string> lines;
        for (const kodebug::Message& m : capture.messages(kodebug::Kind::Live)) {
            if (m.category != KO_TRACE_CATEGORY_ACCESS) continue; // pool events
            EXPECT_EQ(KO_TRACE_LEVEL, m.level);
            lines.push_back(m.text);
        }
        return lines;
    }

    std::vector<ScriptedServer::Request> Requests() {
        server.waitForConnections(server.connections());
        return server.requests();
    }
    size_t RequestCount() { return Requests().size(); }
    ScriptedServer::Request OnlyRequest() {
        std::vector<ScriptedServer::Request> requests = Requests();
        EXPECT_EQ(1u, requests.size());
        return requests.empty() ? ScriptedServer::Request() : requests.back();
    }
    // The content of the SOAP body of request index (the last by default).
    std::string Sent(int index = -1) {
        std::vector<ScriptedServer::Request> requests = Requests();
        if (requests.empty()) return "<nothing sent>";
        return BodyOf(requests.at(index < 0 ? requests.size() - 1 : static_cast<size_t>(index)));
    }

    // Files below the drive root (UTF-8 paths).
    std::filesystem::path Drive(const std::string& relative) const {
        return std::filesystem::path(roots.drives().path()) / relative;
    }
    void MakeFolder(const std::string& relative) const {
        std::filesystem::create_directories(Drive(relative));
    }
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
    LONG liveBefore = 0;
};

} // namespace service_test

#endif // ZU_SERVICE_TEST_SUPPORT_H
