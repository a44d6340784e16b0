#include "KoMessageBox.h"

#include <unistd.h>

#include <mutex>
#include <string>

#include "KoCodePage.h"

namespace {

struct MessageBoxHandler {
    std::mutex mutex;
    KoMessageBoxHandler handler = nullptr;
    void* context = nullptr;
};

// Never destroyed: a fault guard may still show a box while the process exits.
MessageBoxHandler& messageBoxHandler() {
    static MessageBoxHandler* current = new MessageBoxHandler;
    return *current;
}

// One line on stderr, written with one call so that lines of several threads
// do not mix.
int defaultHandler(const char*, const char* utf8Text, unsigned, void*) {
    std::string line = "[MessageBox] ";
    line += utf8Text;
    line += '\n';
    const char* p = line.data();
    size_t left = line.size();
    while (left > 0) {
        ssize_t n = write(STDERR_FILENO, p, left);
        if (n <= 0) break;
        p += n;
        left -= static_cast<size_t>(n);
    }
    return IDOK;
}

} // namespace

extern "C" void KoSetMessageBoxHandler(KoMessageBoxHandler handler, void* context) {
    MessageBoxHandler& current = messageBoxHandler();
    std::lock_guard<std::mutex> lock(current.mutex);
    current.handler = handler;
    current.context = handler ? context : nullptr;
}

int AfxMessageBox(LPCSTR text, UINT type, UINT /*helpId*/) {
    if (!text) text = "";
    KoMessageBoxHandler handler;
    void* context;
    {
        MessageBoxHandler& current = messageBoxHandler();
        std::lock_guard<std::mutex> lock(current.mutex);
        handler = current.handler ? current.handler : defaultHandler;
        context = current.context;
    }
    std::string utf8 = KoAnsiToUtf8(text);
    return handler(text, utf8.c_str(), type, context);
}
