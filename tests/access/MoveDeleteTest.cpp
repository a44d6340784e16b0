// Moving assets and deleting the pending delete list's assets, against the
// scripted server.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ServiceTestSupport.h"

using namespace service_test;

namespace {

const char* const kDeleteValueLine = ZU_LOG_DELETE_ASSETS_VALUE;
const char* const kDeleteFalseLine = ZU_LOG_DELETE_ASSETS_FALSE;

using MoveDelete = ServiceTest;

TEST_F(MoveDelete, MoveSendsBothUrisAndNothingElse) {
    LastError() = "before";
    Reply(Response("Move"));
    EXPECT_EQ(S_OK, access->Move(L"interplay://WG/A/clip", L"interplay://WG/Bin"));
    EXPECT_EQ(
        "<types:Move><types:InterplayAssetURI>interplay://WG/A/clip</types:InterplayAssetURI>"
        "<types:InterplayFolderURI>interplay://WG/Bin</types:InterplayFolderURI></types:Move>",
        BodyOf(OnlyRequest()));
    EXPECT_EQ("before", LastError());
    EXPECT_TRUE(Logged().empty());
}

TEST_F(MoveDelete, MoveKeepsTheMessageAndItsOwnFailureText) {
    Reply(Response("Move", Errors("locked", "details")));
    EXPECT_EQ(ZU_E_SERVERERROR, access->Move(L"interplay://WG/A", L"interplay://WG/B"));
    EXPECT_EQ("locked", LastError());

    // An error without a message is no error.
    Reply(Response("Move", Errors("", "details")));
    EXPECT_EQ(S_OK, access->Move(L"interplay://WG/A", L"interplay://WG/B"));
    EXPECT_EQ("", LastError());

    Reply(Fault(), 500);
    EXPECT_EQ(SOAP_SVR_FAULT, access->Move(L"interplay://WG/A", L"interplay://WG/B"));
    EXPECT_EQ(ZU_TEXT_CANNOT_MOVE, LastError());
    EXPECT_EQ(34u, LastError().size());

    Unreachable();
    LastError() = "";
    EXPECT_EQ(SOAP_TCP_ERROR, access->Move(L"interplay://WG/A", L"interplay://WG/B"));
    EXPECT_EQ(ZU_TEXT_CANNOT_MOVE, LastError());
    const wchar_t* text = nullptr;
    ASSERT_EQ(S_OK, access->GetLastErrorText(&text));
    EXPECT_STREQ(
        L"\x65E0\x6CD5\x79FB\x52A8,\x76EE\x6807\x76EE\x5F55\x53EF\x80FD\x5B58\x5728\x540C\x4E00"
        L"\x6587\x4EF6!",
        text);
    EXPECT_TRUE(Logged().empty());
}

TEST_F(MoveDelete, MoveRefusesNullAndCutsLongUris) {
    LastError() = "before";
    EXPECT_EQ(ZU_E_INVALIDARG, access->Move(nullptr, L"interplay://WG/B"));
    EXPECT_EQ(ZU_E_INVALIDARG, access->Move(L"interplay://WG/A", nullptr));
    EXPECT_EQ("before", LastError());
    EXPECT_EQ(0u, server.connections());

    std::wstring asset = std::wstring(258, L'a') + L"\x4E2D";  // 260 bytes: the character goes
    std::wstring folder = std::wstring(257, L'f') + L"\x4E2D"; // 259 bytes: fits
    Reply(Response("Move"));
    EXPECT_EQ(S_OK, access->Move(asset.c_str(), folder.c_str()));
    EXPECT_EQ("<types:Move><types:InterplayAssetURI>" + std::string(258, 'a') +
                  "</types:InterplayAssetURI><types:InterplayFolderURI>" + std::string(257, 'f') +
                  "&#20013;</types:InterplayFolderURI></types:Move>",
              BodyOf(OnlyRequest()));
}

TEST_F(MoveDelete, DeleteSendsThePendingListInOrderEveryTime) {
    access->AddToDeleteList(L"interplay://WG/one");
    access->AddToDeleteList(L"interplay://WG/two");
    access->AddToDeleteList(L"interplay://WG/three");
    const std::string uris =
        "<types:InterplayURIs><types:InterplayURI>interplay://WG/one</types:InterplayURI>"
        "<types:InterplayURI>interplay://WG/two</types:InterplayURI>"
        "<types:InterplayURI>interplay://WG/three</types:InterplayURI></types:InterplayURIs>";
    Reply(Response("DeleteAssets"));
    EXPECT_EQ(S_OK, access->DeleteAssets(true, false));
    Reply(Response("DeleteAssets",
                   "<types:DeletedAssets><types:InterplayURI>x</types:InterplayURI>"
                   "</types:DeletedAssets>"));
    EXPECT_EQ(S_OK, access->DeleteAssets(false, true));

    std::vector<ScriptedServer::Request> requests = Requests();
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ("<types:DeleteAssets>" + uris +
                  "<types:DeleteMedia>true</types:DeleteMedia><types:Simulation>false</types:Simulation>"
                  "</types:DeleteAssets>",
              BodyOf(requests[0]));
    EXPECT_EQ("<types:DeleteAssets>" + uris +
                  "<types:DeleteMedia>false</types:DeleteMedia><types:Simulation>true</types:Simulation>"
                  "</types:DeleteAssets>",
              BodyOf(requests[1]));
    EXPECT_EQ(3u, Peer().deleteListSize());
    EXPECT_TRUE(Logged().empty());
}

TEST_F(MoveDelete, DeleteReadsTheCallersTextsWhenItRunsAndCutsThem) {
    wchar_t uri[] = L"interplay://WG/before";
    access->AddToDeleteList(uri);
    uri[15] = L'B';
    std::wstring longURI = std::wstring(258, L'u') + L"\x4E2D";
    access->AddToDeleteList(longURI.c_str());
    Reply(Response("DeleteAssets"));
    EXPECT_EQ(S_OK, access->DeleteAssets(false, false));
    EXPECT_EQ(
        "<types:InterplayURIs><types:InterplayURI>interplay://WG/Before</types:InterplayURI>"
        "<types:InterplayURI>" +
            std::string(258, 'u') + "</types:InterplayURI></types:InterplayURIs>",
        elementOf(BodyOf(OnlyRequest()), "types:InterplayURIs"));

    // An empty list still sends the element.
    access->ClearDeleteList();
    Reply(Response("DeleteAssets"));
    EXPECT_EQ(S_OK, access->DeleteAssets(false, false));
    EXPECT_EQ(
        "<types:DeleteAssets><types:InterplayURIs></types:InterplayURIs>"
        "<types:DeleteMedia>false</types:DeleteMedia><types:Simulation>false</types:Simulation>"
        "</types:DeleteAssets>",
        BodyOf(Requests().back()));
}

TEST_F(MoveDelete, DeleteFailuresLogAndLeaveTheirTexts) {
    access->AddToDeleteList(L"interplay://WG/one");
    Reply(Response("DeleteAssets", Errors("\xE5\xA4\xB1\xE8\xB4\xA5", "in use")));
    EXPECT_EQ(ZU_E_SERVERERROR, access->DeleteAssets(true, false));
    EXPECT_EQ("in use", LastError());
    EXPECT_EQ((std::vector<std::string>{Line(kDeleteFalseLine, "\xCA\xA7\xB0\xDC"),
                                        Line(kDeleteFalseLine, "in use")}),
              Logged());

    capture.clear();
    Reply(Fault(), 500);
    EXPECT_EQ(SOAP_SVR_FAULT, access->DeleteAssets(true, false));
    EXPECT_EQ(ZU_TEXT_NO_WEB_SERVICE, LastError());
    EXPECT_EQ(
        (std::vector<std::string>{Line(kDeleteValueLine, "2"), Line(kDeleteFalseLine, kNoWebServiceSetuped)}),
        Logged());

    capture.clear();
    Unreachable();
    EXPECT_EQ(SOAP_TCP_ERROR, access->DeleteAssets(true, false));
    EXPECT_EQ((std::vector<std::string>{Line(kDeleteValueLine, "28"),
                                        Line(kDeleteFalseLine, kNoWebServiceSetuped)}),
              Logged());
    EXPECT_EQ(1u, Peer().deleteListSize());
}

TEST_F(MoveDelete, NullEntryInTheListSendsNothing) {
    access->AddToDeleteList(L"interplay://WG/one");
    access->AddToDeleteList(nullptr);
    LastError() = "before";
    EXPECT_EQ(ZU_E_INVALIDARG, access->DeleteAssets(true, true));
    EXPECT_EQ(0u, server.connections());
    EXPECT_EQ("before", LastError());
    EXPECT_EQ(2u, Peer().deleteListSize());
    EXPECT_TRUE(Logged().empty());
}

} // namespace
