#include "KoDebugLog.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include "KoCodePage.h"

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

std::string timestamp() {
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    tm local;
    localtime_r(&now.tv_sec, &local);
    char text[64];
    size_t n = strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    snprintf(text + n, sizeof text - n, ".%03ld %ld ", now.tv_nsec / 1000000L,
             static_cast<long>(syscall(SYS_gettid)));
    return text;
}

} // namespace

KoDebugLog& KoDebugLog::instance() {
    static KoDebugLog* log = new KoDebugLog;
    return *log;
}

KoDebugLog::KoDebugLog() { configure(); }

void KoDebugLog::configure() {
    const char* live = getenv("KODEBUG_LIVE");
    m_liveConfigured = live && strcmp(live, "1") == 0;

    const char* path = getenv("KODEBUG_FILE");
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
    if (!failure.empty())
        writeAll(STDERR_FILENO, "[KoDebug] cannot open the log file " + failure + "\n");
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
