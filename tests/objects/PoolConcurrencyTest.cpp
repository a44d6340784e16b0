// Several threads taking and returning result objects at once, from one pool
// and from several pools whose objects hold each other; the counters must come
// out exact and no object may be out twice.
#include <algorithm>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "CZuInterplayAssetDescriptionAllocator.h"
#include "CZuInterplayAssetsDescriptionsListAllocator.h"
#include "CZuInterplayMobAttributeAllocator.h"
#include "CZuInterplayMobAttributeListAllocator.h"
#include "KoDebugCapture.h"
#include "ObjectsTestSupport.h"

using namespace zutest;

namespace {

const int kThreads = 4;

class Barrier {
public:
    explicit Barrier(int parties) : m_parties(parties) {}
    void Wait() {
        std::unique_lock<std::mutex> lock(m_mutex);
        int generation = m_generation;
        if (++m_waiting == m_parties) {
            m_waiting = 0;
            ++m_generation;
            m_done.notify_all();
            return;
        }
        m_done.wait(lock, [&] { return generation != m_generation; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    const int m_parties;
    int m_waiting = 0;
    int m_generation = 0;
};

// A pool of one kind, made the way the manager makes it.
template <class Allocator>
CZuInterplayObjectPool* MakePool() {
    IKoPoolAllocator* allocator = new Allocator();
    CZuInterplayObjectPool* pool =
        new CZuInterplayObjectPool(L"Pool", ZU_POOL_INITIAL_COUNT, ZU_POOL_LIMIT, allocator);
    allocator->Release();
    return pool;
}

template <class I>
I* TakeFrom(CZuInterplayObjectPool* pool) {
    IZuInterplayObject* object = nullptr;
    if (FAILED(pool->GetTypedElement(&object))) return nullptr;
    I* typed = nullptr;
    object->QueryInterface(KindOf<I>::iid, reinterpret_cast<void**>(&typed));
    object->Release();
    return typed;
}

// Runs body on kThreads threads that start together.
void RunThreads(const std::function<void(int)>& body) {
    Barrier start(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            start.Wait();
            body(t);
        });
    for (std::thread& thread : threads) thread.join();
}

TEST(PoolConcurrencyTest, OnePoolManyThreads) {
    LONG liveBefore = CKoBaseObject::GetObjectCount();
    CZuInterplayObjectPool* pool = MakePool<CZuInterplayMobAttributeAllocator>();
    const int kHeld = 10;
    const int kRounds = 3000; // a multiple of 3
    Barrier barrier(kThreads + 1);
    std::vector<std::vector<IZuInterplayMobAttribute*>> held(kThreads);
    std::vector<int> mixUps(kThreads, 0);
    // Rounds take 1, 2, 3, 1, 2, 3 ... objects: two on average.
    const unsigned long cycles = kThreads * (kHeld + kRounds * 2);
    {
        kodebug::KoDebugCapture capture(kodebug::Filter::Open, kodebug::Filter::Closed);
        std::thread checker([&] {
            barrier.Wait(); // every thread holds kHeld objects
            EXPECT_EQ(static_cast<unsigned>(kThreads * kHeld), pool->GetUsedCount());
            EXPECT_EQ(static_cast<unsigned>(kThreads * kHeld), pool->GetAllocatedCount());
            std::set<IZuInterplayMobAttribute*> distinct;
            for (const auto& mine : held) distinct.insert(mine.begin(), mine.end());
            EXPECT_EQ(static_cast<size_t>(kThreads * kHeld), distinct.size()) << "an object was out twice";
            barrier.Wait();
        });
        RunThreads([&](int t) {
            std::wstring mark = L"thread " + std::to_wstring(t);
            for (int i = 0; i < kHeld; ++i) held[t].push_back(TakeFrom<IZuInterplayMobAttribute>(pool));
            barrier.Wait();
            barrier.Wait();
            for (IZuInterplayMobAttribute* attribute : held[t]) attribute->Release();
            // Churn: take up to three, mark them, check the marks, give them back.
            for (int round = 0; round < kRounds; ++round) {
                IZuInterplayMobAttribute* mine[3] = {};
                int n = 1 + round % 3;
                for (int i = 0; i < n; ++i) {
                    mine[i] = TakeFrom<IZuInterplayMobAttribute>(pool);
                    const wchar_t* value = nullptr;
                    mine[i]->GetValue(&value);
                    if (*value) ++mixUps[t]; // a blank object is expected
                    mine[i]->SetValue(mark.c_str());
                }
                std::this_thread::yield();
                for (int i = 0; i < n; ++i) {
                    const wchar_t* value = nullptr;
                    mine[i]->GetValue(&value);
                    if (mark != value) ++mixUps[t];
                    mine[i]->Release();
                }
            }
        });
        checker.join();
        // Two live lines per hand-out and two per return.
        EXPECT_EQ(cycles * 4, capture.messages(kodebug::Kind::Live).size());
    }
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(0, mixUps[t]) << "thread " << t;
    EXPECT_EQ(0u, pool->GetUsedCount());
    EXPECT_EQ(static_cast<unsigned>(kThreads * kHeld), pool->GetAllocatedCount())
        << "idle objects were reused";
    for (const auto& mine : held)
        for (IZuInterplayMobAttribute* attribute : mine) EXPECT_EQ(1u, RefCount(attribute));
    pool->Release();
    EXPECT_EQ(liveBefore, CKoBaseObject::GetObjectCount());
}

// Lists released on one thread send their items back to other pools while
// other threads take from and return to those same pools.
TEST(PoolConcurrencyTest, DifferentPoolsAtOnce) {
    LONG liveBefore = CKoBaseObject::GetObjectCount();
    CZuInterplayObjectPool* listPool = MakePool<CZuInterplayAssetsDescriptionsListAllocator>();
    CZuInterplayObjectPool* descriptionPool = MakePool<CZuInterplayAssetDescriptionAllocator>();
    CZuInterplayObjectPool* attributeListPool = MakePool<CZuInterplayMobAttributeListAllocator>();
    CZuInterplayObjectPool* attributePool = MakePool<CZuInterplayMobAttributeAllocator>();
    CZuInterplayObjectPool* pools[] = {listPool, descriptionPool, attributeListPool, attributePool};
    const int kRounds = 1000;
    std::vector<std::set<IUnknown*>> seen(kThreads);
    std::vector<int> wrongCounts(kThreads, 0);

    RunThreads([&](int t) {
        for (int round = 0; round < kRounds; ++round) {
            IZuInterplayAssetsDescriptionsList* list = TakeFrom<IZuInterplayAssetsDescriptionsList>(listPool);
            seen[t].insert(list);
            for (int d = 0; d < 2; ++d) {
                IZuInterplayAssetDescription* description =
                    TakeFrom<IZuInterplayAssetDescription>(descriptionPool);
                IZuInterplayMobAttributeList* attributes =
                    TakeFrom<IZuInterplayMobAttributeList>(attributeListPool);
                for (int a = 0; a < 2; ++a) {
                    IZuInterplayMobAttribute* attribute = TakeFrom<IZuInterplayMobAttribute>(attributePool);
                    attributes->Add(attribute);
                    seen[t].insert(attribute);
                    attribute->Release();
                }
                description->SetAttributeList(attributes);
                list->Add(description);
                seen[t].insert(description);
                seen[t].insert(attributes);
                attributes->Release();
                description->Release();
            }
            int count = 0;
            list->GetCount(&count);
            if (count != 2) ++wrongCounts[t];
            // Every other round another thread's work interleaves with the
            // return chain of this list.
            if (round % 2) std::this_thread::yield();
            list->Release();
        }
    });

    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(0, wrongCounts[t]);
    std::set<IUnknown*> all;
    for (const auto& mine : seen) all.insert(mine.begin(), mine.end());
    for (IUnknown* object : all) EXPECT_EQ(1u, RefCount(object)) << "every object is back in its pool";
    // No pool ever had more than four threads' lists of one asset each (at
    // most 16 objects) out at once: the initial 20 sufficed everywhere.
    for (int p = 0; p < 4; ++p) {
        SCOPED_TRACE(p);
        EXPECT_EQ(0u, pools[p]->GetUsedCount());
        EXPECT_EQ(20u, pools[p]->GetAllocatedCount());
    }
    for (CZuInterplayObjectPool* pool : pools) pool->Release();
    EXPECT_EQ(liveBefore, CKoBaseObject::GetObjectCount());
}

} // namespace
