// The stand-ins used from several threads at once.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "KoWindows.h"

namespace {

template <class Body>
void runThreads(int count, Body body) {
    std::vector<std::thread> threads;
    for (int i = 0; i < count; ++i) threads.emplace_back(body, i);
    for (std::thread& t : threads) t.join();
}

TEST(PlatformThreads, EachThreadHasItsOwnCodePage) {
    unsigned previous = KoSetThreadCodePage(1252);
    unsigned seen = 0;
    std::thread([&] { seen = KoGetThreadCodePage(); }).join();
    EXPECT_EQ(936u, seen);
    EXPECT_EQ(1252u, KoGetThreadCodePage());
    KoSetThreadCodePage(previous);
}

TEST(PlatformThreads, ConversionsInParallelWithDifferentCodePages) {
    // Each thread converts the same text in its own code page, many times,
    // with its own converters; each ends and closes them.
    const std::wstring text = L"C:\\临时文件目录\\café-€.jpg";
    const unsigned pages[] = {936, 1252, CP_UTF8};
    std::vector<std::string> expected;
    for (unsigned page : pages) {
        char bytes[128];
        int n = WideCharToMultiByte(page, 0, text.c_str(), -1, bytes, sizeof bytes, nullptr, nullptr);
        expected.emplace_back(bytes, n > 0 ? n - 1 : 0);
    }
    std::atomic<int> failures{0};
    runThreads(6, [&](int index) {
        unsigned page = pages[index % 3];
        KoSetThreadCodePage(page);
        for (int round = 0; round < 500; ++round) {
            char bytes[128];
            wchar_t back[128];
            int n = WideCharToMultiByte(CP_THREAD_ACP, 0, text.c_str(), -1, bytes, sizeof bytes, nullptr,
                                        nullptr);
            if (n <= 0 || expected[index % 3] != bytes) ++failures;
            if (page != 1252) { // 1252 lacks the CJK characters
                MultiByteToWideChar(CP_THREAD_ACP, 0, bytes, -1, back, 128);
                if (text != back) ++failures;
            }
        }
    });
    EXPECT_EQ(0, failures.load());
}

TEST(PlatformThreads, CriticalSectionIsReentrantAndExclusive) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    EnterCriticalSection(&section);
    EXPECT_TRUE(TryEnterCriticalSection(&section)); // the owner may enter again
    EnterCriticalSection(&section);
    LeaveCriticalSection(&section);
    LeaveCriticalSection(&section);

    // Still held once: another thread cannot enter.
    bool entered = true;
    std::thread([&] { entered = TryEnterCriticalSection(&section); }).join();
    EXPECT_FALSE(entered);
    LeaveCriticalSection(&section);
    std::thread([&] {
        entered = TryEnterCriticalSection(&section);
        if (entered) LeaveCriticalSection(&section);
    }).join();
    EXPECT_TRUE(entered);

    // Plain counting under the lock from several threads.
    long counter = 0;
    runThreads(4, [&](int) {
        for (int i = 0; i < 10000; ++i) {
            EnterCriticalSection(&section);
            ++counter;
            LeaveCriticalSection(&section);
        }
    });
    EXPECT_EQ(40000, counter);
    DeleteCriticalSection(&section);
}

TEST(PlatformThreads, WindowMessagesAgreeAcrossThreads) {
    const int kNames = 20;
    std::vector<std::vector<UINT>> ids(8, std::vector<UINT>(kNames));
    runThreads(8, [&](int index) {
        for (int i = 0; i < kNames; ++i) {
            std::string name = "KO_THREAD_MESSAGE_" + std::to_string(i);
            if (index % 2) // odd threads use lower case
                for (char& c : name) c = static_cast<char>(tolower(c));
            ids[index][i] = RegisterWindowMessageA(name.c_str());
        }
    });
    for (int t = 1; t < 8; ++t) EXPECT_EQ(ids[0], ids[t]);
    for (int i = 1; i < kNames; ++i) EXPECT_NE(ids[0][0], ids[0][i]);
}

TEST(PlatformThreads, MessageBoxHandlerSwapsWhileBoxesShow) {
    auto first = [](const char*, const char*, unsigned, void*) { return 1; };
    auto second = [](const char*, const char*, unsigned, void*) { return 2; };
    KoSetMessageBoxHandler(first, nullptr);
    std::atomic<bool> stop{false};
    std::atomic<int> unexpected{0};
    std::thread swapper([&] {
        for (int i = 0; !stop; ++i) KoSetMessageBoxHandler(i % 2 ? first : second, nullptr);
    });
    runThreads(4, [&](int) {
        for (int i = 0; i < 2000; ++i) {
            int result = AfxMessageBox("fault");
            if (result != 1 && result != 2) ++unexpected;
        }
    });
    stop = true;
    swapper.join();
    KoSetMessageBoxHandler(nullptr, nullptr);
    EXPECT_EQ(0, unexpected.load());
}

} // namespace
