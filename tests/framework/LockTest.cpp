// The critical section and the scoped lock.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "CKoAutoLock.h"
#include "CKoBaseException.h"
#include "CKoCriticalSection.h"

namespace {

bool TryFromOtherThread(CKoCriticalSection& section) {
    bool entered = false;
    std::thread([&] {
        entered = section.Wait(0);
        if (entered) section.Unlock();
    }).join();
    return entered;
}

class CountingLock : public CKoSynchronizationObject {
public:
    bool Wait(DWORD) override {
        ++waits;
        return true;
    }
    void Unlock() override {
        ++unlocks;
        if (throwOnUnlock) throw CKoBaseException("CountingLock::Unlock -> refused");
    }
    int waits = 0, unlocks = 0;
    bool throwOnUnlock = false;
};

} // namespace

TEST(CriticalSection, WaitZeroTriesWithoutBlocking) {
    CKoCriticalSection section;
    EXPECT_TRUE(TryFromOtherThread(section));
    ASSERT_TRUE(section.Wait(INFINITE));
    EXPECT_FALSE(TryFromOtherThread(section));
    // Re-entrant on the holding thread; each entry needs its own release.
    ASSERT_TRUE(section.Wait(0));
    section.Unlock();
    EXPECT_FALSE(TryFromOtherThread(section));
    section.Unlock();
    EXPECT_TRUE(TryFromOtherThread(section));
}

TEST(CriticalSection, OtherTimeOutsThrowAndLeaveTheSectionAlone) {
    CKoCriticalSection section;
    try {
        section.Wait(1000);
        FAIL() << "no exception";
    } catch (const CKoCriticalSectionException& e) {
        EXPECT_EQ(e.GetMessage(), "CKoCriticalSection::Wait -> 0 or INFINITE time-outs only");
    }
    EXPECT_TRUE(TryFromOtherThread(section));
}

TEST(CriticalSection, ExcludesOtherThreads) {
    CKoCriticalSection section;
    long counter = 0;
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            CKoAutoLock lock(&section);
            ++counter;
        }
    };
    std::thread a(work), b(work), c(work);
    a.join();
    b.join();
    c.join();
    EXPECT_EQ(counter, 60000);
}

TEST(AutoLock, NullObjectThrowsBeforeLocking) {
    try {
        CKoAutoLock lock(nullptr);
        FAIL() << "no exception";
    } catch (const CKoAutoLockException& e) {
        EXPECT_EQ(e.GetMessage(), "CKoAutoLock::CKoAutoLock -> NULL CKoSynchronizationObject pointer");
    }
}

TEST(AutoLock, ReleasedWhenTheBlockIsLeftByAnException) {
    CKoCriticalSection section;
    try {
        CKoAutoLock lock(&section);
        throw 1;
    } catch (int) {
    }
    EXPECT_TRUE(TryFromOtherThread(section));
}

TEST(AutoLock, DestructorSwallowsWhatUnlockThrows) {
    CountingLock lock;
    lock.throwOnUnlock = true;
    EXPECT_NO_THROW({ CKoAutoLock scoped(&lock); });
    EXPECT_EQ(lock.waits, 1);
    EXPECT_EQ(lock.unlocks, 1);
}
