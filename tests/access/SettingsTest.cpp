// The access object's settings, small slots and text conversions.
#include <gtest/gtest.h>

#include <string>

#include "AccessTestPeer.h"
#include "KoCodePage.h"
#include "ZuResultCodes.h"

namespace {

// 中 in GBK and as a wide character.
const std::string kZhongGbk = "\xD6\xD0";
const wchar_t kZhong = L'\x4E2D';

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        KoSetThreadCodePage(936);
        access = NewAccessObject();
        ASSERT_NE(access, nullptr);
    }
    void TearDown() override {
        if (access) access->Release();
    }
    IZuInterplayAccess* access = nullptr;
};

std::wstring Ascii(size_t n) { return std::wstring(n, L'a'); }

} // namespace

TEST_F(Settings, NewObjectHasDefaultsAndEmptyTexts) {
    CZuInterplayAccessTestPeer peer(access);
    EXPECT_EQ(peer.serviceURL(), "http://localhost/services/Assets");
    EXPECT_EQ(peer.userName(), "");
    EXPECT_EQ(peer.password(), "");
    EXPECT_EQ(peer.searchLimit(), 20);
    const wchar_t* text = nullptr;
    ASSERT_EQ(access->GetLastErrorText(&text), S_OK);
    EXPECT_STREQ(text, L"");
    EXPECT_EQ(access->Reserved13(), S_OK);
    EXPECT_EQ(access->Reserved23(), S_OK);
    EXPECT_EQ(access->Reserved36(), S_OK);
}

TEST_F(Settings, CredentialsNeedAUserNameAndAPassword) {
    CZuInterplayAccessTestPeer peer(access);
    ASSERT_EQ(access->SetCredentials(L"editor", L"secret"), S_OK);
    EXPECT_EQ(access->SetCredentials(nullptr, L"other"), ZU_E_INVALIDARG);
    EXPECT_EQ(access->SetCredentials(L"other", nullptr), ZU_E_INVALIDARG);
    EXPECT_EQ(peer.userName(), "editor");
    EXPECT_EQ(peer.password(), "secret");
    ASSERT_EQ(access->SetCredentials(L"", L""), S_OK);
    EXPECT_EQ(peer.userName(), "");
    EXPECT_EQ(peer.password(), "");
}

TEST_F(Settings, ServiceUrlIsStoredAsGiven) {
    CZuInterplayAccessTestPeer peer(access);
    ASSERT_EQ(access->SetServiceURL(L"not even a url"), S_OK);
    EXPECT_EQ(peer.serviceURL(), "not even a url");
    ASSERT_EQ(access->SetServiceURL(L""), S_OK);
    EXPECT_EQ(peer.serviceURL(), "");
    EXPECT_EQ(access->SetServiceURL(nullptr), ZU_E_INVALIDARG);
    EXPECT_EQ(peer.serviceURL(), "");
}

// Each narrowing buffer keeps at most its size - 1 bytes and never half of a
// double-byte character.
TEST_F(Settings, NarrowingCutsAtWholeCharactersWithinEachBuffer) {
    CZuInterplayAccessTestPeer peer(access);
    for (size_t size : {128u, 256u, 260u}) {
        SCOPED_TRACE(size);
        std::wstring fits = Ascii(size - 3) + kZhong;      // size - 1 bytes
        std::wstring straddles = Ascii(size - 2) + kZhong; // would need size bytes
        std::wstring over = Ascii(size + 10);
        EXPECT_EQ(CZuInterplayAccess::Narrow(fits.c_str(), size), std::string(size - 3, 'a') + kZhongGbk);
        EXPECT_EQ(CZuInterplayAccess::Narrow(straddles.c_str(), size), std::string(size - 2, 'a'));
        EXPECT_EQ(CZuInterplayAccess::Narrow(over.c_str(), size), std::string(size - 1, 'a'));

        std::string viaSlot;
        ASSERT_EQ(access->ToNarrowString(straddles.c_str(), &viaSlot, static_cast<int>(size)), S_OK);
        EXPECT_EQ(viaSlot, std::string(size - 2, 'a'));
    }
    // The slots use their own sizes: 128 for credentials, 256 for the URL.
    std::wstring user = Ascii(126) + kZhong;
    ASSERT_EQ(access->SetCredentials(user.c_str(), user.c_str()), S_OK);
    EXPECT_EQ(peer.userName(), std::string(126, 'a'));
    EXPECT_EQ(peer.password(), std::string(126, 'a'));
    std::wstring url = Ascii(253) + kZhong;
    ASSERT_EQ(access->SetServiceURL(url.c_str()), S_OK);
    EXPECT_EQ(peer.serviceURL(), std::string(253, 'a') + kZhongGbk);
}

TEST_F(Settings, CjkAndLatinTextRoundTrip) {
    std::wstring cjk = L"\x975E\x7F16\x7CFB\x7EDF"; // 非编系统
    std::string narrow;
    ASSERT_EQ(access->ToNarrowString(cjk.c_str(), &narrow, 260), S_OK);
    EXPECT_EQ(narrow, "\xB7\xC7\xB1\xE0\xCF\xB5\xCD\xB3");
    wchar_t back[16];
    ASSERT_EQ(access->ToWideString(narrow, back, 16), S_OK);
    EXPECT_EQ(std::wstring(back), cjk);

    KoSetThreadCodePage(1252);
    ASSERT_EQ(access->ToNarrowString(L"caf\xE9", &narrow, 260), S_OK);
    EXPECT_EQ(narrow, "caf\xE9");
    ASSERT_EQ(access->ToWideString("caf\xE9", back, 16), S_OK);
    EXPECT_STREQ(back, L"caf\xE9");
    KoSetThreadCodePage(936);
}

TEST_F(Settings, ToWideStringFailsWhenTheTextDoesNotFitAndStaysInTheBuffer) {
    wchar_t buffer[8];
    for (wchar_t& c : buffer) c = L'#';
    // Four characters and the terminator need five.
    EXPECT_EQ(access->ToWideString("ab" + kZhongGbk + "c", buffer, 5), S_OK);
    EXPECT_STREQ(buffer,
                 L"ab\x4E2D"
                 L"c");
    for (wchar_t& c : buffer) c = L'#';
    EXPECT_EQ(access->ToWideString("ab" + kZhongGbk + "c", buffer, 4), E_FAIL);
    EXPECT_EQ(buffer[4], L'#');
    EXPECT_EQ(access->ToWideString("x", buffer, 0), E_FAIL);
    EXPECT_EQ(access->ToWideString("x", nullptr, 4), ZU_E_INVALIDARG);
}

TEST_F(Settings, LastErrorTextIsWidenedIntoAtMost256Characters) {
    CZuInterplayAccessTestPeer peer(access);
    const wchar_t* text = nullptr;
    peer.lastErrorText() = std::string(254, 'e') + kZhongGbk + "tail";
    ASSERT_EQ(access->GetLastErrorText(&text), S_OK);
    EXPECT_EQ(std::wstring(text), std::wstring(254, L'e') + kZhong);
    peer.lastErrorText() = std::string(300, 'e');
    ASSERT_EQ(access->GetLastErrorText(&text), S_OK);
    EXPECT_EQ(std::wstring(text), std::wstring(255, L'e'));
    EXPECT_EQ(access->GetLastErrorText(nullptr), ZU_E_INVALIDARG);
}

TEST_F(Settings, DeleteListKeepsTheCallersPointers) {
    CZuInterplayAccessTestPeer peer(access);
    EXPECT_EQ(access->AddToDeleteList(L"interplay://a"), S_OK);
    EXPECT_EQ(access->AddToDeleteList(nullptr), S_OK);
    EXPECT_EQ(peer.deleteListSize(), 2u);
    EXPECT_EQ(access->ClearDeleteList(), S_OK);
    EXPECT_EQ(peer.deleteListSize(), 0u);
}
