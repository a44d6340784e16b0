// Operations on several threads at once, each with its own binding and its own
// code page: nothing is shared but the scripted server.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "CZuServiceCall.h"
#include "ScriptedServer.h"
#include "SoapTestSupport.h"

using namespace ZuAssets;

namespace {

TEST(SoapConcurrency, ThreadsCallWithTheirOwnCodePages) {
    ScriptedServer server;
    server.setRecording(false);
    server.setDefaultReply(ScriptedServer::Reply::http(
        soap11("<types:GetChildrenResponse><types:Results><types:AssetDescription>"
               "<types:InterplayURI>\xe4\xb8\xad&#x6587;</types:InterplayURI><types:Attributes>"
               "<types:Attribute Group=\"G\" Name=\"\xe4\xb8\xad\xe6\x96\x87\">\xe4\xb8\xad</types:Attribute>"
               "</types:Attributes></types:AssetDescription></types:Results></types:GetChildrenResponse>")));
    const unsigned codePages[] = {936, 65001, 936, 65001};
    const std::string expected[] = {"\xd6\xd0\xce\xc4", "\xe4\xb8\xad\xe6\x96\x87"};
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            ThreadCodePage codePage(codePages[t]);
            for (int i = 0; i < 25; ++i) {
                std::string lastErrorText;
                CZuServiceCall call(server.url(), "u", "p", lastErrorText);
                types__GetChildrenType request;
                request.InterplayURI = "interplay://WG";
                types__GetChildrenResponseType response;
                HRESULT hr = call.Run(&AssetsPortBinding::__assets__GetChildren, &request, &response);
                const std::string& want = expected[t % 2];
                bool ok = hr == S_OK && response.Results && response.Results->AssetDescription.size() == 1 &&
                          response.Results->AssetDescription[0]->InterplayURI == want &&
                          response.Results->AssetDescription[0]->Attributes->Attribute[0]->Name == want;
                if (!ok) ++failures[t];
            }
        });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0}), failures);
    EXPECT_EQ(100u, server.connections());
}

} // namespace
