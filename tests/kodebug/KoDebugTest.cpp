// libKoDebug: filters from the environment, live log, log file, notices and the
// capture API.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include <regex>
#include <string>
#include <vector>

#include "KoDebug.h"
#include "KoDebugCapture.h"
#include "StderrCapture.h"
#include "TempDir.h"

extern char** environ;

namespace {

using kodebug::Filter;
using kodebug::Function;
using kodebug::Kind;
using kodebug::KoDebugCapture;

// "中文" in GBK and UTF-8.
const std::string kZhongWenGbk = "\xD6\xD0\xCE\xC4";
const std::string kZhongWenUtf8 = "\xE4\xB8\xAD\xE6\x96\x87";

// A trace message the way the component writes one: each filter asked, one
// buffer per log, the length counting the NUL or the capacity when cut.
void trace(int category, int level, const std::string& text) {
    if (KoFilterLogMessage(category, level)) {
        int capacity = 0;
        char* buffer = KoGetLogBuffer(category, level, &capacity, 1);
        int n = snprintf(buffer, static_cast<size_t>(capacity), "%s", text.c_str());
        KoCommitLogBuffer(buffer, 0, n < 0 || n >= capacity ? capacity : n + 1, 0);
    }
    if (KoFilterLogToFile(category, level)) {
        int capacity = 0;
        char* buffer = KoGetLogBuffer(category, level, &capacity, 1);
        snprintf(buffer, static_cast<size_t>(capacity), "%s", text.c_str());
        KoLogTextToFileA(buffer);
    }
}

// Sets KODEBUG_LIVE / KODEBUG_FILE for one test and has the library read them;
// restores both afterwards.
class KoDebugEnv : public ::testing::Test {
protected:
    void SetUp() override {
        save("KODEBUG_LIVE", m_live, m_hadLive);
        save("KODEBUG_FILE", m_file, m_hadFile);
        configure(nullptr, nullptr);
    }
    void TearDown() override {
        restore("KODEBUG_LIVE", m_live, m_hadLive);
        restore("KODEBUG_FILE", m_file, m_hadFile);
        kodebug::reloadConfiguration();
    }
    static void configure(const char* live, const char* file) {
        live ? setenv("KODEBUG_LIVE", live, 1) : unsetenv("KODEBUG_LIVE");
        file ? setenv("KODEBUG_FILE", file, 1) : unsetenv("KODEBUG_FILE");
        kodebug::reloadConfiguration();
    }

    TempDir dir;

private:
    static void save(const char* name, std::string& value, bool& had) {
        const char* v = getenv(name);
        had = v != nullptr;
        if (had) value = v;
    }
    static void restore(const char* name, const std::string& value, bool had) {
        had ? setenv(name, value.c_str(), 1) : unsetenv(name);
    }
    std::string m_live, m_file;
    bool m_hadLive = false, m_hadFile = false;
};

TEST_F(KoDebugEnv, FiltersSayNoUnlessConfigured) {
    EXPECT_EQ(0, KoFilterLogMessage(6044, 1));
    EXPECT_EQ(0, KoFilterLogToFile(6044, 1));

    configure("1", nullptr);
    EXPECT_NE(0, KoFilterLogMessage(6044, 1));
    EXPECT_NE(0, KoFilterLogMessage(1, 9)); // every category and level
    EXPECT_EQ(0, KoFilterLogToFile(6044, 1));

    configure("yes", dir.file("log.txt").c_str());
    EXPECT_EQ(0, KoFilterLogMessage(6044, 1));
    EXPECT_NE(0, KoFilterLogToFile(6017, 1));
}

TEST_F(KoDebugEnv, LiveLogGoesToStderrInUtf8) {
    configure("1", nullptr);
    StderrCapture err;
    trace(6044, 1, "GetChildren , " + kZhongWenGbk + " ! \n");
    trace(6017, 1, "no newline");
    EXPECT_EQ("[KoDebug] [6044:1] GetChildren , " + kZhongWenUtf8 +
                  " ! \n"
                  "[KoDebug] [6017:1] no newline\n",
              err.text());
}

TEST_F(KoDebugEnv, FileLogAppendsOneLinePerMessage) {
    dir.write("log.txt", "earlier line\n");
    configure(nullptr, dir.file("log.txt").c_str());
    StderrCapture err;
    trace(6044, 1, "CheckInAAF " + kZhongWenGbk + " ! \n");
    trace(6017, 1, "pool event");
    EXPECT_EQ("", err.text()); // the live log stays closed

    std::string log = dir.read("log.txt");
    ASSERT_EQ(0u, log.find("earlier line\n"));
    std::regex pattern(
        "earlier line\n"
        "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} \\d+ \\[6044:1\\] CheckInAAF " +
        kZhongWenUtf8 +
        " ! \n"
        "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} \\d+ \\[6017:1\\] pool event\n");
    EXPECT_TRUE(std::regex_match(log, pattern)) << log;
}

TEST_F(KoDebugEnv, UnwritableLogFileClosesTheFileFilter) {
    StderrCapture err;
    configure(nullptr, (dir.path() + "/missing/log.txt").c_str());
    EXPECT_EQ(0, KoFilterLogToFile(6044, 1));
    EXPECT_NE(std::string::npos, err.text().find("[KoDebug] cannot open the log file"));
}

TEST_F(KoDebugEnv, NoticesGoToStderr) {
    StderrCapture err;
    KoLogNotifyA(0, 0, "%s hr=%x.", ("GetLatest " + kZhongWenGbk).c_str(), 0x88888005u);
    KoLogNotifyA_Add_file(0, 0, "%s hr=%x.File : %s. LINE : %d", "CreateObject", 0x8888806Fu,
                          "src\\CZuInterplayObjectManager", 120);
    std::string longText(2000, 'n');
    KoLogNotifyA(0, 0, "%s", longText.c_str()); // longer than any fixed buffer
    EXPECT_EQ("[KoDebug notice] GetLatest " + kZhongWenUtf8 +
                  " hr=88888005.\n"
                  "[KoDebug notice] CreateObject hr=8888806f.File : src\\CZuInterplayObjectManager. "
                  "LINE : 120\n"
                  "[KoDebug notice] " +
                  longText + "\n",
              err.text());
}

TEST_F(KoDebugEnv, CaptureTakesTheRawBytesInsteadOfTheOutputs) {
    configure("1", dir.file("log.txt").c_str());
    StderrCapture err;
    {
        KoDebugCapture capture;
        trace(6044, 1, "text " + kZhongWenGbk);
        KoLogNotifyA(0, 0, "%s hr=%x.", kZhongWenGbk.c_str(), 0x88888044u);
        KoLogNotifyA_Add_file(0, 0, "%s LINE : %d", "m", 7);

        std::vector<kodebug::Message> all = capture.messages();
        ASSERT_EQ(4u, all.size());
        EXPECT_EQ(Kind::Live, all[0].kind);
        EXPECT_EQ(6044, all[0].category);
        EXPECT_EQ(1, all[0].level);
        EXPECT_EQ("text " + kZhongWenGbk, all[0].text); // not converted
        EXPECT_EQ(10, all[0].length);
        EXPECT_EQ(Kind::File, all[1].kind);
        EXPECT_EQ("text " + kZhongWenGbk, all[1].text);
        EXPECT_EQ(Kind::Notice, all[2].kind);
        EXPECT_EQ(kZhongWenGbk + " hr=88888044.", all[2].text);
        EXPECT_EQ(Kind::NoticeWithFile, all[3].kind);
        EXPECT_EQ("m LINE : 7", all[3].text);
        EXPECT_EQ(1u, capture.messages(Kind::Live).size());

        EXPECT_EQ(1u, capture.calls(Function::FilterLogMessage));
        EXPECT_EQ(1u, capture.calls(Function::FilterLogToFile));
        EXPECT_EQ(2u, capture.calls(Function::GetLogBuffer));
        EXPECT_EQ(1u, capture.calls(Function::CommitLogBuffer));
        EXPECT_EQ(1u, capture.calls(Function::LogTextToFile));
        EXPECT_EQ(1u, capture.calls(Function::Notify));
        EXPECT_EQ(1u, capture.calls(Function::NotifyAddFile));

        capture.clear();
        EXPECT_TRUE(capture.messages().empty());
        EXPECT_EQ(0u, capture.totalCalls());
    }
    EXPECT_EQ("", err.text());
    EXPECT_EQ("", dir.read("log.txt"));
    // Without the capture the configuration holds again.
    trace(6044, 1, "after");
    EXPECT_EQ("[KoDebug] [6044:1] after\n", err.text());
}

TEST_F(KoDebugEnv, ForcedFiltersOverrideTheConfiguration) {
    configure("1", dir.file("log.txt").c_str());
    {
        KoDebugCapture closed(Filter::Closed, Filter::Closed);
        trace(6044, 1, "not logged");
        EXPECT_TRUE(closed.messages().empty());
        EXPECT_EQ(2u, closed.totalCalls()); // the two filter questions only
    }
    {
        KoDebugCapture mixed(Filter::FromConfig, Filter::Closed);
        trace(6044, 1, "live only");
        EXPECT_EQ(1u, mixed.messages().size());
        EXPECT_EQ(1u, mixed.messages(Kind::Live).size());
    }
}

TEST_F(KoDebugEnv, CommittedLengthIsKeptExactly) {
    KoDebugCapture capture;
    int capacity = 0;
    char* buffer = KoGetLogBuffer(6044, 1, &capacity, 1);
    ASSERT_EQ(kodebug::logBufferCapacity(), capacity);
    ASSERT_EQ(1024, capacity);

    // Cut at capacity - 1: the length is the capacity.
    memset(buffer, 'x', static_cast<size_t>(capacity));
    buffer[capacity - 1] = '\0';
    KoCommitLogBuffer(buffer, 0, capacity, 0);
    // A length beyond the buffer is held to it.
    KoCommitLogBuffer(buffer, 0, capacity + 100, 0);
    // A length shorter than the text is what the caller said.
    KoCommitLogBuffer(buffer, 0, 4, 0);
    // A buffer from elsewhere ends at its NUL.
    char own[] = "own buffer";
    KoCommitLogBuffer(own, 0, 50, 0);

    std::vector<kodebug::Message> live = capture.messages(Kind::Live);
    ASSERT_EQ(4u, live.size());
    EXPECT_EQ(std::string(1023, 'x'), live[0].text);
    EXPECT_EQ(1024, live[0].length);
    EXPECT_EQ(std::string(1023, 'x'), live[1].text);
    EXPECT_EQ("xxx", live[2].text);
    EXPECT_EQ("own buffer", live[3].text);
    EXPECT_EQ(0, live[3].category);
}

TEST(KoDebugBuffers, TwoPerThreadHandedOutInTurn) {
    int capacity = 0;
    char* first = KoGetLogBuffer(6044, 1, &capacity, 1);
    strcpy(first, "live message");
    char* second = KoGetLogBuffer(6044, 1, &capacity, 1);
    EXPECT_NE(first, second);
    strcpy(second, "file message");
    EXPECT_STREQ("live message", first); // still intact
    EXPECT_EQ(first, KoGetLogBuffer(6044, 1, &capacity, 1));
    KoGetLogBuffer(6044, 1, nullptr, 1); // the capacity is optional
}

// Runs the child program with the given KODEBUG_* settings; returns its stderr.
std::string runChild(const std::vector<std::string>& settings, const TempDir& dir) {
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e)
        if (strncmp(*e, "KODEBUG_", 8) != 0) environment.push_back(*e);
    environment.insert(environment.end(), settings.begin(), settings.end());
    std::vector<char*> envp;
    for (std::string& s : environment) envp.push_back(&s[0]);
    envp.push_back(nullptr);

    std::string errPath = dir.file("child-stderr.txt");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    char program[] = ZU_KODEBUG_CHILD;
    char* argv[] = {program, nullptr};
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(0, spawned);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return dir.read("child-stderr.txt");
}

TEST(KoDebugProcess, ReadsTheEnvironmentAtFirstUse) {
    TempDir dir;
    std::string logFile = dir.file("child.log");
    std::string err = runChild({"KODEBUG_LIVE=1", "KODEBUG_FILE=" + logFile}, dir);
    EXPECT_EQ("[KoDebug] [6044:1] GetChildren " + kZhongWenUtf8 +
                  " ! \n"
                  "[KoDebug notice] child hr=88888005.\n",
              err);
    std::string log = dir.read("child.log");
    EXPECT_NE(std::string::npos, log.find("[6044:1] GetChildren " + kZhongWenUtf8 + " ! \n"));

    // Unconfigured: only the notice.
    EXPECT_EQ("[KoDebug notice] child hr=88888005.\n", runChild({}, dir));
}

} // namespace
