// The operations of the access object as a command-line user sees them: UTF-8
// arguments in, plain data out, and a failure with the component's own last
// error text.
#ifndef INTERPLAY_CLI_INTERPLAY_CLIENT_H
#define INTERPLAY_CLI_INTERPLAY_CLIENT_H

#include <stdint.h>

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "ZuInterplayAccess.h"

struct AttributeSpec {
    std::string group;
    std::string name;
    std::string value;
    // "GROUP:NAME=VALUE", or "NAME=VALUE" in the group USER. False if malformed.
    static bool Parse(const std::string& text, AttributeSpec* out);
};

struct ConditionSpec {
    unsigned kind = ZU_SEARCH_EQUALS;
    AttributeSpec attribute;
    // "[GROUP:]NAME<op>VALUE" with op one of = != ~ !~ < > <= >= (~ is
    // "contains"). False if malformed.
    static bool Parse(const std::string& text, ConditionSpec* out);
};

struct LocatorSpec {
    int64_t frame = 0;
    std::string comment;
    std::string color = "Blue";
    std::string track = "V1";
};

struct Result {
    bool ok = true;
    HRESULT code = S_OK;
    std::string error;
    nlohmann::ordered_json data;
    // After a failure: what the last exchange with the service met (the
    // connection interface's runtime code, HTTP status, fault code, string,
    // detail and the runtime's words), only the parts that say something.
    nlohmann::ordered_json transport;
    // What the host makes of a failure (FailureReport): class, words, URL,
    // hint; and the program's exit code for it.
    nlohmann::ordered_json diagnosis;
    int exitCode = 0;
};

class InterplayClient {
public:
    explicit InterplayClient(IZuInterplayAccess* access) : m_access(access) {}

    Result CheckIn(const std::string& file, const std::string& uri,
                   const std::vector<AttributeSpec>& attributes);
    Result CheckInAAF(const std::string& aaf, const std::string& uri,
                      const std::optional<std::string>& headframe,
                      const std::vector<AttributeSpec>& attributes);
    Result CreateFolder(const std::string& uri);
    Result List(const std::string& uri, bool foldersOnly);
    Result GetAttributes(const std::string& uri);
    Result SetAttributes(const std::string& uri, const std::vector<AttributeSpec>& attributes);
    Result GetLocators(const std::string& uri);
    Result AddLocators(const std::string& uri, const std::vector<LocatorSpec>& locators);
    Result RemoveLocator(const std::string& uri, int id);
    Result Search(const std::string& root, bool matchAll, int maxResults,
                  const std::vector<ConditionSpec>& conditions);
    Result GetLatest(const std::string& uri);
    Result GetHeadframe(const std::string& uri);
    Result Duplicate(const std::string& uri, const std::string& folder);
    Result Move(const std::string& uri, const std::string& folder);
    Result Delete(const std::vector<std::string>& uris, bool deleteMedia, bool simulate);

    // The local file behind a path the component handed back.
    static std::string LocalPath(const std::wstring& windowsPath);

private:
    Result Failure(HRESULT code, const char* what);
    nlohmann::ordered_json TransportDetails();
    bool MakeAttributeList(const std::vector<AttributeSpec>& specs, IZuInterplayMobAttributeList** out);
    static nlohmann::ordered_json DescribeAttributes(IZuInterplayMobAttributeList* list);
    static nlohmann::ordered_json DescribeAssets(IZuInterplayAssetsDescriptionsList* list);
    Result FetchedFile(HRESULT code, const wchar_t* path, const char* what);

    IZuInterplayAccess* m_access;
};

#endif // INTERPLAY_CLI_INTERPLAY_CLIENT_H
