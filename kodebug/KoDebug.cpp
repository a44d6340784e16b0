#include "KoDebug.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "KoDebugLog.h"

namespace {

using kodebug::Function;
using kodebug::Kind;

const int kBufferCapacity = KoDebugLog::kBufferCapacity;

// Each thread has two buffers and hands them out in turn, so a trace can hold
// the live message's buffer while it fills the file message's.
struct ThreadBuffers {
    char text[2][kBufferCapacity];
    int category[2];
    int level[2];
    int next;
};
thread_local ThreadBuffers t_buffers;

// Which of the calling thread's buffers this is; -1 if none.
int bufferSlot(const char* buffer) {
    for (int i = 0; i < 2; ++i)
        if (buffer == t_buffers.text[i]) return i;
    return -1;
}

std::string format(const char* format, va_list args) {
    if (!format) return std::string();
    char small[512];
    va_list copy;
    va_copy(copy, args);
    int n = vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (n < 0) return std::string();
    if (static_cast<size_t>(n) < sizeof small) return std::string(small, static_cast<size_t>(n));
    std::string text(static_cast<size_t>(n) + 1, '\0');
    vsnprintf(&text[0], text.size(), format, args);
    text.resize(static_cast<size_t>(n));
    return text;
}

// A failure notice of either kind: counted, formatted and written.
int notify(Function function, Kind kind, const char* fmt, va_list args) {
    KoDebugLog& log = KoDebugLog::instance();
    log.count(function);
    std::string text = format(fmt, args);
    log.emit(kind, 0, 0, text.data(), text.size(), -1);
    return 1;
}

int commit(char* buffer, int length) {
    KoDebugLog& log = KoDebugLog::instance();
    log.count(Function::CommitLogBuffer);
    if (!buffer) return 0;
    int slot = bufferSlot(buffer);
    size_t bytes;
    if (slot >= 0)
        bytes = length > 0 ? static_cast<size_t>(length < kBufferCapacity ? length : kBufferCapacity) - 1
                           : strnlen(buffer, kBufferCapacity - 1);
    else
        bytes = length > 0 ? strnlen(buffer, static_cast<size_t>(length) - 1) : strlen(buffer);
    log.emit(Kind::Live, slot >= 0 ? t_buffers.category[slot] : 0, slot >= 0 ? t_buffers.level[slot] : 0,
             buffer, bytes, length);
    return 1;
}

int textToFile(const char* buffer) {
    KoDebugLog& log = KoDebugLog::instance();
    log.count(Function::LogTextToFile);
    if (!buffer) return 0;
    int slot = bufferSlot(buffer);
    size_t bytes = slot >= 0 ? strnlen(buffer, kBufferCapacity) : strlen(buffer);
    log.emit(Kind::File, slot >= 0 ? t_buffers.category[slot] : 0, slot >= 0 ? t_buffers.level[slot] : 0,
             buffer, bytes, -1);
    return 1;
}

// Runs an exported function's work: nothing thrown in the library (memory
// that runs out while a message is formatted or handed on) reaches the caller,
// who gets 0 instead.
template <class Work>
int guarded(Work&& work) noexcept {
    try {
        return work();
    } catch (...) {
        return 0;
    }
}

} // namespace

extern "C" {

int KoFilterLogMessage(int, int) {
    return guarded([&] {
        KoDebugLog& log = KoDebugLog::instance();
        log.count(Function::FilterLogMessage);
        return log.liveOpen() ? 1 : 0;
    });
}

int KoFilterLogToFile(int, int) {
    return guarded([&] {
        KoDebugLog& log = KoDebugLog::instance();
        log.count(Function::FilterLogToFile);
        return log.fileOpen() ? 1 : 0;
    });
}

// The buffers are the thread's own: handed out even when the library itself
// cannot be set up.
char* KoGetLogBuffer(int category, int level, int* capacity, int) {
    guarded([&] {
        KoDebugLog::instance().count(Function::GetLogBuffer);
        return 1;
    });
    int slot = t_buffers.next;
    t_buffers.next = 1 - slot;
    t_buffers.category[slot] = category;
    t_buffers.level[slot] = level;
    t_buffers.text[slot][0] = '\0';
    if (capacity) *capacity = kBufferCapacity;
    return t_buffers.text[slot];
}

int KoCommitLogBuffer(char* buffer, int, int length, int) {
    return guarded([&] { return commit(buffer, length); });
}

int KoLogTextToFileA(const char* buffer) {
    return guarded([&] { return textToFile(buffer); });
}

int KoLogNotifyA(int, int, const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    int done = guarded([&] { return notify(Function::Notify, Kind::Notice, fmt, args); });
    va_end(args);
    return done;
}

int KoLogNotifyA_Add_file(int, int, const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    int done = guarded([&] { return notify(Function::NotifyAddFile, Kind::NoticeWithFile, fmt, args); });
    va_end(args);
    return done;
}

} // extern "C"
