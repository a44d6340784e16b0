#include "KoDebugLog.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include <new>

#include "KoCodePage.h"
#include "KoProcess.h"

namespace {

void writeAll(int fd, const std::string& text) {
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        p += n;
        left -= static_cast<size_t>(n);
    }
}

// One record per message: each ends in exactly the text's own newline, or in
// one added when it has none.
std::string line(const std::string& prefix, const char* text, size_t bytes) {
    std::string record = prefix + KoAnsiToUtf8(text, bytes);
    if (record.empty() || record.back() != '\n') record += '\n';
    return record;
}

std::string categoryTag(int category, int level) {
    char tag[48];
    snprintf(tag, sizeof tag, "[%d:%d] ", category, level);
    return tag;
}

// The local date, hour and minute of the minute a thread last logged in.
// Zone changes fall on whole minutes, so one conversion a minute gives the same
// text as one a line; the zone itself is resolved by configure(), never here,
// so a line reads nothing of the environment.
struct MinuteStamp {
    time_t minute = -1;
    char text[32] = {};
    size_t length = 0;
};
thread_local MinuteStamp t_minute;

std::string timestamp() {
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    time_t minute = now.tv_sec - now.tv_sec % 60;
    if (minute != t_minute.minute) {
        tm local;
        localtime_r(&minute, &local);
        t_minute.length = strftime(t_minute.text, sizeof t_minute.text, "%Y-%m-%d %H:%M:", &local);
        t_minute.minute = minute;
    }
    char text[64];
    snprintf(text, sizeof text, "%.*s%02ld.%03ld %ld ", static_cast<int>(t_minute.length), t_minute.text,
             static_cast<long>(now.tv_sec - minute), now.tv_nsec / 1000000L, KoCurrentThreadId());
    return text;
}

} // namespace

KoDebugLog& KoDebugLog::instance() {
    // Made once in the library's own storage and never destroyed: a thread
    // that logs while the process exits still finds it, and nothing of it is
    // left behind on the heap when a host unloads the library.
    alignas(KoDebugLog) static unsigned char storage[sizeof(KoDebugLog)];
    static KoDebugLog* log = new (storage) KoDebugLog;
    return *log;
}

KoDebugLog::KoDebugLog() { configure(); }

void KoDebugLog::configure() { configure(getenv("KODEBUG_LIVE"), getenv("KODEBUG_FILE")); }

void KoDebugLog::configure(const char* live, const char* path) {
    // The zone is read from the environment here, in the configuring thread;
    // the loggers' conversions then use what this resolved.
    tzset();
    m_liveConfigured = live && strcmp(live, "1") == 0;

    std::string failure;
    {
        std::lock_guard<std::mutex> lock(m_fileMutex);
        if (m_fileFd >= 0) close(m_fileFd);
        m_fileFd = -1;
        if (path && *path) {
            m_fileFd = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
            if (m_fileFd < 0) failure = std::string(path) + ": " + strerror(errno);
        }
        m_fileConfigured = m_fileFd >= 0;
    }
    if (!failure.empty()) writeAll(STDERR_FILENO, "[KoDebug] cannot open the log file " + failure + "\n");
}

void KoDebugLog::emit(kodebug::Kind kind, int category, int level, const char* text, size_t bytes,
                      int length) {
    std::shared_ptr<const kodebug::Sink> sink;
    {
        std::lock_guard<std::mutex> lock(m_sinkMutex);
        sink = m_sink;
    }
    if (sink) {
        (*sink)(kodebug::Message{kind, category, level, std::string(text, bytes), length});
        return;
    }
    // What is shown stops at a NUL inside the given length.
    bytes = strnlen(text, bytes);
    switch (kind) {
    case kodebug::Kind::Live:
        if (liveOpen())
            writeAll(STDERR_FILENO, line("[KoDebug] " + categoryTag(category, level), text, bytes));
        break;
    case kodebug::Kind::File:
        if (fileOpen()) writeToFile(line(timestamp() + categoryTag(category, level), text, bytes));
        break;
    case kodebug::Kind::Notice:
    case kodebug::Kind::NoticeWithFile:
        writeAll(STDERR_FILENO, line("[KoDebug notice] ", text, bytes));
        break;
    }
}

void KoDebugLog::writeToFile(const std::string& record) {
    std::lock_guard<std::mutex> lock(m_fileMutex);
    if (m_fileFd >= 0) writeAll(m_fileFd, record);
}

void KoDebugLog::resetCalls() {
    for (auto& calls : m_calls) calls.store(0);
}

void KoDebugLog::setSink(kodebug::Sink sink) {
    std::shared_ptr<const kodebug::Sink> next;
    if (sink) next = std::make_shared<const kodebug::Sink>(std::move(sink));
    std::lock_guard<std::mutex> lock(m_sinkMutex);
    m_sink = std::move(next);
}

void KoDebugLog::forceFilters(kodebug::Filter live, kodebug::Filter file) {
    m_forceLive = live;
    m_forceFile = file;
}
