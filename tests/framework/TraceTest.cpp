// The component's trace messages and failure notices as the diagnostics
// library receives them.
#include <locale.h>

#include <gtest/gtest.h>

#include <string>

#include "KoCodePage.h"
#include "KoDebugCapture.h"
#include "KoTrace.h"

using kodebug::Filter;
using kodebug::Function;
using kodebug::Kind;
using kodebug::KoDebugCapture;

namespace {
const std::string kZhongGbk = "\xD6\xD0"; // 中
}

TEST(Trace, EachFilterIsAskedForItsOwnLog) {
    KoSetThreadCodePage(936);
    {
        KoDebugCapture capture(Filter::Open, Filter::Closed);
        KoTraceMessage(6044, 1, "value = %d  ! \n", -5);
        ASSERT_EQ(capture.messages().size(), 1u);
        EXPECT_EQ(capture.messages()[0].kind, Kind::Live);
        EXPECT_EQ(capture.messages()[0].text, "value = -5  ! \n");
        EXPECT_EQ(capture.messages()[0].length, 16);
        EXPECT_EQ(capture.messages()[0].category, 6044);
        EXPECT_EQ(capture.calls(Function::FilterLogMessage), 1u);
        EXPECT_EQ(capture.calls(Function::FilterLogToFile), 1u);
        EXPECT_EQ(capture.calls(Function::LogTextToFile), 0u);
    }
    {
        KoDebugCapture capture(Filter::Closed, Filter::Open);
        KoTraceMessage(6017, 1, "%s", "to the file");
        ASSERT_EQ(capture.messages().size(), 1u);
        EXPECT_EQ(capture.messages()[0].kind, Kind::File);
        EXPECT_EQ(capture.messages()[0].text, "to the file");
        EXPECT_EQ(capture.calls(Function::CommitLogBuffer), 0u);
    }
    {
        // Both closed: the two filter questions and nothing else.
        KoDebugCapture capture(Filter::Closed, Filter::Closed);
        KoTraceMessage(6017, 1, "%S %u", L"ignored", 7u);
        EXPECT_EQ(capture.totalCalls(), 2u);
        EXPECT_TRUE(capture.messages().empty());
    }
}

TEST(Trace, WideTextComesOutInTheThreadCodePageWhateverTheLocale) {
    setlocale(LC_ALL, "C");
    KoSetThreadCodePage(936);
    KoDebugCapture capture;
    KoTraceMessage(6044, 1, "CZuInterplayUploading::CheckInAAF , __assets__CreateFolder FALSE = %S  ! \n",
                   L"\x4E2D\x6587 text");
    ASSERT_EQ(capture.messages(Kind::Live).size(), 1u);
    EXPECT_EQ(capture.messages(Kind::Live)[0].text,
              "CZuInterplayUploading::CheckInAAF , __assets__CreateFolder FALSE = " + kZhongGbk +
                  "\xCE\xC4 text  ! \n");
    ASSERT_EQ(capture.messages(Kind::File).size(), 1u);
    EXPECT_EQ(capture.messages(Kind::File)[0].text, capture.messages(Kind::Live)[0].text);
}

TEST(Trace, ConversionsFormatLikePrintf) {
    KoDebugCapture capture(Filter::Open, Filter::Closed);
    KoTraceMessage(6017, 1, "%S POOL ALLOCATED: %u USED: %u FREE: %u|%x|%5d|%-3s|%lld|%%|%c|%ls",
                   L"CZuInterplayMobAttribute", 21u, 1u, 4294967294u, 0x88888fffu, 42, "ab",
                   static_cast<long long>(1) << 40, 'Z', L"w");
    ASSERT_EQ(capture.messages().size(), 1u);
    EXPECT_EQ(capture.messages()[0].text,
              "CZuInterplayMobAttribute POOL ALLOCATED: 21 USED: 1 FREE: 4294967294|88888fff|   42|ab "
              "|1099511627776|%|Z|w");
}

TEST(Trace, LongTextsAreCutAtAWholeCharacterWithinTheBuffer) {
    KoSetThreadCodePage(936);
    KoDebugCapture capture(Filter::Open, Filter::Open);
    const int capacity = kodebug::logBufferCapacity();
    ASSERT_GT(capacity, 8);
    const size_t room = static_cast<size_t>(capacity) - 1;

    // Exactly fills the buffer: nothing is cut.
    std::string fits(room - 2, 'a');
    KoTraceMessage(6044, 1, "%s%S", fits.c_str(), L"\x4E2D");
    // One byte more: the double-byte character no longer fits and goes whole.
    std::string over(room - 1, 'a');
    KoTraceMessage(6044, 1, "%s%S", over.c_str(), L"\x4E2D");
    // A wide argument far beyond the buffer.
    KoTraceMessage(6044, 1, "x%S", std::wstring(3000, L'\x4E2D').c_str());

    auto live = capture.messages(Kind::Live);
    auto file = capture.messages(Kind::File);
    ASSERT_EQ(live.size(), 3u);
    ASSERT_EQ(file.size(), 3u);
    EXPECT_EQ(live[0].text, fits + kZhongGbk);
    EXPECT_EQ(live[0].length, capacity);
    EXPECT_EQ(live[1].text, over);
    // The length counts what was kept, so no NUL is ever passed as text.
    EXPECT_EQ(live[1].length, capacity - 1);
    // "x" then whole characters: an odd number of bytes at most room.
    EXPECT_EQ(live[2].text.size(), room % 2 ? room : room - 1);
    EXPECT_EQ(live[2].text.substr(live[2].text.size() - 2), kZhongGbk);
    EXPECT_EQ(live[2].length, static_cast<int>(live[2].text.size()) + 1);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(file[i].text, live[i].text);
}

TEST(Trace, AnUnknownConversionEndsTheText) {
    KoDebugCapture capture(Filter::Open, Filter::Closed);
    KoTraceMessage(6044, 1, "before %q after %d", 5);
    ASSERT_EQ(capture.messages().size(), 1u);
    EXPECT_EQ(capture.messages()[0].text, "before ");
}

TEST(Trace, FailureNoticesCarryCodeSourceAndLine) {
    KoDebugCapture capture;
    KoNotifyFailure("CZuInterplayObject::OnReturnToPool ERROR ! Failed to flush node",
                    static_cast<HRESULT>(0x80004005));
    KoNotifyFailureAt("CZuInterplayObjectManager::GetInterplayObject - GetTypedElement failed!",
                      static_cast<HRESULT>(0x8888806F), "src\\CZuInterplayObjectManager", 119);
    auto notices = capture.messages(Kind::Notice);
    auto located = capture.messages(Kind::NoticeWithFile);
    ASSERT_EQ(notices.size(), 1u);
    ASSERT_EQ(located.size(), 1u);
    EXPECT_EQ(notices[0].text,
              "CZuInterplayObject::OnReturnToPool ERROR ! Failed to flush node hr=80004005.");
    EXPECT_EQ(located[0].text,
              "CZuInterplayObjectManager::GetInterplayObject - GetTypedElement failed! hr=8888806f."
              "File : src\\CZuInterplayObjectManager. LINE : 119");
}
