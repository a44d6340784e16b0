#include "KoWindowMessage.h"

#include <string.h>

#include <mutex>
#include <string>
#include <unordered_map>

#include "KoCodePage.h"
#include "KoTextCodec.h"

namespace {

struct WindowMessages {
    std::mutex mutex;
    std::unordered_map<std::wstring, UINT> ids;
    UINT next = 0xC000;
};

WindowMessages& TheWindowMessages() {
    static WindowMessages* messages = new WindowMessages;
    return *messages;
}

} // namespace

extern "C" {

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
    WindowMessages& messages = TheWindowMessages();
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
