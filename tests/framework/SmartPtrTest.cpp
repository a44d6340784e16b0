// The smart pointer's reference rules and its misuse exceptions, and the
// error vocabulary of the interface methods around it.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "CKoUnknown.h"
#include "KoResult.h"
#include "TKoSmartPtr.h"

namespace {

class CCounted : public IUnknown, public CKoUnknown {
public:
    explicit CCounted(int* destroyed) : CKoUnknown(L"CCounted", nullptr), m_destroyed(destroyed) {
        NonDelegatingAddRef();
    }
    ~CCounted() override { ++*m_destroyed; }
    KO_DECLARE_DELEGATING_UNKNOWN
    LONG Count() const { return GetRefCount(); }

private:
    int* m_destroyed;
};

template <class F>
std::string MessageOf(F f) {
    try {
        f();
    } catch (const CKoSmartPointerException& e) {
        return e.GetMessage();
    }
    return "no exception";
}

} // namespace

TEST(SmartPtr, OwnsExactlyOneReference) {
    int destroyed = 0;
    CCounted* raw = new CCounted(&destroyed);
    {
        TKoSmartPtr<CCounted> a;
        EXPECT_TRUE(!a);
        a = raw;
        EXPECT_EQ(raw->Count(), 2);
        TKoSmartPtr<CCounted> b(a);
        EXPECT_EQ(raw->Count(), 3);
        b = a; // the same pointer again: nothing changes, nothing dies
        a = static_cast<CCounted*>(a);
        EXPECT_EQ(raw->Count(), 3);
        EXPECT_TRUE(a == raw);
        EXPECT_FALSE(!a);
    }
    EXPECT_EQ(raw->Count(), 1);
    EXPECT_EQ(destroyed, 0);
    raw->Release();
    EXPECT_EQ(destroyed, 1);
}

TEST(SmartPtr, AssigningTheOnlyReferenceToItselfKeepsTheObjectAlive) {
    int destroyed = 0;
    TKoSmartPtr<CCounted> p;
    CCounted* raw = new CCounted(&destroyed);
    p.Attach(raw);
    p = static_cast<CCounted*>(p);
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(raw->Count(), 1);
    p = nullptr;
    EXPECT_EQ(destroyed, 1);
}

TEST(SmartPtr, OutParameterSlotOnlyWhileEmpty) {
    int destroyed = 0;
    TKoSmartPtr<CCounted> p;
    CCounted** slot = &p;
    *slot = new CCounted(&destroyed); // a callee hands over its reference
    EXPECT_FALSE(!p);
    CCounted* held = p;
    EXPECT_EQ(MessageOf([&] { (void)&p; }), "TKoSmartPtr::operator* -> Internal pointer will be overriden!");
    EXPECT_EQ(static_cast<CCounted*>(p), held); // left untouched
    EXPECT_EQ(held->Count(), 1);
}

TEST(SmartPtr, DereferencingNothingThrows) {
    TKoSmartPtr<CCounted> p;
    EXPECT_EQ(MessageOf([&] { (void)*p; }), "TKoSmartPtr::operator* -> Internal pointer is NULL!");
    EXPECT_EQ(MessageOf([&] { p->AddRef(); }), "TKoSmartPtr::operator* -> Internal pointer is NULL!");
}

TEST(SmartPtr, DetachHandsTheReferenceOver) {
    int destroyed = 0;
    TKoSmartPtr<CCounted> p;
    p.Attach(new CCounted(&destroyed));
    CCounted* raw = p.Detach();
    EXPECT_TRUE(!p);
    EXPECT_EQ(raw->Count(), 1);
    raw->Release();
    EXPECT_EQ(destroyed, 1);
}

TEST(SmartPtr, PutDropsWhatItHeldAndQueryIsTyped) {
    int destroyed = 0;
    TKoSmartPtr<CCounted> p;
    p.Attach(new CCounted(&destroyed));
    CCounted** slot = p.Put();
    EXPECT_EQ(destroyed, 1) << "the former object went";
    *slot = new CCounted(&destroyed);
    CCounted* held = p;

    TKoSmartPtr<IUnknown> unknown;
    EXPECT_EQ(S_OK, p.Query(IID_IUnknown, unknown));
    EXPECT_FALSE(!unknown);
    EXPECT_EQ(held->Count(), 2);
    unknown.Clear();
    EXPECT_EQ(held->Count(), 1);

    TKoSmartPtr<CCounted> empty;
    EXPECT_EQ(MessageOf([&] { empty.Query(IID_IUnknown, unknown); }),
              "TKoSmartPtr::operator* -> Internal pointer is NULL!");
}

TEST(Boundary, NothingThrownLeavesAnInterfaceMethod) {
    EXPECT_EQ(S_FALSE, KoBoundary([]() -> HRESULT { return S_FALSE; }));
    EXPECT_EQ(ZU_E_OUTOFMEMORY, KoBoundary([]() -> HRESULT { throw std::bad_alloc(); }));
    EXPECT_EQ(ZU_E_FAILED, KoBoundary([]() -> HRESULT { throw std::length_error("vector"); }));
    EXPECT_EQ(ZU_E_FAILED,
              KoBoundary([]() -> HRESULT { throw CKoSmartPointerException("TKoSmartPtr::operator*"); }));
}
