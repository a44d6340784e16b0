// Reference counting, aggregation and QueryInterface of the framework's
// unknowns, and the live object count.
#include <gtest/gtest.h>

#include "CKoLightUnknown.h"
#include "CKoUnknown.h"

namespace {

// {6A0C2E51-8F1B-4E55-9C43-0D2A6F0B9E11}
constexpr IID IID_ITestThing = {0x6A0C2E51, 0x8F1B, 0x4E55, {0x9C, 0x43, 0x0D, 0x2A, 0x6F, 0x0B, 0x9E, 0x11}};

struct ITestThing : public IUnknown {
    STDMETHOD_(int, Value)() PURE;
};

int g_destroyed = 0;

class CTestThing : public ITestThing, public CKoUnknown {
public:
    explicit CTestThing(IUnknown* outer, bool churnInDestructor = false)
        : CKoUnknown(L"CTestThing", outer), m_churn(churnInDestructor) {}
    ~CTestThing() override {
        ++g_destroyed;
        if (m_churn) {
            // What cleanup code does when it hands itself to helpers.
            AddRef();
            Release();
            NonDelegatingAddRef();
            NonDelegatingRelease();
        }
    }
    KO_DECLARE_DELEGATING_UNKNOWN
    STDMETHOD(NonDelegatingQueryInterface)(REFIID riid, void** ppv) override {
        if (riid == IID_ITestThing) return KoGetInterface(static_cast<ITestThing*>(this), ppv);
        return CKoUnknown::NonDelegatingQueryInterface(riid, ppv);
    }
    STDMETHOD_(int, Value)() override { return 42; }

private:
    bool m_churn;
};

// An outer object that aggregates a CTestThing.
class COuter : public IUnknown, public CKoUnknown {
public:
    COuter() : CKoUnknown(L"COuter", nullptr) {
        m_inner = new CTestThing(GetOwner());
        m_inner->NonDelegatingAddRef();
    }
    ~COuter() override { m_inner->NonDelegatingRelease(); }
    KO_DECLARE_DELEGATING_UNKNOWN
    STDMETHOD(NonDelegatingQueryInterface)(REFIID riid, void** ppv) override {
        if (riid == IID_ITestThing) return m_inner->NonDelegatingQueryInterface(riid, ppv);
        return CKoUnknown::NonDelegatingQueryInterface(riid, ppv);
    }
    CTestThing* m_inner;
};

class CLight : public IUnknown, public CKoLightUnknown {
public:
    CLight() : CKoLightUnknown(L"CLight", nullptr) {}
    ~CLight() override { ++g_destroyed; }
    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
        return GetOwner()->QueryInterface(riid, ppv);
    }
    STDMETHOD_(ULONG, AddRef)() override { return GetOwner()->AddRef(); }
    STDMETHOD_(ULONG, Release)() override { return GetOwner()->Release(); }
};

} // namespace

TEST(Unknown, CountsStartAtZeroAndTheLastReleaseDestroysOnce) {
    g_destroyed = 0;
    LONG before = CKoBaseObject::GetObjectCount();
    CTestThing* thing = new CTestThing(nullptr, /*churnInDestructor=*/true);
    EXPECT_EQ(CKoBaseObject::GetObjectCount(), before + 1);
    EXPECT_EQ(thing->NonDelegatingAddRef(), 1u);
    EXPECT_EQ(thing->AddRef(), 2u);
    EXPECT_EQ(thing->Release(), 1u);
    EXPECT_EQ(thing->Release(), 0u);
    EXPECT_EQ(g_destroyed, 1);
    EXPECT_EQ(CKoBaseObject::GetObjectCount(), before);
}

TEST(Unknown, LightUnknownStartsWithTheCreatorsReference) {
    g_destroyed = 0;
    HRESULT hr = E_FAIL;
    struct CLight2 : public CKoLightUnknown {
        explicit CLight2(HRESULT* hr) : CKoLightUnknown(L"CLight2", nullptr, hr) {}
    };
    CLight2* two = new CLight2(&hr);
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(two->NonDelegatingRelease(), 0u);

    CLight* light = new CLight;
    EXPECT_EQ(light->AddRef(), 2u);
    EXPECT_EQ(light->Release(), 1u);
    EXPECT_EQ(light->Release(), 0u);
    EXPECT_EQ(g_destroyed, 1);
}

TEST(Unknown, QueryInterfaceAnswersOwnInterfacesAndIUnknownOnly) {
    CTestThing* thing = new CTestThing(nullptr);
    thing->NonDelegatingAddRef();
    void* p = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(thing->QueryInterface(IID_IClassFactory, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);

    ITestThing* asThing = nullptr;
    ASSERT_EQ(thing->QueryInterface(IID_ITestThing, reinterpret_cast<void**>(&asThing)), S_OK);
    EXPECT_EQ(asThing->Value(), 42);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(asThing->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    // Identity: IUnknown from any interface is the same pointer.
    IUnknown* again = nullptr;
    ASSERT_EQ(thing->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&again)), S_OK);
    EXPECT_EQ(unknown, again);
    EXPECT_EQ(unknown, thing->GetOwner());
    again->Release();
    unknown->Release();
    asThing->Release();
    EXPECT_EQ(thing->Release(), 0u);
}

TEST(Unknown, AggregatedObjectDelegatesToItsOuterObject) {
    COuter* outer = new COuter;
    outer->NonDelegatingAddRef();
    ITestThing* thing = nullptr;
    ASSERT_EQ(outer->QueryInterface(IID_ITestThing, reinterpret_cast<void**>(&thing)), S_OK);
    EXPECT_EQ(thing->Value(), 42);

    // IUnknown through the inner object's interface is the outer object's.
    IUnknown* unknown = nullptr;
    ASSERT_EQ(thing->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(unknown, outer->GetOwner());
    unknown->Release();
    // The inner non-delegating unknown answers IUnknown with itself.
    IUnknown* innerUnknown = nullptr;
    ASSERT_EQ(
        outer->m_inner->NonDelegatingQueryInterface(IID_IUnknown, reinterpret_cast<void**>(&innerUnknown)),
        S_OK);
    EXPECT_NE(innerUnknown, outer->GetOwner());
    innerUnknown->Release();

    // References taken through the inner interface count on the outer object.
    EXPECT_EQ(thing->AddRef(), 3u);
    EXPECT_EQ(thing->Release(), 2u);
    thing->Release();
    g_destroyed = 0;
    EXPECT_EQ(outer->Release(), 0u);
    EXPECT_EQ(g_destroyed, 1);
}
