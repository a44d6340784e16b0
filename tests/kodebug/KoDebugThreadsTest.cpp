// libKoDebug used from many threads at once.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include <atomic>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "KoDebug.h"
#include "KoDebugCapture.h"
#include "TempDir.h"

namespace {

const int kThreads = 8;
const int kMessages = 200;

void trace(int category, const std::string& text) {
    if (KoFilterLogMessage(category, 1)) {
        int capacity = 0;
        char* buffer = KoGetLogBuffer(category, 1, &capacity, 1);
        int n = snprintf(buffer, static_cast<size_t>(capacity), "%s", text.c_str());
        KoCommitLogBuffer(buffer, 0, n + 1, 0);
    }
    if (KoFilterLogToFile(category, 1)) {
        int capacity = 0;
        char* buffer = KoGetLogBuffer(category, 1, &capacity, 1);
        snprintf(buffer, static_cast<size_t>(capacity), "%s", text.c_str());
        KoLogTextToFileA(buffer);
    }
}

template <class Body>
void runThreads(Body body) {
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) threads.emplace_back(body, t);
    for (std::thread& t : threads) t.join();
}

std::string text(int thread, int message) {
    return "thread " + std::to_string(thread) + " message " + std::to_string(message) + " " +
           std::string(static_cast<size_t>(message % 50), '.');
}

TEST(KoDebugThreads, CaptureReceivesEveryMessageIntact) {
    kodebug::KoDebugCapture capture;
    runThreads([](int t) {
        for (int i = 0; i < kMessages; ++i) trace(6000 + t, text(t, i));
    });
    std::set<std::string> expected;
    for (int t = 0; t < kThreads; ++t)
        for (int i = 0; i < kMessages; ++i) expected.insert(text(t, i));
    for (kodebug::Kind kind : {kodebug::Kind::Live, kodebug::Kind::File}) {
        std::set<std::string> seen;
        for (const kodebug::Message& m : capture.messages(kind)) {
            EXPECT_EQ(m.category, 6000 + atoi(m.text.c_str() + 7)); // the buffer's own category
            seen.insert(m.text);
        }
        EXPECT_EQ(expected, seen);
    }
    EXPECT_EQ(static_cast<unsigned long>(kThreads * kMessages * 2),
              capture.calls(kodebug::Function::GetLogBuffer));
}

TEST(KoDebugThreads, FileLinesDoNotMix) {
    TempDir dir;
    std::string path = dir.file("threads.log");
    kodebug::configure(nullptr, path.c_str());
    runThreads([](int t) {
        for (int i = 0; i < kMessages; ++i) trace(6044, text(t, i) + "\n");
    });
    kodebug::reloadConfiguration();

    std::istringstream lines(dir.read("threads.log"));
    std::set<std::string> seen;
    for (std::string line; std::getline(lines, line);) {
        size_t tag = line.find("[6044:1] ");
        ASSERT_NE(std::string::npos, tag) << line;
        seen.insert(line.substr(tag + 9));
    }
    EXPECT_EQ(static_cast<size_t>(kThreads * kMessages), seen.size());
}

TEST(KoDebugThreads, ReconfiguringWhileOthersLog) {
    TempDir dir;
    std::string path = dir.file("switch.log");
    std::atomic<bool> stop{false};
    std::thread configurer([&] {
        // The values go in directly: the environment is no place to change
        // while other threads run (every getenv would race the setenv).
        for (int i = 0; !stop; ++i) kodebug::configure(nullptr, i % 2 ? path.c_str() : nullptr);
    });
    runThreads([](int t) {
        for (int i = 0; i < kMessages; ++i) trace(6044, text(t, i) + "\n");
    });
    stop = true;
    configurer.join();
    kodebug::reloadConfiguration();
    SUCCEED(); // what counts is that the sanitizers stay quiet
}

} // namespace
