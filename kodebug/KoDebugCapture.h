// Test access to libKoDebug: capture what reaches the log, force the filters,
// count the calls of the seven functions.
//
// Only in the test build of the library (libKoDebugTesting), which tests and
// benchmarks link instead of libKoDebug. All of it is process-wide and
// thread-safe.
#ifndef KO_DEBUG_CAPTURE_H
#define KO_DEBUG_CAPTURE_H

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "KoDebug.h"

namespace kodebug {

enum class Kind {
    Live,          // KoCommitLogBuffer
    File,          // KoLogTextToFileA
    Notice,        // KoLogNotifyA
    NoticeWithFile // KoLogNotifyA_Add_file
};

struct Message {
    Kind kind;
    // Of the KoGetLogBuffer call that handed out the buffer; 0 for notices and
    // for buffers that did not come from KoGetLogBuffer.
    int category;
    int level;
    // The bytes exactly as the caller formatted them, in its code page. Live:
    // the first length - 1 bytes of the buffer (at most capacity - 1). File: up
    // to the NUL. Notices: the formatted text.
    std::string text;
    // Live: the length passed to KoCommitLogBuffer; -1 otherwise.
    int length;
};

// The seven functions, for call counts.
enum class Function {
    FilterLogMessage,
    FilterLogToFile,
    GetLogBuffer,
    CommitLogBuffer,
    LogTextToFile,
    Notify,
    NotifyAddFile,
};
constexpr int kFunctionCount = 7;

// What a filter answers: as configured, or always yes / always no.
enum class Filter { FromConfig, Open, Closed };

using Sink = std::function<void(const Message&)>;

// While a sink is installed, every committed live message, file message and
// notice goes to it instead of stderr and the log file; it may be called from
// several threads at once. An empty sink restores normal output.
KODEBUG_API void setSink(Sink sink);
// Overrides the answers of KoFilterLogMessage (live) and KoFilterLogToFile (file).
KODEBUG_API void forceFilters(Filter live, Filter file);
// Calls of each function since the last reset, counted while a KoDebugCapture
// exists (and only then).
KODEBUG_API unsigned long callCount(Function function);
KODEBUG_API void resetCallCounts();
// Reads KODEBUG_LIVE and KODEBUG_FILE again (normally read once, at first use).
KODEBUG_API void reloadConfiguration();
// Configures as if KODEBUG_LIVE were live and KODEBUG_FILE were file (null for
// unset), without touching the environment: safe while other threads log.
KODEBUG_API void configure(const char* live, const char* file);
// The capacity of the buffers KoGetLogBuffer hands out.
KODEBUG_API int logBufferCapacity();

// For one test: installs a sink that keeps every message, forces the filters
// and resets the call counts; the destructor removes the sink and returns the
// filters to the configuration. One at a time.
class KODEBUG_API KoDebugCapture {
public:
    explicit KoDebugCapture(Filter live = Filter::Open, Filter file = Filter::Open);
    ~KoDebugCapture();
    KoDebugCapture(const KoDebugCapture&) = delete;
    KoDebugCapture& operator=(const KoDebugCapture&) = delete;

    std::vector<Message> messages() const;
    std::vector<Message> messages(Kind kind) const;
    // Forgets the messages kept so far and resets the call counts.
    void clear();
    unsigned long calls(Function function) const { return callCount(function); }
    // Calls of all seven functions together.
    unsigned long totalCalls() const;

private:
    struct Store;
    std::shared_ptr<Store> m_store;
};

} // namespace kodebug

#endif // KO_DEBUG_CAPTURE_H
