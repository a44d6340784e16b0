// A host's view of the component: it loads the library, gets the class object
// through DllGetClassObject and creates the access object with the factory,
// using nothing but the public headers.
#include <dlfcn.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include <string>

#include "KoPlatform.h"
#include "ZuInterplayAccess.h"

namespace {

// {00000000-0000-0000-0000-0000DEADBEEF}
constexpr CLSID CLSID_Unknown = {0, 0, 0, {0, 0, 0, 0, 0xDE, 0xAD, 0xBE, 0xEF}};

class Host : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        library = dlopen(ZU_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
        getClassObject = reinterpret_cast<PFN_DllGetClassObject>(dlsym(library, "DllGetClassObject"));
        canUnloadNow = reinterpret_cast<PFN_DllCanUnloadNow>(dlsym(library, "DllCanUnloadNow"));
        registerServer = reinterpret_cast<PFN_DllRegisterServer>(dlsym(library, "DllRegisterServer"));
        unregisterServer = reinterpret_cast<PFN_DllUnregisterServer>(dlsym(library, "DllUnregisterServer"));
    }
    void SetUp() override {
        ASSERT_TRUE(getClassObject && canUnloadNow && registerServer && unregisterServer);
        KoSetThreadCodePage(936);
    }

    IClassFactory* Factory() {
        IClassFactory* factory = nullptr;
        EXPECT_EQ(
            getClassObject(CLSID_ZuInterplayAccess, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
            S_OK);
        return factory;
    }

    IZuInterplayAccess* Create() {
        IClassFactory* factory = Factory();
        if (!factory) return nullptr;
        IZuInterplayAccess* access = nullptr;
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IZuInterplayAccess, reinterpret_cast<void**>(&access)),
                  S_OK);
        factory->Release();
        return access;
    }

    static void* library;
    static PFN_DllGetClassObject getClassObject;
    static PFN_DllCanUnloadNow canUnloadNow;
    static PFN_DllRegisterServer registerServer;
    static PFN_DllUnregisterServer unregisterServer;
};

void* Host::library = nullptr;
PFN_DllGetClassObject Host::getClassObject = nullptr;
PFN_DllCanUnloadNow Host::canUnloadNow = nullptr;
PFN_DllRegisterServer Host::registerServer = nullptr;
PFN_DllUnregisterServer Host::unregisterServer = nullptr;

} // namespace

TEST_F(Host, ClassObjectOnlyForItsClassAndInterfaces) {
    void* p = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(getClassObject(CLSID_ZuInterplayAccess, IID_IZuInterplayAccess, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(canUnloadNow(), S_OK); // no factory was made
    EXPECT_EQ(getClassObject(CLSID_Unknown, IID_IClassFactory, &p), CLASS_E_CLASSNOTAVAILABLE);

    IUnknown* unknown = nullptr;
    ASSERT_EQ(getClassObject(CLSID_ZuInterplayAccess, IID_IUnknown, reinterpret_cast<void**>(&unknown)),
              S_OK);
    IClassFactory* factory = nullptr;
    ASSERT_EQ(unknown->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    EXPECT_EQ(unknown->QueryInterface(IID_IZuInterplayAccess, &p), E_NOINTERFACE);
    factory->Release();
    unknown->Release();
    EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(Host, CanUnloadOnlyWhenNothingIsAliveOrLocked) {
    EXPECT_EQ(canUnloadNow(), S_OK);
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(canUnloadNow(), S_FALSE);

    IZuInterplayAccess* access = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IZuInterplayAccess, reinterpret_cast<void**>(&access)),
              S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory->Release();
    EXPECT_EQ(canUnloadNow(), S_FALSE); // the access object lives, the server is locked

    access->Release();
    EXPECT_EQ(canUnloadNow(), S_FALSE); // still locked

    factory = Factory();
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory->Release();
    EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(Host, CreateInstanceRules) {
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    // Asking for an interface the object lacks destroys the new object.
    void* p = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);

    // An aggregating outer object may only ask for IUnknown.
    IUnknown* outer = factory; // any unknown will do as the outer one
    EXPECT_EQ(factory->CreateInstance(outer, IID_IZuInterplayAccess, &p), E_NOINTERFACE);
    IUnknown* inner = nullptr;
    ASSERT_EQ(factory->CreateInstance(outer, IID_IUnknown, reinterpret_cast<void**>(&inner)), S_OK);
    IZuInterplayAccess* access = nullptr;
    ASSERT_EQ(inner->QueryInterface(IID_IZuInterplayAccess, reinterpret_cast<void**>(&access)), S_OK);
    // The aggregated object's interface delegates to the outer object: its
    // IUnknown is the outer one, and references are counted there.
    IUnknown* identity = nullptr;
    ULONG outerCount = factory->AddRef() - 1;
    factory->Release();
    ASSERT_EQ(access->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, static_cast<IUnknown*>(factory));
    identity->Release();
    access->AddRef();
    EXPECT_EQ(factory->AddRef(), outerCount + 2);
    factory->Release();
    access->Release();
    access->Release();
    EXPECT_EQ(inner->Release(), 0u);
    factory->Release();
    EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST_F(Host, SmallSlots) {
    IZuInterplayAccess* access = Create();
    ASSERT_NE(access, nullptr);
    const wchar_t* text = nullptr;
    ASSERT_EQ(access->GetLastErrorText(&text), S_OK);
    EXPECT_STREQ(text, L"");
    EXPECT_EQ(access->SetCredentials(nullptr, L"pw"), ZU_E_INVALIDARG);
    EXPECT_EQ(access->SetCredentials(L"", L""), S_OK);
    EXPECT_EQ(access->SetCredentials(L"\x7F16\x8F91", L"pw"), S_OK);
    EXPECT_EQ(access->SetServiceURL(L"http://127.0.0.1:1/services/Assets"), S_OK);
    EXPECT_EQ(access->AddToDeleteList(L"interplay://x"), S_OK);
    EXPECT_EQ(access->ClearDeleteList(), S_OK);
    EXPECT_EQ(access->Reserved13(), S_OK);
    EXPECT_EQ(access->Reserved23(), S_OK);
    EXPECT_EQ(access->Reserved36(), S_OK);

    std::string narrow;
    ASSERT_EQ(access->ToNarrowString(L"\x7F16\x8F91", &narrow, 260), S_OK);
    EXPECT_EQ(narrow, "\xB1\xE0\xBC\xAD");
    wchar_t wide[3];
    EXPECT_EQ(access->ToWideString(narrow, wide, 3), S_OK);
    EXPECT_STREQ(wide, L"\x7F16\x8F91");
    EXPECT_EQ(access->ToWideString(narrow, wide, 2), E_FAIL);

    IUnknown* unknown = nullptr;
    ASSERT_EQ(access->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(unknown->Release(), 1u);
    EXPECT_EQ(access->Release(), 0u);
    EXPECT_EQ(canUnloadNow(), S_OK);
}
