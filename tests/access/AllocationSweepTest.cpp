// Memory that runs out anywhere: the N-th allocation on the calling thread
// fails (operator new throws, its nothrow form and the SOAP runtime's malloc
// give null), for N = 1, 2, ... until a run no longer gets that far. Every run
// of the module's entry point, its class factory and each operation on its
// success path ends with a result code: S_OK with a complete result, or a
// failure (a transport failure's code is the runtime's, positive) with the
// out-parameter as it was. Nothing is thrown across the
// interface; objects and memory left behind show in the fixture's object count
// and in LeakSanitizer. The scripted server's thread is never failed.
#include "AllocationCounter.h"
#include "ServiceTestSupport.h"

using namespace service_test;

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv);

namespace {

// Runs beyond this many allocations go in strides, so that a path of very many
// allocations stays within the suite's time; none of the operations here comes
// near it.
const unsigned long kEveryAllocationUpTo = 4000;

class AllocationSweep : public ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        server.setRecording(false);
    }

    // Runs the operation with its n-th allocation failing for n = 1, 2, ...
    // until it completes; prepare() runs before each run, outside the count,
    // and check(hr) after it. The last run must end with completed.
    template <class Operation, class Check>
    void Sweep(const std::string& what, const std::function<void()>& prepare, Operation operation,
               Check check, HRESULT completed = S_OK) {
        unsigned long n = 1;
        const PoolUse inUse = PoolUseOf(access);
        for (;;) {
            SCOPED_TRACE(what + ", allocation " + std::to_string(n) + " failing");
            prepare();
            HRESULT hr = E_FAIL;
            bool escaped = false;
            bool failed = FailNthAllocation(n, [&] {
                try {
                    hr = operation();
                } catch (...) {
                    escaped = true;
                }
            });
            ASSERT_FALSE(escaped) << "an exception crossed the interface";
            check(hr, failed);
            EXPECT_EQ(inUse, PoolUseOf(access)) << "result objects left out of their pools";
            if (!failed) {
                EXPECT_EQ(completed, hr) << "a run without a failing allocation";
                break;
            }
            if (::testing::Test::HasFailure()) break;
            n += n < kEveryAllocationUpTo ? 1 : n / 64;
        }
        RecordProperty(what, static_cast<int>(n));
    }

    // An operation with no out-parameter: any result code will do.
    template <class Operation>
    void Sweep(const std::string& what, Operation operation, const std::string& reply,
               HRESULT completed = S_OK) {
        Sweep(
            what, [&] { server.setDefaultReply(ScriptedServer::Reply::http(reply)); }, operation,
            [](HRESULT, bool) {}, completed);
    }

    // An operation that hands out a text: complete on success, untouched on
    // failure.
    template <class Operation>
    void SweepText(
        const std::string& what, Operation operation, const std::string& reply, const std::wstring& expected,
        const std::function<void()>& prepare = [] {}) {
        const wchar_t* out = L"untouched";
        Sweep(
            what,
            [&] {
                prepare();
                server.setDefaultReply(ScriptedServer::Reply::http(reply));
                out = L"untouched";
            },
            [&] { return operation(&out); },
            [&](HRESULT hr, bool) {
                if (hr == S_OK)
                    EXPECT_EQ(expected, out);
                else
                    EXPECT_STREQ(L"untouched", out);
            });
    }

    // An operation that hands out a list of count items: the list with them
    // all on success, nothing on failure (or, where the operation does so, an
    // empty list).
    template <class List, class Operation>
    void SweepList(const std::string& what, Operation operation, const std::string& reply, int count,
                   bool emptyOnFailure = false) {
        List* const untouched = reinterpret_cast<List*>(&untouchedMark);
        List* out = untouched;
        Sweep(
            what,
            [&] {
                server.setDefaultReply(ScriptedServer::Reply::http(reply));
                out = untouched;
            },
            [&] { return operation(&out); },
            [&](HRESULT hr, bool) {
                if (hr == S_OK) {
                    ASSERT_NE(untouched, out);
                    ASSERT_NE(nullptr, out);
                    int items = -1;
                    out->GetCount(&items);
                    EXPECT_EQ(count, items);
                    out->Release();
                } else if (emptyOnFailure && out != untouched && out) {
                    int items = -1;
                    out->GetCount(&items);
                    EXPECT_EQ(0, items);
                    out->Release();
                } else {
                    EXPECT_EQ(untouched, out);
                }
            });
    }

    // The attribute list of one attribute, made before the sweep.
    IZuInterplayMobAttributeList* OneAttribute() {
        IZuInterplayMobAttributeList* list = nullptr;
        IZuInterplayMobAttribute* attribute = nullptr;
        EXPECT_EQ(S_OK, access->CreateMobAttributeList(&list));
        EXPECT_EQ(S_OK, access->CreateMobAttribute(&attribute));
        attribute->SetGroup(L"USER");
        attribute->SetName(L"Title");
        attribute->SetValue(L"\x65B0\x95FB");
        list->Add(attribute);
        attribute->Release();
        return list;
    }

    int untouchedMark = 0;
};

std::string Element(const std::string& tag, const std::string& text) {
    return "<types:" + tag + ">" + text + "</types:" + tag + ">";
}

std::string Description(const std::string& uri) {
    return "<types:AssetDescription>" + Element("InterplayURI", uri) +
           "<types:Attributes><types:Attribute Group=\"USER\" Name=\"Title\">\xe6\x96\xb0</types:Attribute>"
           "<types:Attribute Group=\"SYSTEM\" Name=\"Type\">masterclip</types:Attribute></types:Attributes>"
           "</types:AssetDescription>";
}

const std::string kTwoDescriptions = "<types:Results>" + Description("interplay://WG/a") +
                                     Description("interplay://WG/\xe7\xb4\xa0") + "</types:Results>";

TEST_F(AllocationSweep, EntryPointAndClassFactory) {
    Sweep(
        "DllGetClassObject", [] {},
        [] {
            IClassFactory* factory = nullptr;
            HRESULT hr = DllGetClassObject(CLSID_ZuInterplayAccess, IID_IClassFactory,
                                           reinterpret_cast<void**>(&factory));
            EXPECT_EQ(hr == S_OK, factory != nullptr);
            if (factory) factory->Release();
            return hr;
        },
        [](HRESULT, bool) {});

    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, DllGetClassObject(CLSID_ZuInterplayAccess, IID_IClassFactory,
                                      reinterpret_cast<void**>(&factory)));
    IZuInterplayAccess* created = nullptr;
    Sweep(
        "CreateInstance", [&] { created = nullptr; },
        [&] {
            return factory->CreateInstance(nullptr, IID_IZuInterplayAccess,
                                           reinterpret_cast<void**>(&created));
        },
        [&](HRESULT hr, bool) {
            EXPECT_EQ(hr == S_OK, created != nullptr);
            if (!created) return;
            // An object whose pools could not all be made is made all the
            // same; its creation slots then refuse.
            IZuInterplayMobAttribute* attribute = nullptr;
            HRESULT slot = created->CreateMobAttribute(&attribute);
            EXPECT_EQ(slot == S_OK, attribute != nullptr);
            if (attribute) attribute->Release();
            created->Release();
        });
    factory->Release();
}

TEST_F(AllocationSweep, FoldersCopiesMoveAndDelete) {
    Sweep(
        "CreateFolder", [&] { return access->CreateFolder(L"interplay://WG/New"); },
        Response("CreateFolder"));
    SweepText(
        "Duplicate",
        [&](const wchar_t** out) { return access->Duplicate(L"interplay://WG/a", L"interplay://WG/F", out); },
        Response("Duplicate", Element("InterplayURI", "interplay://WG/F/a.2")), L"interplay://WG/F/a.2");
    Sweep(
        "Move", [&] { return access->Move(L"interplay://WG/a", L"interplay://WG/F"); }, Response("Move"));
    // A response of another element: the runtime then makes a fault of its
    // own, which it allocates as it goes; the result is the HTTP status.
    Sweep(
        "Move answered by another element",
        [&] { return access->Move(L"interplay://WG/a", L"interplay://WG/F"); },
        Envelope("<types:Unexpected/>"), 200);
    access->AddToDeleteList(L"interplay://WG/a");
    access->AddToDeleteList(L"interplay://WG/b");
    Sweep(
        "DeleteAssets", [&] { return access->DeleteAssets(true, false); }, Response("DeleteAssets"));
}

TEST_F(AllocationSweep, CheckInWithHeadframe) {
    roots.drives().write("c/clips/a.mxf", BinaryBytes(3000));
    roots.drives().write("c/clips/h.jpg", BinaryBytes(500));
    IZuInterplayMobAttributeList* attributes = OneAttribute();
    Sweep(
        "CheckIn", [&] { return access->CheckIn(L"C:\\clips\\a.mxf", L"interplay://WG/In", attributes); },
        Response("CheckIn", Element("InterplayURI", "interplay://WG/In/a")));
    SweepText(
        "CheckInAAFEx",
        [&](const wchar_t** out) {
            return access->CheckInAAFEx(L"C:\\clips\\a.mxf", L"interplay://WG/In", attributes,
                                        L"C:\\clips\\h.jpg", out);
        },
        Response("CheckInAAF", Element("InterplayURI", "interplay://WG/In/b")), L"interplay://WG/In/b");
    attributes->Release();
}

TEST_F(AllocationSweep, ListingSearchAttributesAndLocators) {
    SweepList<IZuInterplayAssetsDescriptionsList>(
        "GetChildren",
        [&](IZuInterplayAssetsDescriptionsList** out) {
            return access->GetChildren(L"interplay://WG", false, out);
        },
        Response("GetChildren", kTwoDescriptions), 2);
    IZuInterplayMobAttribute* condition = nullptr;
    ASSERT_EQ(S_OK, access->CreateMobAttribute(&condition));
    condition->SetGroup(L"USER");
    condition->SetName(L"Title");
    condition->SetValue(L"x");
    ASSERT_EQ(S_OK, access->AddSearchCondition(0, condition));
    SweepList<IZuInterplayAssetsDescriptionsList>(
        "Search", [&](IZuInterplayAssetsDescriptionsList** out) { return access->Search(out); },
        Response("Search", kTwoDescriptions), 2, true);
    condition->Release();
    SweepList<IZuInterplayMobAttributeList>(
        "GetAttributes",
        [&](IZuInterplayMobAttributeList** out) { return access->GetAttributes(L"interplay://WG/a", out); },
        Response("GetAttributes", kTwoDescriptions), 2);
    IZuInterplayMobAttributeList* attributes = OneAttribute();
    Sweep(
        "SetAttributes", [&] { return access->SetAttributes(L"interplay://WG/a", attributes); },
        Response("SetAttributes"));
    attributes->Release();

    const std::string locators =
        "<types:Results><types:Locator><types:LocatorID>1</types:LocatorID><types:FrameNumber>10"
        "</types:FrameNumber><types:Comment>one</types:Comment><types:Color>Red</types:Color>"
        "<types:Track>V1</types:Track></types:Locator><types:Locator><types:LocatorID>2</types:LocatorID>"
        "<types:FrameNumber>20</types:FrameNumber></types:Locator></types:Results>";
    SweepList<IZuInterplayMobLocatorList>(
        "GetLocators",
        [&](IZuInterplayMobLocatorList** out) {
            HRESULT hr = access->GetLocators(L"interplay://WG/a", out);
            if (hr != S_OK) return hr;
            // The list and its locators come with a spare reference each,
            // given back here as a host does without AddLocators (the check
            // releases the list's other one).
            (*out)->Release();
            int count = 0;
            (*out)->GetCount(&count);
            for (int i = 0; i < count; ++i) {
                IZuInterplayMobLocator* item = nullptr;
                if ((*out)->GetItem(i, &item) == S_OK && item) item->Release();
            }
            return hr;
        },
        Response("GetLocators", locators), 2);
    IZuInterplayMobLocatorList* list = nullptr;
    server.setDefaultReply(ScriptedServer::Reply::http(Response("GetLocators", locators)));
    ASSERT_EQ(S_OK, access->GetLocators(L"interplay://WG/a", &list));
    Sweep(
        "AddLocators", [&] { return access->AddLocators(L"interplay://WG/b", list); },
        Response("SaveLocators",
                 "<types:Results><types:LocatorID>9</types:LocatorID>"
                 "<types:LocatorID>10</types:LocatorID></types:Results>"));
    list->Release();
    list->Release();
    Sweep(
        "RemoveLocators", [&] { return access->RemoveLocators(L"interplay://WG/a", 1); },
        Response("RemoveLocators"));
}

TEST_F(AllocationSweep, LatestVersionAndHeadframeWriteLocalFiles) {
    MakeFolder(kVersionFolder);
    MakeFolder(kHeadframeFolder);
    const std::string aaf = BinaryBytes(5000);
    const std::wstring uri = kPrefixW + L"clip";
    SweepText(
        "GetLatest", [&](const wchar_t** out) { return access->GetLatest(uri.c_str(), out); },
        Response("GetLatest", Element("File", Base64(aaf))), kVersionFolderW + L"clip.aaf");
    EXPECT_TRUE(roots.drives().read(kVersionFolder + "/clip.aaf") == aaf);
    // Each run fetches afresh: the cached image goes before it.
    SweepText(
        "GetHeadframe", [&](const wchar_t** out) { return access->GetHeadframe(uri.c_str(), out); },
        Response("GetHeadframe", Element("Headframe", Base64("JPEG"))), kHeadframeFolderW + L"clip.jpg",
        [&] { std::filesystem::remove(Drive(kHeadframeFolder + "/clip.jpg")); });
    EXPECT_EQ("JPEG", roots.drives().read(kHeadframeFolder + "/clip.jpg"));
}

} // namespace
