// Helpers of the service operation tests: an access object pointed at a
// scripted server, canned responses, the request body as it arrived, the log
// lines, the texts left behind, and white-box looks at the result object
// pools.
#ifndef ZU_OPERATION_TEST_SUPPORT_H
#define ZU_OPERATION_TEST_SUPPORT_H

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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
#include "ScriptedServer.h"
#include "SoapTestSupport.h"
#include "stdsoap2.h"
#include "ZuAssetsNamespaces.h"
#include "ZuResultCodes.h"
#include "ZuTexts.h"

namespace optest {

inline uint16_t ClosedPort() { return ScriptedServer::closedPort(); }

// A SOAP 1.1 response envelope around body.
inline std::string Envelope(const std::string& body) { return soap11(body); }

// <types:<operation>Response> around inner, in an envelope.
inline std::string Response(const std::string& operation, const std::string& inner = "") {
    return Envelope("<types:" + operation + "Response>" + inner + "</types:" + operation + "Response>");
}

// An error list of two entries; the first carries message and details.
inline std::string Errors(const std::string& message, const std::string& details) {
    return "<types:Errors><types:Error Code=\"E1\"><types:Message>" + message +
           "</types:Message><types:Details>" + details +
           "</types:Details></types:Error><types:Error><types:Message>second</types:Message>"
           "<types:Details>second details</types:Details></types:Error></types:Errors>";
}

// A SOAP 1.1 fault.
inline std::string Fault(const std::string& code) {
    return Envelope("<SOAP-ENV:Fault><faultcode>" + code +
                    "</faultcode><faultstring>went wrong</faultstring></SOAP-ENV:Fault>");
}

// The format with its %S replaced by text.
inline std::string Line(const char* format, const std::string& text) {
    std::string line = format;
    return line.replace(line.find("%S"), 2, text);
}

// The second line of a logged transport failure.
const char kUnreachableWide[] =
    "Can't get web services, please check your netwotk or interplay web services setup successfully!";

// The count as the object's own AddRef and Release report it (the pool's
// reference included).
inline ULONG RefCount(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

// The narrow GBK text as wide text.
inline std::wstring Wide(const std::string& gbk) { return KoWiden(gbk.c_str()); }

// Objects of each kind out of an access object's pools.
struct PoolUse {
    unsigned kinds[ZU_OBJECT_KIND_COUNT] = {};
    bool operator==(const PoolUse& other) const {
        for (unsigned k = 0; k < ZU_OBJECT_KIND_COUNT; ++k)
            if (kinds[k] != other.kinds[k]) return false;
        return true;
    }
    unsigned total() const {
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

// An access object with its service URL at a scripted server and the
// credentials editor / secret; the log captured; GBK as the thread's code
// page. At the end no object of the module may be left alive.
class OperationTest : public ::testing::Test {
protected:
    void SetUp() override {
        KoSetThreadCodePage(936);
        KoSetMessageBoxHandler(&OperationTest::RecordBox, this);
        liveBefore = CKoBaseObject::GetObjectCount();
        access = NewAccessObject();
        ASSERT_NE(nullptr, access);
        std::wstring url = KoWiden(server.url().c_str());
        ASSERT_EQ(S_OK, access->SetServiceURL(url.c_str()));
        ASSERT_EQ(S_OK, access->SetCredentials(L"editor", L"secret"));
    }
    void TearDown() override {
        if (access) access->Release();
        KoSetMessageBoxHandler(nullptr, nullptr);
        CZuInterplayObjectManager::s_testFaults = CZuInterplayObjectManager::TestFaults();
        EXPECT_EQ(liveBefore, CKoBaseObject::GetObjectCount()) << "objects left alive";
    }

    static int RecordBox(const char* text, const char*, unsigned, void* context) {
        static_cast<OperationTest*>(context)->boxes.push_back(text);
        return 1;
    }

    // Replaces the access object with one whose pool of kind cannot be made.
    void WithoutPoolOf(int kind) {
        access->Release();
        CZuInterplayObjectManager::s_testFaults.failPoolKind = kind;
        access = NewAccessObject();
        CZuInterplayObjectManager::s_testFaults = CZuInterplayObjectManager::TestFaults();
        std::wstring url = KoWiden(server.url().c_str());
        access->SetServiceURL(url.c_str());
    }

    // Points the access object at a port where nothing listens.
    void Unreachable() {
        std::wstring url = L"http://127.0.0.1:" + std::to_wstring(ClosedPort()) + L"/services/Assets";
        access->SetServiceURL(url.c_str());
    }

    void Reply(const std::string& body, int status = 200) {
        server.enqueue(ScriptedServer::Reply::http(body, status));
    }

    // The content of the SOAP body of request index (the last by default).
    std::string Sent(int index = -1) const {
        std::vector<ScriptedServer::Request> requests = server.requests();
        if (requests.empty()) return "<nothing sent>";
        const ScriptedServer::Request& request =
            requests.at(index < 0 ? requests.size() - 1 : static_cast<size_t>(index));
        size_t begin = request.body.find("<SOAP-ENV:Body>");
        size_t end = request.body.find("</SOAP-ENV:Body>");
        if (begin == std::string::npos || end == std::string::npos) return "<no body>";
        begin += strlen("<SOAP-ENV:Body>");
        return request.body.substr(begin, end - begin);
    }

    size_t RequestCount() const { return server.requests().size(); }

    // The lines logged so far, each checked for the access object's category
    // and level.
    std::vector<std::string> Logged() const {
        std::vector<std::string> lines;
        for (const kodebug::Message& m : capture.messages(kodebug::Kind::Live)) {
            if (m.category != 6044) continue;  // pool events are not the operations'
            EXPECT_EQ(1, m.level);
            lines.push_back(m.text);
        }
        return lines;
    }

    std::wstring LastErrorText() const {
        const wchar_t* text = nullptr;
        access->GetLastErrorText(&text);
        return text ? text : L"";
    }

    void SetLastErrorText(const std::string& text) { CZuInterplayAccessTestPeer(access).lastErrorText() = text; }

    ScriptedServer server;
    kodebug::KoDebugCapture capture;
    IZuInterplayAccess* access = nullptr;
    std::vector<std::string> boxes;
    LONG liveBefore = 0;
};

} // namespace optest

#endif // ZU_OPERATION_TEST_SUPPORT_H
