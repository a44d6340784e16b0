// The fault guard's message box on Windows is a real one, without owner, or
// the host's handler in its place. A hook on the thread's windows reads the
// text of each box and closes it, so the test never waits for a user. Under
// Wine the box needs a display driver to be shown at all: scripts/test-windows
// gives the prefix Wine's null driver.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CZuFaultGuard.h"
#include "KoPlatform.h"
#include "KoWindows.h"
#include "ZuResultCodes.h"
#include "ZuTexts.h"

namespace {

struct Seen {
    std::vector<std::wstring> texts;
    std::vector<bool> owned;
    HWND last = nullptr;
};
Seen* g_seen = nullptr;
HHOOK g_hook = nullptr;

// The text of a message box: that of its static control with text.
BOOL CALLBACK FindText(HWND child, LPARAM found) {
    wchar_t name[32] = {}, text[256] = {};
    GetClassNameW(child, name, 32);
    GetWindowTextW(child, text, 256);
    if (lstrcmpiW(name, L"Static") == 0 && text[0]) *reinterpret_cast<std::wstring*>(found) = text;
    return TRUE;
}

LRESULT CALLBACK CloseMessageBoxes(int code, WPARAM wParam, LPARAM lParam) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && g_seen && window != g_seen->last) {
        std::wstring text;
        EnumChildWindows(window, FindText, reinterpret_cast<LPARAM>(&text));
        if (!text.empty()) {
            g_seen->last = window;
            g_seen->texts.push_back(text);
            g_seen->owned.push_back(GetWindow(window, GW_OWNER) != nullptr);
            PostMessageW(window, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

// Runs work that fails in the fault guard, closing and recording every box
// shown meanwhile.
HRESULT RunFailingWork(Seen& seen) {
    g_seen = &seen;
    g_hook = SetWindowsHookExW(WH_CBT, CloseMessageBoxes, nullptr, GetCurrentThreadId());
    EXPECT_NE(g_hook, nullptr);
    HRESULT hr = CZuFaultGuard::Run(ZU_TEXT_NETWORK_FAILED, [] { throw 42; });
    if (g_hook) UnhookWindowsHookEx(g_hook);
    g_seen = nullptr;
    return hr;
}

TEST(WindowsMessageBox, FaultGuardShowsARealBoxWithoutOwner) {
    KoSetThreadCodePage(936);
    // A handler, once removed, no longer takes the box.
    KoSetMessageBoxHandler([](const char*, const char*, unsigned, void*) { return 1; }, nullptr);
    KoSetMessageBoxHandler(nullptr, nullptr);
    Seen seen;
    HRESULT hr = RunFailingWork(seen);
    EXPECT_EQ(hr, ZU_E_FAILED);
    // The GBK text, widened, in a box without owner.
    ASSERT_EQ(seen.texts.size(), 1u) << "no message box was shown";
    EXPECT_EQ(seen.texts[0], L"\x7F51\x7EDC\x8FDE\x63A5\x5931\x8D25!"); // 网络连接失败!
    EXPECT_FALSE(seen.owned[0]);
}

TEST(WindowsMessageBox, AHostsHandlerReplacesTheBox) {
    KoSetThreadCodePage(936);
    std::vector<std::string> texts;
    KoSetMessageBoxHandler(
        [](const char* ansiText, const char* utf8Text, unsigned, void* context) {
            auto* texts = static_cast<std::vector<std::string>*>(context);
            texts->push_back(std::string(ansiText) + "|" + utf8Text);
            return 1;
        },
        &texts);
    Seen seen;
    HRESULT hr = RunFailingWork(seen);
    KoSetMessageBoxHandler(nullptr, nullptr);
    EXPECT_EQ(hr, ZU_E_FAILED);
    EXPECT_TRUE(seen.texts.empty()) << "a message box was shown";
    // The text in the thread's code page (GBK) and as UTF-8.
    const std::string utf8 = "\xe7\xbd\x91\xe7\xbb\x9c\xe8\xbf\x9e\xe6\x8e\xa5\xe5\xa4\xb1\xe8\xb4\xa5!";
    EXPECT_EQ(std::vector<std::string>{std::string(ZU_TEXT_NETWORK_FAILED) + "|" + utf8}, texts);
}

} // namespace
