// The pools: hand-out order, counters, limit, lock discipline and the life of
// a pool whose elements outlive its creator's reference.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <thread>
#include <vector>

#include "CKoElementArena.h"
#include "CKoPoolElement.h"
#include "CKoPoolManager.h"
#include "TKodPoolManager.h"
#include "ZuResultCodes.h"

namespace {

// {6A1F0C2E-3B44-4F7A-9C55-0D1E2F3A4B5C}
constexpr IID IID_ITestThing = {0x6A1F0C2E, 0x3B44, 0x4F7A, {0x9C, 0x55, 0x0D, 0x1E, 0x2F, 0x3A, 0x4B, 0x5C}};

struct ITestThing : public IUnknown {
    STDMETHOD_(int, Serial)() PURE;
};

class TestPool;

std::atomic<int> g_destroyed{0};

class TestElement : public CKoPoolElement, public ITestThing {
public:
    explicit TestElement(int serial) : CKoPoolElement(L"TestElement", nullptr), m_serial(serial) {}
    ~TestElement() override {
        ++g_destroyed;
        if (touchSelfWhenDestroyed) {
            // References taken and dropped during destruction.
            IKoCOMPoolElement* self = this;
            self->AddRef();
            self->Release();
        }
    }

    KO_DECLARE_DELEGATING_UNKNOWN

    STDMETHOD(NonDelegatingQueryInterface)(REFIID riid, void** ppv) override {
        if (riid == IID_ITestThing && !refuseThing) {
            NonDelegatingAddRef();
            *ppv = static_cast<ITestThing*>(this);
            return S_OK;
        }
        return CKoPoolElement::NonDelegatingQueryInterface(riid, ppv);
    }
    STDMETHOD_(int, Serial)() override { return m_serial; }

    STDMETHOD(OnLeaveFromPool)() override {
        ++leaves;
        if (onNotify) onNotify();
        return CKoPoolElement::OnLeaveFromPool();
    }
    STDMETHOD(OnReturnToPool)() override {
        ++returns;
        if (onNotify) onNotify();
        return CKoPoolElement::OnReturnToPool();
    }

    LONG Count() const { return GetRefCount(); }
    IKoPoolManager* Pool() const { return GetPoolManager(); }

    std::atomic<int> leaves{0};
    std::atomic<int> returns{0};
    bool refuseThing = false;
    bool touchSelfWhenDestroyed = false;
    std::function<void()> onNotify;

private:
    int m_serial;
};

class TestAllocator : public IKoPoolAllocator, public CKoLightUnknown {
public:
    TestAllocator() : CKoLightUnknown(L"TestAllocator", nullptr) {}
    KO_DECLARE_DELEGATING_UNKNOWN
    STDMETHOD(NonDelegatingQueryInterface)(REFIID riid, void** ppv) override {
        if (riid == IID_IKoPoolAllocator) {
            NonDelegatingAddRef();
            *ppv = static_cast<IKoPoolAllocator*>(this);
            return S_OK;
        }
        return CKoLightUnknown::NonDelegatingQueryInterface(riid, ppv);
    }
    STDMETHOD(Allocate)(IUnknown** out) override {
        int call = ++calls;
        if (failAll || (failEvery && call % failEvery == 0)) return E_OUTOFMEMORY;
        TestElement* element = new TestElement(call);
        element->refuseThing = refuseThing;
        element->onNotify = onNotify;
        made.push_back(element);
        IKoCOMPoolElement* face = element;
        face->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(out));
        face->Release();
        return S_OK;
    }

    int calls = 0;
    bool failAll = false;
    int failEvery = 0;
    bool refuseThing = false;
    std::function<void()> onNotify;
    std::vector<TestElement*> made;
};

typedef TKodPoolManager<ITestThing, IID_ITestThing> ThingPool;

// Lets a test see the pool's lock.
class TestPool : public ThingPool {
public:
    using ThingPool::ThingPool;
    CKoCriticalSection& Lock() { return m_lock; }
};

TestElement* AsElement(ITestThing* thing) { return static_cast<TestElement*>(thing); }

// Whether another thread could take the lock right now.
bool LockIsFree(CKoCriticalSection& lock) {
    bool free = false;
    std::thread probe([&] {
        free = lock.Wait(0);
        if (free) lock.Unlock();
    });
    probe.join();
    return free;
}

class PoolTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_destroyed = 0;
        liveBefore = CKoBaseObject::GetObjectCount();
        allocator = new TestAllocator();
    }
    void TearDown() override {
        if (allocator) allocator->Release();
        EXPECT_EQ(liveBefore, CKoBaseObject::GetObjectCount()) << "an object outlived its pool";
    }
    TestPool* MakePool(unsigned initial, unsigned limit = 0xFFFFFFFFu) {
        return new TestPool(L"TestPool", initial, limit, allocator);
    }

    LONG liveBefore = 0;
    TestAllocator* allocator = nullptr;
};

TEST_F(PoolTest, InitialFillAndTheHandOutBeyondIt) {
    TestPool* pool = MakePool(20);
    EXPECT_EQ(20, allocator->calls);
    EXPECT_EQ(20u, pool->GetAllocatedCount());
    EXPECT_EQ(0u, pool->GetUsedCount());
    EXPECT_EQ(0xFFFFFFFFu, pool->GetFreeCount());
    IKoCOMPoolElement* untyped = nullptr;
    EXPECT_EQ(E_NOTIMPL, pool->GetElement(&untyped)) << "a typed pool hands out typed elements only";
    for (TestElement* element : allocator->made) {
        EXPECT_EQ(1, element->Count()) << "an idle element holds only the pool's reference";
        EXPECT_EQ(nullptr, element->Pool());
        EXPECT_FALSE(element->IsInPool()) << "a new element was never returned";
    }

    std::vector<ITestThing*> out(21);
    for (int i = 0; i < 20; ++i) ASSERT_EQ(S_OK, pool->GetTypedElement(&out[i]));
    EXPECT_EQ(20, allocator->calls) << "served from the initial fill";
    ASSERT_EQ(S_OK, pool->GetTypedElement(&out[20]));
    EXPECT_EQ(21, allocator->calls);
    EXPECT_EQ(21u, pool->GetAllocatedCount());
    EXPECT_EQ(21u, pool->GetUsedCount());
    EXPECT_EQ(0xFFFFFFFFu - 21, pool->GetFreeCount());

    TestElement* newest = AsElement(out[20]);
    EXPECT_EQ(2, newest->Count()) << "the pool's reference and the caller's";
    EXPECT_EQ(static_cast<IKoPoolManager*>(pool), newest->Pool());
    EXPECT_EQ(1, newest->leaves);

    for (ITestThing* thing : out) thing->Release();
    EXPECT_EQ(0u, pool->GetUsedCount());
    EXPECT_EQ(21u, pool->GetAllocatedCount());
    EXPECT_EQ(1, newest->Count());
    EXPECT_EQ(nullptr, newest->Pool());
    EXPECT_TRUE(newest->IsInPool());
    EXPECT_EQ(1, newest->returns);
    EXPECT_EQ(0, g_destroyed) << "nothing is freed while the pool lives";

    pool->Release();
    EXPECT_EQ(21, g_destroyed);
}

TEST_F(PoolTest, MostRecentlyReturnedGoesOutFirst) {
    TestPool* pool = MakePool(2);
    ITestThing* a = nullptr;
    ITestThing* b = nullptr;
    ASSERT_EQ(S_OK, pool->GetTypedElement(&a));
    ASSERT_EQ(S_OK, pool->GetTypedElement(&b));
    a->Release();
    b->Release();

    ITestThing* first = nullptr;
    ITestThing* second = nullptr;
    ASSERT_EQ(S_OK, pool->GetTypedElement(&first));
    ASSERT_EQ(S_OK, pool->GetTypedElement(&second));
    EXPECT_EQ(b, first);
    EXPECT_EQ(a, second);
    EXPECT_EQ(2, allocator->calls);
    first->Release();
    second->Release();
    pool->Release();
}

TEST_F(PoolTest, ExtraReferencesKeepAnElementOutUntilTheLastGoes) {
    TestPool* pool = MakePool(1);
    ITestThing* thing = nullptr;
    ASSERT_EQ(S_OK, pool->GetTypedElement(&thing));
    thing->AddRef();
    thing->Release();
    EXPECT_EQ(1u, pool->GetUsedCount());
    EXPECT_EQ(0, AsElement(thing)->returns);

    // Through another interface of the same object, as a host would.
    IKoCOMPoolElement* element = nullptr;
    ASSERT_EQ(S_OK, thing->QueryInterface(IID_IKoCOMPoolElement, reinterpret_cast<void**>(&element)));
    thing->Release();
    EXPECT_EQ(1u, pool->GetUsedCount());
    element->Release();
    EXPECT_EQ(0u, pool->GetUsedCount());
    EXPECT_EQ(1, AsElement(thing)->returns);
    pool->Release();
}

TEST_F(PoolTest, IdleElementReleasedToOneCallsNoPool) {
    TestPool* pool = MakePool(1);
    ITestThing* thing = nullptr;
    ASSERT_EQ(S_OK, pool->GetTypedElement(&thing));
    thing->Release();
    // Idle now: count 1, no pool. A stray AddRef/Release pair must not file it
    // a second time.
    thing->AddRef();
    thing->Release();
    EXPECT_EQ(1, AsElement(thing)->returns);
    EXPECT_EQ(1u, pool->GetAllocatedCount());
    EXPECT_EQ(0u, pool->GetUsedCount());

    ITestThing* again = nullptr;
    ITestThing* fresh = nullptr;
    ASSERT_EQ(S_OK, pool->GetTypedElement(&again));
    ASSERT_EQ(S_OK, pool->GetTypedElement(&fresh));
    EXPECT_EQ(thing, again);
    EXPECT_NE(thing, fresh) << "the element was listed twice";
    again->Release();
    fresh->Release();
    pool->Release();
}

TEST_F(PoolTest, LimitRefusesWithoutAllocatingOrLocking) {
    TestPool* pool = MakePool(0, 2);
    ITestThing* a = nullptr;
    ITestThing* b = nullptr;
    ASSERT_EQ(S_OK, pool->GetTypedElement(&a));
    ASSERT_EQ(S_OK, pool->GetTypedElement(&b));
    EXPECT_EQ(0u, pool->GetFreeCount());

    // Another thread holds the lock: a refusal at the limit must not wait.
    pool->Lock().Wait(INFINITE);
    ITestThing* sentinel = reinterpret_cast<ITestThing*>(0x1);
    ITestThing* out = sentinel;
    auto refusal = std::async(std::launch::async, [&] { return pool->GetTypedElement(&out); });
    bool answered = refusal.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    pool->Lock().Unlock();
    EXPECT_TRUE(answered) << "the limit test waited for the lock";
    EXPECT_EQ(ZU_E_POOLEXHAUSTED, refusal.get());
    EXPECT_EQ(sentinel, out);
    EXPECT_EQ(2, allocator->calls);
    EXPECT_EQ(2u, pool->GetUsedCount());

    a->Release();
    ASSERT_EQ(S_OK, pool->GetTypedElement(&out));
    EXPECT_EQ(a, out);
    out->Release();
    b->Release();
    pool->Release();
}

TEST_F(PoolTest, CreatorLetsGoWhileAnElementIsOut) {
    TestPool* pool = MakePool(3);
    ITestThing* thing = nullptr;
    ASSERT_EQ(S_OK, pool->GetTypedElement(&thing));
    pool->Release();
    EXPECT_EQ(0, g_destroyed);
    EXPECT_EQ(3, thing->Serial()) << "the element is still usable (the last made goes out first)";

    // Its return is the pool's last reference: the pool goes, and with it
    // every element, the returning one included, each exactly once.
    thing->Release();
    EXPECT_EQ(3, g_destroyed);
}

TEST_F(PoolTest, AllocatorFailures) {
    allocator->failEvery = 2;
    TestPool* pool = MakePool(6);
    EXPECT_EQ(6, allocator->calls);
    EXPECT_EQ(3u, pool->GetAllocatedCount()) << "failed fills are skipped";

    // With the free list empty an allocator failure is the caller's result.
    std::vector<ITestThing*> out(3);
    for (ITestThing*& thing : out) ASSERT_EQ(S_OK, pool->GetTypedElement(&thing));
    allocator->failAll = true;
    ITestThing* sentinel = reinterpret_cast<ITestThing*>(0x1);
    ITestThing* more = sentinel;
    EXPECT_EQ(E_OUTOFMEMORY, pool->GetTypedElement(&more));
    EXPECT_EQ(sentinel, more);
    EXPECT_EQ(3u, pool->GetUsedCount());
    EXPECT_EQ(3u, pool->GetAllocatedCount());

    // The lock was given back.
    EXPECT_TRUE(LockIsFree(pool->Lock()));
    for (ITestThing* thing : out) thing->Release();
    pool->Release();
}

TEST_F(PoolTest, ElementWithoutThePoolsInterfaceIsGivenUp) {
    allocator->refuseThing = true;
    TestPool* pool = MakePool(2);
    EXPECT_EQ(0u, pool->GetAllocatedCount());
    EXPECT_EQ(2, g_destroyed) << "elements that cannot be pooled are not leaked";
    ITestThing* thing = nullptr;
    EXPECT_EQ(E_NOINTERFACE, pool->GetTypedElement(&thing));
    EXPECT_EQ(nullptr, thing);
    EXPECT_EQ(0u, pool->GetUsedCount());
    pool->Release();
}

TEST_F(PoolTest, ReturnThatCannotFileTheElementLeavesItOut) {
    TestPool* pool = MakePool(1);
    ITestThing* thing = nullptr;
    ASSERT_EQ(S_OK, pool->GetTypedElement(&thing));
    TestElement* element = AsElement(thing);
    element->refuseThing = true;
    thing->Release();
    EXPECT_EQ(1u, pool->GetUsedCount());
    EXPECT_EQ(0u, pool->GetAllocatedCount() - pool->GetUsedCount()) << "not filed as idle";
    EXPECT_EQ(nullptr, element->Pool());
    EXPECT_EQ(1, element->Count());
    EXPECT_TRUE(LockIsFree(pool->Lock()));

    // Clean up what the failed return left: the element and the pool's
    // reference it still holds.
    IKoCOMPoolElement* face = element;
    face->Release();
    pool->Release();
    pool->Release();
    EXPECT_EQ(1, g_destroyed);
}

TEST_F(PoolTest, NotificationsRunOutsideTheLock) {
    TestPool* pool = nullptr;
    std::atomic<int> notified{0};
    std::atomic<int> underLock{0};
    allocator->onNotify = [&] {
        ++notified;
        if (!LockIsFree(pool->Lock())) ++underLock;
    };
    pool = MakePool(1);
    ITestThing* a = nullptr;
    ITestThing* b = nullptr;
    ASSERT_EQ(S_OK, pool->GetTypedElement(&a)); // from the free list
    ASSERT_EQ(S_OK, pool->GetTypedElement(&b)); // newly made
    a->Release();
    b->Release();
    EXPECT_EQ(4, notified);
    EXPECT_EQ(0, underLock);
    pool->Release();
}

TEST_F(PoolTest, UntypedPool) {
    CKoPoolManager* pool = new CKoPoolManager(L"UntypedPool", 2, allocator);
    EXPECT_EQ(2, allocator->calls);
    IKoCOMPoolElement* a = nullptr;
    IKoCOMPoolElement* b = nullptr;
    IKoCOMPoolElement* c = nullptr;
    ASSERT_EQ(S_OK, pool->GetElement(&a));
    ASSERT_EQ(S_OK, pool->GetElement(&b));
    ASSERT_EQ(S_OK, pool->GetElement(&c));
    EXPECT_EQ(3, allocator->calls);
    TestElement* first = static_cast<TestElement*>(a);
    EXPECT_EQ(2, first->Count());
    EXPECT_EQ(1, first->leaves);

    a->Release();
    b->Release();
    EXPECT_EQ(1, first->returns);
    EXPECT_TRUE(first->IsInPool());
    IKoCOMPoolElement* again = nullptr;
    ASSERT_EQ(S_OK, pool->GetElement(&again));
    EXPECT_EQ(b, again);

    pool->Release(); // the two elements out keep it alive
    EXPECT_EQ(0, g_destroyed);
    // Idle elements of an untyped pool keep their pool set: one that touches
    // itself while it is destroyed must not be filed again.
    for (TestElement* element : allocator->made) element->touchSelfWhenDestroyed = true;
    again->Release();
    c->Release();
    EXPECT_EQ(3, g_destroyed);
}

// The memory of pooled objects: objects of several sizes, several blocks' worth
// of each, freed in an order that empties some blocks and leaves others half
// full, then made again, on two threads at once. Every object keeps its bytes,
// none overlaps another, each is aligned for any object.
TEST(ElementArena, ObjectsOfManySizesAcrossBlocksKeepTheirBytes) {
    auto run = [](unsigned seed) {
        const size_t sizes[] = {24, 360, 1320, 1936, 1936 + 7};
        struct Made {
            unsigned char* memory;
            size_t bytes;
            unsigned char pattern;
        };
        std::vector<Made> made;
        auto make = [&](size_t bytes, unsigned char pattern) {
            auto* memory = static_cast<unsigned char*>(CKoElementArena::Allocate(bytes));
            ASSERT_NE(nullptr, memory);
            EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(memory) % alignof(std::max_align_t));
            memset(memory, pattern, bytes);
            made.push_back({memory, bytes, pattern});
        };
        auto intact = [&](const Made& object) {
            for (size_t i = 0; i < object.bytes; ++i)
                if (object.memory[i] != object.pattern) return false;
            return true;
        };
        for (int i = 0; i < 3000; ++i) make(sizes[i % 5], static_cast<unsigned char>(seed + i));
        // Every third object goes, then the second half: whole blocks empty.
        std::vector<Made> kept;
        for (size_t i = 0; i < made.size(); ++i) {
            EXPECT_TRUE(intact(made[i])) << "object " << i;
            if (i % 3 == 0 || i >= made.size() / 2)
                CKoElementArena::Free(made[i].memory);
            else
                kept.push_back(made[i]);
        }
        made = kept;
        for (int i = 0; i < 2000; ++i) make(sizes[(i + 2) % 5], static_cast<unsigned char>(seed + 7 * i));
        for (const Made& object : made) {
            EXPECT_TRUE(intact(object));
            CKoElementArena::Free(object.memory);
        }
        CKoElementArena::Free(nullptr);
    };
    std::thread other(run, 100u);
    run(1u);
    other.join();
}

} // namespace
