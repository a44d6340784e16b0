#include "KoDebugOutput.h"

#include <stdlib.h>
#include <unistd.h>

#include <mutex>
#include <string>

#include "KoCodePage.h"

namespace {

struct DebugOutput {
    std::mutex mutex;
    KoDebugOutputHandler handler = nullptr;
    void* context = nullptr;
};

// Never destroyed: other modules' destructors may still write at exit.
DebugOutput& TheDebugOutput() {
    static DebugOutput* output = new DebugOutput;
    return *output;
}

void WriteAll(int fd, const std::string& text) {
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n <= 0) return;
        p += n;
        left -= static_cast<size_t>(n);
    }
}

void DefaultDebugOutput(const char* text) {
    const char* enabled = getenv("KO_DEBUG_OUTPUT");
    if (!enabled || !*enabled) return;
    WriteAll(STDERR_FILENO, KoAnsiToUtf8(text));
}

} // namespace

extern "C" {

void OutputDebugStringA(LPCSTR text) {
    if (!text) return;
    DebugOutput& output = TheDebugOutput();
    KoDebugOutputHandler handler;
    void* context;
    {
        std::lock_guard<std::mutex> lock(output.mutex);
        handler = output.handler;
        context = output.context;
    }
    if (handler)
        handler(text, context);
    else
        DefaultDebugOutput(text);
}

void KoSetDebugOutputHandler(KoDebugOutputHandler handler, void* context) {
    DebugOutput& output = TheDebugOutput();
    std::lock_guard<std::mutex> lock(output.mutex);
    output.handler = handler;
    output.context = handler ? context : nullptr;
}

} // extern "C"
