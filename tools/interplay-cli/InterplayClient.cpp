#include "InterplayClient.h"

#include <string.h>

#include "KoCodePage.h"
#include "KoFileApi.h"
#include "Text.h"

using json = nlohmann::ordered_json;

namespace {

// Holds one reference for the duration of a call.
template <class T>
struct Ref {
    Ref() = default;
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    T* p = nullptr;
    ~Ref() {
        if (p) p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
};

std::string Text(const wchar_t* wide) { return Utf8(wide); }

const struct {
    const char* op;
    unsigned kind;
} kOperators[] = {
    // Longest first, so "<=" is not read as "<".
    {"!=", ZU_SEARCH_NOT_EQUALS},
    {"!~", ZU_SEARCH_NOT_CONTAINS},
    {"<=", ZU_SEARCH_LESS_THAN_OR_EQUAL_TO},
    {">=", ZU_SEARCH_GREATER_THAN_OR_EQUAL_TO},
    {"=", ZU_SEARCH_EQUALS},
    {"~", ZU_SEARCH_CONTAINS},
    {"<", ZU_SEARCH_LESS_THAN},
    {">", ZU_SEARCH_GREATER_THAN},
};

bool SplitGroup(const std::string& text, std::string* group, std::string* name) {
    size_t colon = text.find(':');
    *group = colon == std::string::npos ? "USER" : text.substr(0, colon);
    *name = colon == std::string::npos ? text : text.substr(colon + 1);
    return !name->empty() && !group->empty();
}

} // namespace

bool AttributeSpec::Parse(const std::string& text, AttributeSpec* out) {
    size_t eq = text.find('=');
    if (eq == std::string::npos) return false;
    out->value = text.substr(eq + 1);
    return SplitGroup(text.substr(0, eq), &out->group, &out->name);
}

bool ConditionSpec::Parse(const std::string& text, ConditionSpec* out) {
    size_t best = std::string::npos;
    size_t bestLength = 0;
    for (const auto& entry : kOperators) {
        size_t at = text.find(entry.op);
        if (at == std::string::npos) continue;
        size_t length = strlen(entry.op);
        if (at < best || (at == best && length > bestLength)) {
            best = at;
            bestLength = length;
            out->kind = entry.kind;
        }
    }
    if (best == std::string::npos) return false;
    out->attribute.value = text.substr(best + bestLength);
    return SplitGroup(text.substr(0, best), &out->attribute.group, &out->attribute.name);
}

Result InterplayClient::Failure(HRESULT code, const char* what) {
    Result result;
    result.ok = false;
    result.code = code;
    const wchar_t* text = nullptr;
    std::string detail;
    if (m_access->GetLastErrorText(&text) == S_OK && text && *text) detail = Text(text);
    result.error = std::string(what) + " failed (" + HexCode(code) + ")";
    if (!detail.empty()) result.error += ": " + detail;
    result.transport = TransportDetails();
    return result;
}

nlohmann::ordered_json InterplayClient::TransportDetails() {
    nlohmann::ordered_json details = nlohmann::ordered_json::object();
    Ref<IZuInterplayConnection> connection;
    if (FAILED(m_access->QueryInterface(IID_IZuInterplayConnection, reinterpret_cast<void**>(&connection))))
        return details;
    int code = 0, status = 0;
    connection->GetLastTransportError(&code, &status);
    if (code == 0) return details;
    details["runtime code"] = code;
    if (status) details["HTTP status"] = status;
    const struct {
        int kind;
        const char* name;
    } texts[] = {{ZU_TRANSPORT_FAULT_CODE, "fault code"},
                 {ZU_TRANSPORT_FAULT_STRING, "fault string"},
                 {ZU_TRANSPORT_FAULT_DETAIL, "fault detail"},
                 {ZU_TRANSPORT_RUNTIME_WORDS, "runtime"}};
    for (const auto& text : texts) {
        int needed = 0;
        if (connection->GetLastTransportText(text.kind, nullptr, 0, &needed) != S_OK || needed <= 1) continue;
        std::wstring value(static_cast<size_t>(needed), L'\0');
        if (connection->GetLastTransportText(text.kind, &value[0], needed, nullptr) != S_OK) continue;
        value.resize(static_cast<size_t>(needed - 1));
        details[text.name] = Text(value.c_str());
    }
    return details;
}

bool InterplayClient::MakeAttributeList(const std::vector<AttributeSpec>& specs,
                                        IZuInterplayMobAttributeList** out) {
    if (FAILED(m_access->CreateMobAttributeList(out))) return false;
    for (const AttributeSpec& spec : specs) {
        Ref<IZuInterplayMobAttribute> attribute;
        if (FAILED(m_access->CreateMobAttribute(&attribute))) return false;
        attribute->SetGroup(Wide(spec.group).c_str());
        attribute->SetName(Wide(spec.name).c_str());
        attribute->SetValue(Wide(spec.value).c_str());
        (*out)->Add(attribute.p);
    }
    return true;
}

json InterplayClient::DescribeAttributes(IZuInterplayMobAttributeList* list) {
    json rows = json::array();
    int count = 0;
    if (!list || FAILED(list->GetCount(&count))) return rows;
    for (int i = 0; i < count; ++i) {
        Ref<IZuInterplayMobAttribute> attribute;
        if (list->GetItem(i, &attribute) != S_OK || !attribute) continue;
        const wchar_t *group = nullptr, *name = nullptr, *value = nullptr;
        attribute->GetGroup(&group);
        attribute->GetName(&name);
        attribute->GetValue(&value);
        rows.push_back({{"group", Text(group)}, {"name", Text(name)}, {"value", Text(value)}});
    }
    return rows;
}

json InterplayClient::DescribeAssets(IZuInterplayAssetsDescriptionsList* list) {
    json rows = json::array();
    int count = 0;
    if (!list || FAILED(list->GetCount(&count))) return rows;
    for (int i = 0; i < count; ++i) {
        Ref<IZuInterplayAssetDescription> asset;
        if (list->GetItem(i, &asset) != S_OK || !asset) continue;
        const wchar_t* uri = nullptr;
        asset->GetInterplayURI(&uri);
        Ref<IZuInterplayMobAttributeList> attributes;
        json described =
            asset->GetAttributeList(&attributes) == S_OK ? DescribeAttributes(attributes.p) : json::array();
        // The server's own name and type of the item lead the row.
        std::string name, type;
        for (const json& a : described) {
            if (a["group"] != "SYSTEM") continue;
            if (a["name"] == "Name") name = a["value"];
            if (a["name"] == "Type") type = a["value"];
        }
        rows.push_back({{"name", name}, {"type", type}, {"uri", Text(uri)}, {"attributes", described}});
    }
    return rows;
}

std::string InterplayClient::LocalPath(const std::wstring& windowsPath) {
    int bytes = WideCharToMultiByte(CP_THREAD_ACP, 0, windowsPath.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string narrow(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_THREAD_ACP, 0, windowsPath.c_str(), -1, &narrow[0], bytes, nullptr, nullptr);
    return KoMapWindowsPath(narrow.c_str());
}

Result InterplayClient::CheckIn(const std::string& file, const std::string& uri,
                                const std::vector<AttributeSpec>& attributes) {
    Ref<IZuInterplayMobAttributeList> list;
    if (!attributes.empty() && !MakeAttributeList(attributes, &list)) return Failure(ZU_E_FAILED, "CheckIn");
    HRESULT hr = m_access->CheckIn(Wide(file).c_str(), Wide(uri).c_str(), list.p);
    if (hr != S_OK) return Failure(hr, "CheckIn");
    Result result;
    result.data = {{"file", file}, {"uri", uri}};
    return result;
}

Result InterplayClient::CheckInAAF(const std::string& aaf, const std::string& uri,
                                   const std::optional<std::string>& headframe,
                                   const std::vector<AttributeSpec>& attributes) {
    Ref<IZuInterplayMobAttributeList> list;
    if (!attributes.empty() && !MakeAttributeList(attributes, &list))
        return Failure(ZU_E_FAILED, "CheckInAAF");
    std::wstring headframePath = headframe ? Wide(*headframe) : std::wstring();
    const wchar_t* newURI = nullptr;
    HRESULT hr = m_access->CheckInAAFEx(Wide(aaf).c_str(), Wide(uri).c_str(), list.p,
                                        headframe ? headframePath.c_str() : nullptr, &newURI);
    if (hr != S_OK) return Failure(hr, "CheckInAAF");
    Result result;
    result.data = {{"file", aaf}, {"uri", newURI ? Text(newURI) : std::string()}};
    return result;
}

Result InterplayClient::CreateFolder(const std::string& uri) {
    HRESULT hr = m_access->CreateFolder(Wide(uri).c_str());
    if (hr != S_OK) return Failure(hr, "CreateFolder");
    Result result;
    result.data = {{"uri", uri}};
    return result;
}

Result InterplayClient::List(const std::string& uri, bool foldersOnly) {
    Ref<IZuInterplayAssetsDescriptionsList> list;
    HRESULT hr = m_access->GetChildren(Wide(uri).c_str(), foldersOnly, &list);
    if (hr != S_OK || !list) return Failure(hr, "GetChildren");
    Result result;
    result.data = DescribeAssets(list.p);
    return result;
}

Result InterplayClient::GetAttributes(const std::string& uri) {
    Ref<IZuInterplayMobAttributeList> list;
    HRESULT hr = m_access->GetAttributes(Wide(uri).c_str(), &list);
    if (hr != S_OK) return Failure(hr, "GetAttributes");
    Result result;
    result.data = DescribeAttributes(list.p);
    return result;
}

Result InterplayClient::SetAttributes(const std::string& uri, const std::vector<AttributeSpec>& attributes) {
    Ref<IZuInterplayMobAttributeList> list;
    if (!MakeAttributeList(attributes, &list)) return Failure(ZU_E_FAILED, "SetAttributes");
    HRESULT hr = m_access->SetAttributes(Wide(uri).c_str(), list.p);
    if (hr != S_OK) return Failure(hr, "SetAttributes");
    Result result;
    result.data = {{"uri", uri}, {"attributes", DescribeAttributes(list.p)}};
    return result;
}

Result InterplayClient::GetLocators(const std::string& uri) {
    Ref<IZuInterplayMobLocatorList> list;
    HRESULT hr = m_access->GetLocators(Wide(uri).c_str(), &list);
    if (hr != S_OK || !list) return Failure(hr, "GetLocators");
    // The list comes with two references and each locator with one beyond the
    // list's own: all of them are the host's to give back.
    struct ReleaseSecond {
        IZuInterplayMobLocatorList* list;
        ~ReleaseSecond() { list->Release(); }
    } second{list.p};
    Result result;
    result.data = json::array();
    int count = 0;
    list->GetCount(&count);
    for (int i = 0; i < count; ++i) {
        IZuInterplayMobLocator* locator = nullptr; // the list's own pointer
        if (list->GetItem(i, &locator) != S_OK || !locator) continue;
        int id = 0;
        int64_t frame = 0;
        const wchar_t *timecode = nullptr, *user = nullptr, *comment = nullptr, *color = nullptr,
                      *track = nullptr;
        locator->GetLocatorID(&id);
        locator->GetFrameNumber(&frame);
        locator->GetTimecode(&timecode);
        locator->GetUsername(&user);
        locator->GetComment(&comment);
        locator->GetColor(&color);
        locator->GetTrack(&track);
        result.data.push_back({{"id", id},
                               {"frame", frame},
                               {"timecode", Text(timecode)},
                               {"user", Text(user)},
                               {"comment", Text(comment)},
                               {"color", Text(color)},
                               {"track", Text(track)}});
        locator->Release();
    }
    return result;
}

Result InterplayClient::AddLocators(const std::string& uri, const std::vector<LocatorSpec>& locators) {
    Ref<IZuInterplayMobLocatorList> list;
    if (FAILED(m_access->CreateMobLocatorList(&list))) return Failure(ZU_E_FAILED, "AddLocators");
    for (const LocatorSpec& spec : locators) {
        Ref<IZuInterplayMobLocator> locator;
        if (FAILED(m_access->CreateMobLocator(&locator))) return Failure(ZU_E_FAILED, "AddLocators");
        locator->SetFrameNumber(spec.frame);
        locator->SetComment(Wide(spec.comment).c_str());
        locator->SetColor(Wide(spec.color).c_str());
        locator->SetTrack(Wide(spec.track).c_str());
        list->Add(locator.p);
    }
    HRESULT hr = m_access->AddLocators(Wide(uri).c_str(), list.p);
    // CreateMobLocatorList handed out a second reference to the list.
    list->Release();
    if (hr != S_OK) return Failure(hr, "AddLocators");
    Result result;
    result.data = {{"uri", uri}, {"added", locators.size()}};
    return result;
}

Result InterplayClient::RemoveLocator(const std::string& uri, int id) {
    HRESULT hr = m_access->RemoveLocators(Wide(uri).c_str(), id);
    if (hr != S_OK) return Failure(hr, "RemoveLocators");
    Result result;
    result.data = {{"uri", uri}, {"removed", id}};
    return result;
}

Result InterplayClient::Search(const std::string& root, bool matchAll, int maxResults,
                               const std::vector<ConditionSpec>& conditions) {
    std::wstring wideRoot = Wide(root);
    HRESULT hr =
        m_access->SetSearchOptions(wideRoot.c_str(), matchAll ? ZU_SEARCH_AND : ZU_SEARCH_OR, maxResults);
    if (hr != S_OK) return Failure(hr, "SetSearchOptions");
    // The access object borrows the conditions: they are released only after
    // the next SetSearchOptions has made it forget them.
    std::vector<Ref<IZuInterplayMobAttribute>> held(conditions.size());
    struct Forget {
        IZuInterplayAccess* access;
        ~Forget() { access->SetSearchOptions(L"", ZU_SEARCH_OR, 20); }
    } forget{m_access};
    for (size_t i = 0; i < conditions.size(); ++i) {
        if (FAILED(m_access->CreateMobAttribute(&held[i]))) return Failure(ZU_E_FAILED, "Search");
        held[i]->SetGroup(Wide(conditions[i].attribute.group).c_str());
        held[i]->SetName(Wide(conditions[i].attribute.name).c_str());
        held[i]->SetValue(Wide(conditions[i].attribute.value).c_str());
        m_access->AddSearchCondition(conditions[i].kind, held[i].p);
    }
    Ref<IZuInterplayAssetsDescriptionsList> list;
    hr = m_access->Search(&list);
    // A server error leaves no list and only the last error text to tell.
    if (hr != S_OK || !list) return Failure(hr == S_OK ? ZU_E_SERVERERROR : hr, "Search");
    Result result;
    result.data = DescribeAssets(list.p);
    return result;
}

Result InterplayClient::FetchedFile(HRESULT code, const wchar_t* path, const char* what) {
    if (code != S_OK || !path) return Failure(code == S_OK ? ZU_E_SERVERERROR : code, what);
    Result result;
    std::wstring windowsPath = path;
    result.data = {{"path", Text(windowsPath.c_str())}, {"local", LocalPath(windowsPath)}};
    return result;
}

Result InterplayClient::GetLatest(const std::string& uri) {
    const wchar_t* path = nullptr;
    HRESULT hr = m_access->GetLatest(Wide(uri).c_str(), &path);
    return FetchedFile(hr, path, "GetLatest");
}

Result InterplayClient::GetHeadframe(const std::string& uri) {
    const wchar_t* path = nullptr;
    HRESULT hr = m_access->GetHeadframe(Wide(uri).c_str(), &path);
    return FetchedFile(hr, path, "GetHeadframe");
}

Result InterplayClient::Duplicate(const std::string& uri, const std::string& folder) {
    const wchar_t* copy = nullptr;
    HRESULT hr = m_access->Duplicate(Wide(uri).c_str(), Wide(folder).c_str(), &copy);
    if (hr != S_OK) return Failure(hr, "Duplicate");
    Result result;
    result.data = {{"uri", copy ? Text(copy) : std::string()}};
    return result;
}

Result InterplayClient::Move(const std::string& uri, const std::string& folder) {
    HRESULT hr = m_access->Move(Wide(uri).c_str(), Wide(folder).c_str());
    if (hr != S_OK) return Failure(hr, "Move");
    Result result;
    result.data = {{"uri", uri}, {"folder", folder}};
    return result;
}

Result InterplayClient::Delete(const std::vector<std::string>& uris, bool deleteMedia, bool simulate) {
    // The access object keeps the pointers, not the texts: they must live
    // until DeleteAssets has run.
    std::vector<std::wstring> wide;
    wide.reserve(uris.size());
    m_access->ClearDeleteList();
    for (const std::string& uri : uris) {
        wide.push_back(Wide(uri));
        m_access->AddToDeleteList(wide.back().c_str());
    }
    HRESULT hr = m_access->DeleteAssets(deleteMedia, simulate);
    m_access->ClearDeleteList();
    if (hr != S_OK) return Failure(hr, "DeleteAssets");
    Result result;
    result.data = {{"deleted", uris}, {"simulation", simulate}};
    return result;
}
