#include "KoModule.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/auxv.h>
#include <unistd.h>

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "KoCodePage.h"
#include "KoTextCodec.h"

namespace {

// ---------------------------------------------------------------------------
// Module names

bool readLink(const char* link, std::string& target) {
    char buffer[PATH_MAX];
    ssize_t n = readlink(link, buffer, sizeof buffer);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof buffer) return false;
    target.assign(buffer, static_cast<size_t>(n));
    return true;
}

// The full path of the executable or shared object whose base is module.
bool modulePath(HMODULE module, std::string& path) {
    if (!module) return readLink("/proc/self/exe", path);
    Dl_info info;
    if (!dladdr(module, &info) || info.dli_fbase != module) return false;
    Dl_info mainInfo;
    const void* mainHeaders = reinterpret_cast<const void*>(getauxval(AT_PHDR));
    if (mainHeaders && dladdr(mainHeaders, &mainInfo) && mainInfo.dli_fbase == module)
        return readLink("/proc/self/exe", path);
    if (!info.dli_fname || !*info.dli_fname) return false;
    std::unique_ptr<char, decltype(&free)> real(realpath(info.dli_fname, nullptr), &free);
    if (!real) return false;
    path = real.get();
    return true;
}

// ---------------------------------------------------------------------------
// Debug output

struct DebugOutput {
    std::mutex mutex;
    KoDebugOutputHandler handler = nullptr;
    void* context = nullptr;
};

// Never destroyed: other modules' destructors may still write at exit.
DebugOutput& debugOutput() {
    static DebugOutput* output = new DebugOutput;
    return *output;
}

void writeAll(int fd, const std::string& text) {
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n <= 0) return;
        p += n;
        left -= static_cast<size_t>(n);
    }
}

void defaultDebugOutput(const char* text) {
    const char* enabled = getenv("KO_DEBUG_OUTPUT");
    if (!enabled || !*enabled) return;
    writeAll(STDERR_FILENO, KoAnsiToUtf8(text));
}

// ---------------------------------------------------------------------------
// Window messages

struct WindowMessages {
    std::mutex mutex;
    std::unordered_map<std::wstring, UINT> ids;
    UINT next = 0xC000;
};

WindowMessages& windowMessages() {
    static WindowMessages* messages = new WindowMessages;
    return *messages;
}

} // namespace

extern "C" {

HMODULE KoGetModuleHandleFromAddress(const void* address) {
    Dl_info info;
    if (!address || !dladdr(address, &info)) return nullptr;
    return info.dli_fbase;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
    if (!buffer && size > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string path;
    if (!modulePath(module, path)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    std::string ansi = KoUtf8ToAnsi(path.data(), path.size());
    if (ansi.size() < size) {
        memcpy(buffer, ansi.data(), ansi.size());
        buffer[ansi.size()] = '\0';
        return static_cast<DWORD>(ansi.size());
    }
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    if (size == 0) return 0;
    size_t cut = KoWholeCharPrefix(CP_THREAD_ACP, ansi.data(), ansi.size(), size - 1);
    memcpy(buffer, ansi.data(), cut);
    buffer[cut] = '\0';
    return size;
}

BOOL DisableThreadLibraryCalls(HMODULE) { return TRUE; }

void OutputDebugStringA(LPCSTR text) {
    if (!text) return;
    DebugOutput& output = debugOutput();
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
        defaultDebugOutput(text);
}

void KoSetDebugOutputHandler(KoDebugOutputHandler handler, void* context) {
    DebugOutput& output = debugOutput();
    std::lock_guard<std::mutex> lock(output.mutex);
    output.handler = handler;
    output.context = handler ? context : nullptr;
}

UINT RegisterWindowMessageA(LPCSTR name) {
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // Compared as text, so that only ASCII letters fold (never a trail byte of
    // a double-byte character that happens to be a letter).
    std::wstring key = KoTextCodec::find(CP_THREAD_ACP)->decode(name, strlen(name));
    for (wchar_t& c : key)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    WindowMessages& messages = windowMessages();
    std::lock_guard<std::mutex> lock(messages.mutex);
    auto found = messages.ids.find(key);
    if (found != messages.ids.end()) return found->second;
    if (messages.next > 0xFFFF) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    UINT id = messages.next++;
    messages.ids.emplace(std::move(key), id);
    return id;
}

} // extern "C"
