#include "KoDebugCapture.h"

#include <mutex>

#include "KoDebugLog.h"

namespace kodebug {

void setSink(Sink sink) { KoDebugLog::instance().setSink(std::move(sink)); }

void forceFilters(Filter live, Filter file) { KoDebugLog::instance().forceFilters(live, file); }

unsigned long callCount(Function function) { return KoDebugLog::instance().calls(function); }

void resetCallCounts() { KoDebugLog::instance().resetCalls(); }

void reloadConfiguration() { KoDebugLog::instance().configure(); }

void configure(const char* live, const char* file) { KoDebugLog::instance().configure(live, file); }

int logBufferCapacity() { return KoDebugLog::kBufferCapacity; }

// Shared with the sink, which may still run on another thread after the
// capture is gone.
struct KoDebugCapture::Store {
    mutable std::mutex mutex;
    std::vector<Message> messages;
};

KoDebugCapture::KoDebugCapture(Filter live, Filter file) : m_store(std::make_shared<Store>()) {
    std::shared_ptr<Store> store = m_store;
    setSink([store](const Message& message) {
        std::lock_guard<std::mutex> lock(store->mutex);
        store->messages.push_back(message);
    });
    forceFilters(live, file);
    resetCallCounts();
    KoDebugLog::instance().watchCalls(true);
}

KoDebugCapture::~KoDebugCapture() {
    KoDebugLog::instance().watchCalls(false);
    setSink(Sink());
    forceFilters(Filter::FromConfig, Filter::FromConfig);
}

std::vector<Message> KoDebugCapture::messages() const {
    std::lock_guard<std::mutex> lock(m_store->mutex);
    return m_store->messages;
}

std::vector<Message> KoDebugCapture::messages(Kind kind) const {
    std::vector<Message> selected;
    std::lock_guard<std::mutex> lock(m_store->mutex);
    for (const Message& message : m_store->messages)
        if (message.kind == kind) selected.push_back(message);
    return selected;
}

void KoDebugCapture::clear() {
    {
        std::lock_guard<std::mutex> lock(m_store->mutex);
        m_store->messages.clear();
    }
    resetCallCounts();
}

unsigned long KoDebugCapture::totalCalls() const {
    unsigned long total = 0;
    for (int i = 0; i < kFunctionCount; ++i) total += callCount(static_cast<Function>(i));
    return total;
}

} // namespace kodebug
