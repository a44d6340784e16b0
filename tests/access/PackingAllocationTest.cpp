// With the pools warm, packing a response into result objects allocates
// nothing per asset: the slot makes as many operator new calls as its binding
// alone reading the same response, give or take a few per call, whatever the
// number of assets. operator new is counted on the test's thread.
#include "AllocationCounter.h"
#include "CZuServiceCall.h"
#include "ServiceTestSupport.h"

using namespace service_test;
using namespace ZuAssets;

namespace {

// The results of assets descriptions of ten attributes each, CJK values.
std::string Results(int assets) {
    std::string results = "<types:Results>";
    for (int i = 0; i < assets; ++i) {
        results += "<types:AssetDescription><types:InterplayURI>interplay://WG/\xe7\xb4\xa0\xe6\x9d\x90" +
                   std::to_string(i) + "</types:InterplayURI><types:Attributes>";
        for (int a = 0; a < 10; ++a)
            results += "<types:Attribute Group=\"USER\" Name=\"" +
                       (a % 2 ? "Name" + std::to_string(a) : "\xe5\xb1\x9e\xe6\x80\xa7" + std::to_string(a)) +
                       "\">\xe6\x96\xb0\xe9\x97\xbb " + std::to_string(i * 10 + a) + "</types:Attribute>";
        results += "</types:Attributes></types:AssetDescription>";
    }
    return results + "</types:Results>";
}

class PackingAllocation : public ServiceTest {
protected:
    // The log as a host runs it: the pool events' trace lines are not
    // formatted, let alone kept.
    void SetUp() override {
        ServiceTest::SetUp();
        kodebug::forceFilters(kodebug::Filter::Closed, kodebug::Filter::Closed);
    }

    // What the slot allocates beyond its binding alone, for a response of
    // that many assets, with the pools warm.
    long Beyond(const std::string& operation, int assets) {
        std::string response = Response(operation, Results(assets));
        server.setDefaultReply(ScriptedServer::Reply::http(response));
        server.setRecording(false);
        auto slot = [&] {
            IZuInterplayAssetsDescriptionsList* list = nullptr;
            HRESULT hr = operation == "Search" ? access->Search(&list)
                                               : access->GetChildren(L"interplay://WG/Bench", false, &list);
            EXPECT_EQ(S_OK, hr);
            int count = 0;
            if (list) {
                list->GetCount(&count);
                list->Release();
            }
            EXPECT_EQ(assets, count);
        };
        slot(); // warms the pools
        slot();
        unsigned long bySlot = CountAllocations(slot);
        std::string url = server.url();
        unsigned long byBinding = CountAllocations([&] {
            CZuServiceCall call(url, "editor", "secret", lastErrorText);
            if (operation == "Search") {
                types__SearchType request;
                types__SearchGroupType group;
                request.SearchGroup = &group;
                int limit = 20;
                request.MaxResults = &limit;
                types__SearchResponseType response;
                EXPECT_EQ(S_OK, call.Run(&AssetsPortBinding::__assets__Search, &request, &response));
            } else {
                types__GetChildrenType request;
                request.InterplayURI = "interplay://WG/Bench";
                bool yes = true;
                request.IncludeFolders = request.IncludeFiles = request.IncludeMOBs = &yes;
                types__GetChildrenResponseType response;
                EXPECT_EQ(S_OK, call.Run(&AssetsPortBinding::__assets__GetChildren, &request, &response));
            }
        });
        return static_cast<long>(bySlot) - static_cast<long>(byBinding);
    }

    std::string lastErrorText;
};

TEST_F(PackingAllocation, ChildrenAllocateNothingPerAsset) {
    long few = Beyond("GetChildren", 40);
    long many = Beyond("GetChildren", 400);
    EXPECT_EQ(few, many) << "allocations grow with the assets";
    EXPECT_LE(many, 8);
}

TEST_F(PackingAllocation, SearchAllocatesNothingPerAsset) {
    long few = Beyond("Search", 40);
    long many = Beyond("Search", 400);
    EXPECT_EQ(few, many) << "allocations grow with the assets";
    EXPECT_LE(many, 8);
}

} // namespace
