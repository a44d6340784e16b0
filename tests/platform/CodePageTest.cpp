// MultiByteToWideChar / WideCharToMultiByte and the code page helpers.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "KoWindows.h"

namespace {

// "中文" in GBK.
const std::string kZhongWenGbk = "\xD6\xD0\xCE\xC4";

// Sets the calling thread's code page for one test.
class ScopedCodePage {
public:
    explicit ScopedCodePage(unsigned codePage) : m_previous(KoSetThreadCodePage(codePage)) {}
    ~ScopedCodePage() { KoSetThreadCodePage(m_previous); }

private:
    unsigned m_previous;
};

std::wstring widen(const std::string& text, UINT codePage = CP_THREAD_ACP) {
    int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    if (n > 0) {
        EXPECT_EQ(n,
                  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], n));
    }
    return wide;
}

std::string narrow(const std::wstring& text, UINT codePage = CP_THREAD_ACP) {
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    if (n > 0) {
        EXPECT_EQ(n, WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &bytes[0],
                                         n, nullptr, nullptr));
    }
    return bytes;
}

TEST(CodePage, NewThreadsUseGbk) { EXPECT_EQ(936u, KoGetThreadCodePage()); }

TEST(CodePage, GbkRoundTripOfCjkText) {
    // "C:\非编系统临时文件\乗€.jpg": 乗 has the trail byte 0x5C ('\'), € is the
    // single byte 0x80.
    const std::string gbk =
        "C:\\\xB7\xC7\xB1\xE0\xCF\xB5\xCD\xB3\xC1\xD9\xCA\xB1\xCE\xC4\xBC\xFE"
        "\\\x81\x5C\x80.jpg";
    const std::wstring wide = L"C:\\非编系统临时文件\\乗€.jpg";

    wchar_t buffer[64];
    int chars = MultiByteToWideChar(CP_THREAD_ACP, 0, gbk.c_str(), -1, buffer, 64);
    ASSERT_EQ(static_cast<int>(wide.size()) + 1, chars); // -1 counts the NUL
    EXPECT_EQ(wide, std::wstring(buffer));

    char bytes[64];
    int n = WideCharToMultiByte(CP_ACP, 0, buffer, -1, bytes, 64, nullptr, nullptr);
    ASSERT_EQ(static_cast<int>(gbk.size()) + 1, n);
    EXPECT_EQ(gbk, std::string(bytes));
}

TEST(CodePage, LongTextsCrossTheConvertersChunks) {
    // Long runs of double-byte text, interleaved with ASCII, in both directions.
    std::wstring wide;
    for (int i = 0; i < 700; ++i) wide += (i % 97 == 0) ? L"ab" : L"中文";
    std::string gbk = narrow(wide);
    ASSERT_FALSE(gbk.empty());
    EXPECT_EQ(wide, widen(gbk));

    // A cut inside the second chunk of the encoder still ends at a whole character.
    std::wstring cjk(300, L'中');
    std::string out(400, '#');
    SetLastError(0);
    EXPECT_EQ(0, WideCharToMultiByte(936, 0, cjk.data(), 300, &out[0], 257, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(narrow(std::wstring(128, L'中')), out.substr(0, 256));
    EXPECT_EQ('#', out[256]); // the 257th byte would have been half a pair
}

TEST(CodePage, SizeQueries) {
    EXPECT_EQ(4, MultiByteToWideChar(936, 0, ("a" + kZhongWenGbk).c_str(), -1, nullptr, 0));
    EXPECT_EQ(2, MultiByteToWideChar(936, 0, kZhongWenGbk.c_str(), 4, nullptr, 0));
    EXPECT_EQ(5, WideCharToMultiByte(936, 0, L"中文", -1, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(4, WideCharToMultiByte(936, 0, L"中文", 2, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(7, WideCharToMultiByte(CP_UTF8, 0, L"中文", -1, nullptr, 0, nullptr, nullptr));
    // Text after an embedded NUL counts when the length is given.
    EXPECT_EQ(3, MultiByteToWideChar(936, 0, "a\0b", 3, nullptr, 0));
}

TEST(CodePage, NarrowingIntoSmallBufferKeepsWholeCharacters) {
    // Three bytes for two double-byte characters: one character, no half pair.
    char out[8];
    memset(out, '#', sizeof out);
    SetLastError(0);
    EXPECT_EQ(0, WideCharToMultiByte(936, 0, L"中文", 2, out, 3, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(kZhongWenGbk.substr(0, 2), std::string(out, 2));
    EXPECT_EQ('#', out[2]);

    // Room for both characters but not the terminator.
    memset(out, '#', sizeof out);
    EXPECT_EQ(0, WideCharToMultiByte(936, 0, L"中文", -1, out, 4, nullptr, nullptr));
    EXPECT_EQ(kZhongWenGbk, std::string(out, 4));
    EXPECT_EQ('#', out[4]);

    // Exactly enough.
    EXPECT_EQ(5, WideCharToMultiByte(936, 0, L"中文", -1, out, 5, nullptr, nullptr));
    EXPECT_STREQ(kZhongWenGbk.c_str(), out);

    // A three-byte UTF-8 character does not go into two bytes.
    memset(out, '#', sizeof out);
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, 0, L"a中", 2, out, 3, nullptr, nullptr));
    EXPECT_EQ('a', out[0]);
    EXPECT_EQ('#', out[1]);
}

TEST(CodePage, WideningIntoSmallBufferStopsAtItsEnd) {
    wchar_t out[4] = {L'#', L'#', L'#', L'#'};
    SetLastError(0);
    EXPECT_EQ(0, MultiByteToWideChar(936, 0, kZhongWenGbk.c_str(), -1, out, 2));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(L'中', out[0]);
    EXPECT_EQ(L'文', out[1]);
    EXPECT_EQ(L'#', out[2]);

    EXPECT_EQ(0, MultiByteToWideChar(936, 0, "abc", 3, out, 1));
    EXPECT_EQ(L'a', out[0]);
    EXPECT_EQ(L'文', out[1]);
}

TEST(CodePage, InvalidBytesBecomeReplacementCharacters) {
    // 0xFF is no GBK byte; a lead byte at the end lacks its trail; a lead byte
    // before a byte that cannot trail stands alone and the next byte is kept.
    EXPECT_EQ(std::wstring(L"a\uFFFDb"), widen("a\xFF"
                                               "b",
                                               936));
    EXPECT_EQ(std::wstring(L"a\uFFFD"), widen("a\x81", 936));
    EXPECT_EQ(std::wstring(L"\uFFFD0\u4E2D\u6587"), widen("\x81"
                                                          "0" +
                                                              kZhongWenGbk,
                                                          936));
    // A well-formed pair that GBK leaves unassigned is one character: its
    // trail byte 0xA0 must not pair up with the lead byte of the next one.
    EXPECT_EQ(std::wstring(L"x\uFFFD中y"), widen("x\xA2\xA0"
                                                 "\xD6\xD0"
                                                 "y",
                                                 936));
    // The same after a character already converted once in the run.
    EXPECT_EQ(std::wstring(L"中\uFFFDy"), widen("\xD6\xD0\xA2\xA0"
                                                "y",
                                                936));
    // 1252 leaves five bytes undefined.
    EXPECT_EQ(std::wstring(L"x\uFFFDy"), widen("x\x81y", 1252));
    // UTF-8: a truncated sequence, an overlong form and a stray continuation byte.
    EXPECT_EQ(std::wstring(L"\uFFFD("), widen("\xC3(", CP_UTF8));
    EXPECT_EQ(std::wstring(L"\uFFFD\uFFFD"), widen("\xC0\xAF", CP_UTF8));
    EXPECT_EQ(std::wstring(L"\uFFFDa"), widen("\x80"
                                              "a",
                                              CP_UTF8));
}

TEST(CodePage, WideCharactersTheCodePageLacks) {
    // Thai and a character beyond the BMP are not in GBK; a surrogate value is
    // no character at all.
    EXPECT_EQ("a?b?" + kZhongWenGbk, narrow(L"a\u0E01b\U0001F600中文", 936));
    EXPECT_EQ("?", narrow(std::wstring(1, static_cast<wchar_t>(0xD800)), CP_UTF8));
    EXPECT_EQ("?", narrow(L"中", 1252));

    BOOL usedDefault = FALSE;
    char out[8];
    EXPECT_EQ(3, WideCharToMultiByte(936, 0, L"a\u0E01", -1, out, 8, "*", &usedDefault));
    EXPECT_STREQ("a*", out);
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(2, WideCharToMultiByte(936, 0, L"a", -1, out, 8, "*", &usedDefault));
    EXPECT_FALSE(usedDefault);

    // As on Windows, UTF-8 takes neither a default character nor its flag.
    SetLastError(0);
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, 0, L"a", -1, out, 8, "*", nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST(CodePage, Windows1252) {
    EXPECT_EQ(std::wstring(L"café €"), widen("caf\xE9 \x80", 1252));
    EXPECT_EQ("caf\xE9 \x80", narrow(L"café €", 1252));
    ScopedCodePage latin(1252);
    EXPECT_EQ(std::wstring(L"\u00FC"), widen("\xFC"));
}

TEST(CodePage, Utf8) {
    const std::string utf8 = "a\xE4\xB8\xAD\xC3\xA9\xF0\x9F\x98\x80";
    const std::wstring wide = L"a中é\U0001F600";
    EXPECT_EQ(wide, widen(utf8, CP_UTF8));
    EXPECT_EQ(utf8, narrow(wide, CP_UTF8));
    ScopedCodePage utf(CP_UTF8);
    EXPECT_EQ(wide, widen(utf8));
}

TEST(CodePage, InvalidParameters) {
    wchar_t wide[4];
    char bytes[4];
    struct Case {
        const char* what;
        int result;
    } cases[] = {
        {"null source", MultiByteToWideChar(936, 0, nullptr, -1, wide, 4)},
        {"zero length", MultiByteToWideChar(936, 0, "a", 0, wide, 4)},
        {"length -2", MultiByteToWideChar(936, 0, "a", -2, wide, 4)},
        {"null destination with a size", MultiByteToWideChar(936, 0, "a", -1, nullptr, 4)},
        {"negative size", MultiByteToWideChar(936, 0, "a", -1, wide, -1)},
        {"unknown code page", MultiByteToWideChar(437, 0, "a", -1, wide, 4)},
        {"null wide source", WideCharToMultiByte(936, 0, nullptr, -1, bytes, 4, nullptr, nullptr)},
        {"zero wide length", WideCharToMultiByte(936, 0, L"a", 0, bytes, 4, nullptr, nullptr)},
        {"null narrow destination", WideCharToMultiByte(936, 0, L"a", -1, nullptr, 4, nullptr, nullptr)},
        {"unknown narrow code page", WideCharToMultiByte(850, 0, L"a", -1, bytes, 4, nullptr, nullptr)},
    };
    for (const Case& c : cases) EXPECT_EQ(0, c.result) << c.what;
    SetLastError(0);
    MultiByteToWideChar(437, 0, "a", -1, wide, 4);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST(CodePage, ThreadCodePageSelection) {
    EXPECT_EQ(0u, KoSetThreadCodePage(437)); // unknown: unchanged
    EXPECT_EQ(0u, KoSetThreadCodePage(CP_ACP));
    EXPECT_EQ(936u, KoGetThreadCodePage());
    {
        ScopedCodePage latin(1252);
        EXPECT_EQ(1252u, KoGetThreadCodePage());
        // CP_ACP and CP_THREAD_ACP both follow the thread.
        EXPECT_EQ(std::wstring(L"\u00E9"), widen("\xE9", CP_ACP));
        EXPECT_EQ(std::wstring(L"\u00E9"), widen("\xE9", CP_THREAD_ACP));
        EXPECT_FALSE(IsDBCSLeadByteEx(CP_THREAD_ACP, 0xD6));
    }
    EXPECT_EQ(936u, KoGetThreadCodePage());
}

TEST(CodePage, LeadBytes) {
    EXPECT_TRUE(IsDBCSLeadByteEx(936, 0x81));
    EXPECT_TRUE(IsDBCSLeadByteEx(936, 0xFE));
    EXPECT_TRUE(IsDBCSLeadByteEx(CP_THREAD_ACP, 0xD6));
    EXPECT_FALSE(IsDBCSLeadByteEx(936, 0x80)); // the euro sign
    EXPECT_FALSE(IsDBCSLeadByteEx(936, 0xFF));
    EXPECT_FALSE(IsDBCSLeadByteEx(936, 'A'));
    EXPECT_FALSE(IsDBCSLeadByteEx(1252, 0xD6));
    EXPECT_FALSE(IsDBCSLeadByteEx(CP_UTF8, 0xE4));
}

TEST(CodePage, WholeCharPrefix) {
    const std::string text = "a" + kZhongWenGbk; // a 中 文: 1 + 2 + 2 bytes
    EXPECT_EQ(5u, KoWholeCharPrefix(936, text.data(), 5, 9));
    EXPECT_EQ(5u, KoWholeCharPrefix(936, text.data(), 5, 5));
    EXPECT_EQ(3u, KoWholeCharPrefix(936, text.data(), 5, 4));
    EXPECT_EQ(1u, KoWholeCharPrefix(936, text.data(), 5, 2));
    EXPECT_EQ(0u, KoWholeCharPrefix(936, text.data(), 5, 0));
    EXPECT_EQ(4u, KoWholeCharPrefix(1252, text.data(), 5, 4));
    // UTF-8: "é中" is 2 + 3 bytes.
    EXPECT_EQ(2u, KoWholeCharPrefix(CP_UTF8, "\xC3\xA9\xE4\xB8\xAD", 5, 4));
    // A lead byte without a valid trail counts alone.
    EXPECT_EQ(2u, KoWholeCharPrefix(936,
                                    "\x81"
                                    "0x",
                                    3, 2));
    SetLastError(0);
    EXPECT_EQ(0u, KoWholeCharPrefix(437, "abc", 3, 2));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST(CodePage, Utf8Helpers) {
    EXPECT_EQ("\xE4\xB8\xAD\xE6\x96\x87", KoAnsiToUtf8(kZhongWenGbk.c_str()));
    EXPECT_EQ(kZhongWenGbk, KoUtf8ToAnsi("\xE4\xB8\xAD\xE6\x96\x87", 6));
    EXPECT_EQ("a\xEF\xBF\xBD", KoAnsiToUtf8("a\xFF"));
    EXPECT_EQ("", KoAnsiToUtf8(nullptr));
    ScopedCodePage latin(1252);
    EXPECT_EQ("\xC3\xA9", KoAnsiToUtf8("\xE9"));
    EXPECT_EQ("?", KoUtf8ToAnsi("\xE4\xB8\xAD", 3));
}

} // namespace
