// The simulator as the component's own binding meets it: requests with the
// module's double-byte text as character references, answers read back into
// the thread's code page (GBK here), the credentials header in that form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AssetsPortBinding.h"
#include "AssetsSimulator.h"
#include "KoCodePage.h"
#include "KoPlatform.h"

using namespace ZuAssets;

namespace {

// GBK bytes of the texts used here.
const std::string kNews = "\xD0\xC2\xCE\xC5";     // 新闻
const std::string kTitle = "\xB1\xEA\xCC\xE2";    // 标题
const std::string kEditor = "\xB1\xE0\xBC\xAD";   // 编辑
const std::string kPassword = "\xC3\xDC\xC2\xEB"; // 密码

class Binding : public AssetsPortBinding {
public:
    Binding(const std::string& url, const std::string& user, const std::string& password) : m_url(url) {
        endpoint = m_url.c_str();
        SetCredentials(user, password);
    }

private:
    std::string m_url;
};

// The attributes checked in and read back: text the server stores and returns
// as UTF-8, whatever character it begins with (characters below U+0100
// included).
struct Attribute {
    std::string group, name, value;
    bool operator==(const Attribute& other) const {
        return group == other.group && name == other.name && value == other.value;
    }
};

std::string Gbk(const std::string& utf8) { return KoUtf8ToAnsi(utf8.data(), utf8.size()); }

std::vector<Attribute> Attributes() {
    return {{"USER", kTitle, "A " + kNews},
            {Gbk("用户组"), Gbk("V2版本"), Gbk("30°C")},
            {"USER", Gbk("Café×"), Gbk("3×4 长")},
            {Gbk("Café"), Gbk("张·三"), Gbk("§1 Café")}};
}

void PrintTo(const Attribute& a, std::ostream* os) { *os << a.group << "|" << a.name << "|" << a.value; }

template <class Response>
std::string MessageOf(const Response& response) {
    return response.Errors && !response.Errors->Error.empty() ? response.Errors->Error[0]->Message : "";
}

} // namespace

TEST(AssetsSimulatorBindingTest, TheModulesRequestsAndItsReadingOfAnswersAgree) {
    unsigned previous = KoSetThreadCodePage(936);
    assets_sim::Options options;
    options.users = {{"编辑", "密码"}};
    assets_sim::AssetsSimulator sim(options);
    ASSERT_TRUE(sim.Start());
    const std::string projects = "interplay://Workgroup/Projects";

    {
        Binding binding(sim.ServiceURL(), kEditor, kPassword);
        types__CreateFolderType request;
        types__CreateFolderResponseType response;
        request.InterplayURI = projects + "/" + kNews;
        ASSERT_EQ(binding.__assets__CreateFolder(&request, &response), SOAP_OK);
        EXPECT_EQ(MessageOf(response), "");
        EXPECT_TRUE(sim.Exists(projects + "/新闻"));
    }

    std::string asset;
    {
        Binding binding(sim.ServiceURL(), kEditor, kPassword);
        types__CheckInAAFType request;
        types__CheckInAAFResponseType response;
        unsigned char aaf[] = {0, 1, 2, 0xFF};
        request.InterplayURI = projects + "/" + kNews;
        request.AAF.__ptr = aaf;
        request.AAF.__size = sizeof aaf;
        request.Attributes = soap_new_types__AttributeListType(binding.soap);
        for (const Attribute& row : Attributes()) {
            types__AttributeType* attribute = soap_new_types__AttributeType(binding.soap);
            attribute->Group = row.group;
            attribute->Name = row.name;
            attribute->__item = row.value;
            request.Attributes->Attribute.push_back(attribute);
        }
        ASSERT_EQ(binding.__assets__CheckInAAF(&request, &response), SOAP_OK);
        ASSERT_EQ(MessageOf(response), "");
        ASSERT_TRUE(response.InterplayURI);
        asset = *response.InterplayURI;
    }
    {
        Binding binding(sim.ServiceURL(), kEditor, kPassword);
        types__GetChildrenType request;
        types__GetChildrenResponseType response;
        bool yes = true;
        request.InterplayURI = projects + "/" + kNews;
        request.IncludeFolders = request.IncludeFiles = request.IncludeMOBs = &yes;
        ASSERT_EQ(binding.__assets__GetChildren(&request, &response), SOAP_OK);
        ASSERT_TRUE(response.Results);
        ASSERT_EQ(response.Results->AssetDescription.size(), 1u);
        EXPECT_EQ(response.Results->AssetDescription[0]->InterplayURI, asset);
        std::vector<Attribute> back;
        for (const types__AttributeType* a : response.Results->AssetDescription[0]->Attributes->Attribute) {
            if (a->Group != "SYSTEM") back.push_back({a->Group, a->Name, a->__item});
            if (a->Name == "Creator") {
                EXPECT_EQ(a->__item, kEditor);
            }
        }
        EXPECT_EQ(back, Attributes());
    }
    {
        Binding binding(sim.ServiceURL(), kEditor, "wrong");
        types__GetLatestType request;
        types__GetLatestResponseType response;
        request.InterplayURI = asset;
        ASSERT_EQ(binding.__assets__GetLatest(&request, &response), SOAP_OK);
        EXPECT_EQ(MessageOf(response), "The user name or password is wrong.");
        EXPECT_FALSE(response.File);
    }
    KoSetThreadCodePage(previous);
}
