// The state behind the seven log functions (libKoDebug internal): the
// configuration, the outputs, the capture sink and the call counters.
#ifndef KO_DEBUG_LOG_H
#define KO_DEBUG_LOG_H

#include <stddef.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "KoDebugCapture.h"

class KoDebugLog {
public:
    // The one log of the process, configured at first use; never destroyed, so
    // that other modules may still log while the process exits.
    static KoDebugLog& instance();

    // The capacity of the buffers KoGetLogBuffer hands out.
    static constexpr int kBufferCapacity = 1024;

    bool liveOpen() const { return open(m_forceLive.load(), m_liveConfigured.load()); }
    bool fileOpen() const { return open(m_forceFile.load(), m_fileConfigured.load()); }

    // Hands a message to the sink, or else to its output (live messages to
    // stderr and file messages to the log file while their filter is open;
    // notices always to stderr).
    void emit(kodebug::Kind kind, int category, int level, const char* text, size_t bytes, int length);

    // Calls are counted only while someone watches (a capture is installed):
    // the filters are asked on every hand-out and return of a pooled object, and
    // a shared counter there would cost every thread a locked increment.
    void count(kodebug::Function function) {
        if (m_counting.load(std::memory_order_relaxed) > 0)
            m_calls[static_cast<int>(function)].fetch_add(1, std::memory_order_relaxed);
    }
    void watchCalls(bool watch) { m_counting.fetch_add(watch ? 1 : -1); }
    unsigned long calls(kodebug::Function function) const {
        return m_calls[static_cast<int>(function)].load(std::memory_order_relaxed);
    }
    void resetCalls();

    void setSink(kodebug::Sink sink);
    void forceFilters(kodebug::Filter live, kodebug::Filter file);
    // Reads KODEBUG_LIVE and KODEBUG_FILE.
    void configure();
    // Opens the live log when live is "1" and appends file messages to file
    // when it is a non-empty path; resolves the local time zone once for the
    // file log's timestamps.
    void configure(const char* live, const char* file);

    ~KoDebugLog() = delete;

private:
    KoDebugLog();

    static bool open(kodebug::Filter forced, bool configured) {
        return forced == kodebug::Filter::FromConfig ? configured : forced == kodebug::Filter::Open;
    }
    void writeToFile(const std::string& record);

    std::atomic<bool> m_liveConfigured{false};
    std::atomic<bool> m_fileConfigured{false};
    std::atomic<kodebug::Filter> m_forceLive{kodebug::Filter::FromConfig};
    std::atomic<kodebug::Filter> m_forceFile{kodebug::Filter::FromConfig};
    std::atomic<unsigned long> m_calls[kodebug::kFunctionCount] = {};
    std::atomic<int> m_counting{0};

    std::mutex m_fileMutex; // the log file's descriptor and its writes
    int m_fileFd = -1;

    std::mutex m_sinkMutex;
    std::shared_ptr<const kodebug::Sink> m_sink;
};

#endif // KO_DEBUG_LOG_H
