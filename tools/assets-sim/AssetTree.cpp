#include "AssetTree.h"

#include <stdio.h>
#include <time.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "SearchFilter.h"

namespace assets_sim {

enum class Kind { Folder, File, Sequence };

struct AssetTree::Node {
    Kind kind = Kind::Folder;
    std::string name;
    Node* parent = nullptr;
    std::string created;
    std::string creator;
    // Attributes set by clients, in the order first set.
    AttributeList attributes;

    // Folders: children by name.
    std::map<std::string, std::unique_ptr<Node>> children;

    // Assets.
    std::string mobId;
    std::string modified;
    int version = 1;
    // The stored bytes; empty once dropped by DeleteMedia.
    std::optional<std::string> media;
    std::optional<std::string> headframe;
    // File name extension of the stored media, ".aaf" for sequences.
    std::string extension;
    std::vector<Locator> locators;

    bool IsFolder() const { return kind == Kind::Folder; }
};

namespace {

const char kMobIdQuery[] = "?mobid=";
const char kMediaRoot[] = "/media/";

const char* TypeName(Kind kind) {
    switch (kind) {
    case Kind::Folder:
        return "folder";
    case Kind::File:
        return "file";
    case Kind::Sequence:
        return "sequence";
    }
    return "";
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

ServiceError Error(const char* code, const std::string& uri, std::string message, std::string details) {
    return ServiceError{code, uri, std::move(message), std::move(details)};
}

ServiceError NotFound(const std::string& uri) {
    return Error(kErrorNotFound, uri, "Nothing exists at " + Quoted(uri) + ".",
                 "No folder or asset has the URI " + Quoted(uri) +
                     "; it may have been moved or deleted, or the URI is mistyped.");
}

// Why a name cannot name a folder or asset; empty if it can.
std::string NameProblem(const std::string& name) {
    if (name.empty()) return "a name must not be empty";
    if (name == "." || name == "..") return "\".\" and \"..\" are not names";
    for (unsigned char c : name) {
        if (c == '/') return "a name must not contain \"/\"";
        if (c < 0x20 || c == 0x7F) return "a name must not contain control characters";
    }
    return "";
}

ServiceError BadName(const std::string& uri, const std::string& name, const std::string& problem) {
    return Error(kErrorInvalidArgument, uri, Quoted(name) + " cannot be used as a name.",
                 "The name " + Quoted(name) + " was refused: " + problem + ".");
}

std::string Extension(const std::string& name) {
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) return "";
    return name.substr(dot);
}

std::string SystemTime() {
    time_t now = time(nullptr);
    struct tm parts;
    gmtime_r(&now, &parts);
    char text[32];
    strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

bool IsSystem(const Attribute& attribute) { return attribute.group == kSystemGroup; }

// The attributes a client sent, checked: each needs a name; SYSTEM ones are
// refused (refuseSystem) or left out.
Status ClientAttributes(const AttributeList& sent, const std::string& uri, bool refuseSystem,
                        AttributeList* kept) {
    kept->clear();
    for (const Attribute& attribute : sent) {
        if (attribute.name.empty())
            return Error(kErrorInvalidArgument, uri, "An attribute without a name was sent.",
                         "Every attribute needs a name; the one with the value " + Quoted(attribute.value) +
                             " has none.");
        if (IsSystem(attribute)) {
            if (refuseSystem)
                return Error(
                    kErrorReadOnly, uri,
                    "The attribute " + Quoted(attribute.name) + " of the group SYSTEM cannot be set.",
                    "Attributes of the group SYSTEM are kept by the server; set attributes of "
                    "another group instead.");
            continue;
        }
        Attribute copy = attribute;
        if (copy.group.empty()) copy.group = kUserGroup;
        kept->push_back(std::move(copy));
    }
    return std::nullopt;
}

} // namespace

AssetTree::AssetTree(std::string workgroup)
    : m_rootUri("interplay://" + workgroup),
      m_root(std::make_unique<Node>()),
      m_random(std::random_device{}()) {
    m_root->name = workgroup;
    m_root->created = Now();
    m_root->creator = "system";
    auto projects = std::make_unique<Node>();
    projects->name = "Projects";
    projects->created = m_root->created;
    projects->creator = "system";
    Attach(m_root.get(), std::move(projects));
}

AssetTree::~AssetTree() = default;

std::string AssetTree::Now() const { return m_clock ? m_clock() : SystemTime(); }

AssetTree::Node* AssetTree::Find(const std::string& uri) const {
    if (uri.compare(0, m_rootUri.size(), m_rootUri) != 0) return nullptr;
    std::string rest = uri.substr(m_rootUri.size());
    if (rest.compare(0, sizeof kMobIdQuery - 1, kMobIdQuery) == 0) {
        std::string id = rest.substr(sizeof kMobIdQuery - 1);
        for (char& c : id) {
            if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
        }
        auto found = m_assets.find(id);
        return found == m_assets.end() ? nullptr : found->second;
    }
    if (rest.empty() || rest == "/") return m_root.get();
    if (rest[0] != '/') return nullptr;
    if (rest.back() == '/') rest.pop_back();
    Node* node = m_root.get();
    size_t start = 1;
    while (node) {
        size_t slash = rest.find('/', start);
        std::string name = rest.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (name.empty() || !node->IsFolder()) return nullptr;
        auto child = node->children.find(name);
        node = child == node->children.end() ? nullptr : child->second.get();
        if (slash == std::string::npos) break;
        start = slash + 1;
    }
    return node;
}

bool AssetTree::SplitPath(const std::string& uri, std::string* parent, std::string* name) const {
    std::string path = uri;
    if (path.size() > m_rootUri.size() + 1 && path.back() == '/') path.pop_back();
    size_t slash = path.rfind('/');
    if (path.compare(0, m_rootUri.size() + 1, m_rootUri + "/") != 0 || slash < m_rootUri.size()) return false;
    if (path[slash - 1] == '/') return false; // an empty name on the way
    *parent = path.substr(0, slash);
    *name = path.substr(slash + 1);
    return true;
}

Status AssetTree::FindFolder(const std::string& uri, const char* role, Node** folder) const {
    Node* node = Find(uri);
    if (!node)
        return Error(kErrorNotFound, uri, "The " + std::string(role) + " " + Quoted(uri) + " does not exist.",
                     "No folder has the URI " + Quoted(uri) + "; create it first or check the URI.");
    if (!node->IsFolder())
        return Error(kErrorWrongKind, uri, Quoted(uri) + " is an asset, not a folder.",
                     "The " + std::string(role) + " must be a folder; " + Quoted(uri) + " names the asset " +
                         Quoted(node->name) + ".");
    *folder = node;
    return std::nullopt;
}

Status AssetTree::FindAsset(const std::string& uri, Node** asset) const {
    Node* node = Find(uri);
    if (!node) return NotFound(uri);
    if (node->IsFolder())
        return Error(kErrorWrongKind, uri, Quoted(uri) + " is a folder, not an asset.",
                     "This operation works on assets; " + Quoted(uri) + " names a folder.");
    *asset = node;
    return std::nullopt;
}

std::string AssetTree::PathOf(const Node* node) const {
    std::vector<const std::string*> names;
    for (const Node* n = node; n && n != m_root.get(); n = n->parent) names.push_back(&n->name);
    std::string path = m_rootUri;
    for (auto it = names.rbegin(); it != names.rend(); ++it) path += "/" + **it;
    return path;
}

std::string AssetTree::UriOf(const Node* node) const {
    return node->IsFolder() ? PathOf(node) : m_rootUri + kMobIdQuery + node->mobId;
}

AttributeList AssetTree::AttributesOf(const Node* node) const {
    AttributeList out = {
        {kSystemGroup, "Name", node->name},       {kSystemGroup, "Type", TypeName(node->kind)},
        {kSystemGroup, "Path", PathOf(node)},     {kSystemGroup, "Created", node->created},
        {kSystemGroup, "Creator", node->creator},
    };
    if (!node->IsFolder()) {
        out.push_back({kSystemGroup, "Modified", node->modified});
        out.push_back({kSystemGroup, "Size", std::to_string(node->media ? node->media->size() : 0)});
        out.push_back({kSystemGroup, "Version", std::to_string(node->version)});
    }
    out.insert(out.end(), node->attributes.begin(), node->attributes.end());
    return out;
}

Description AssetTree::Describe(const Node* node, const AttributeList& wanted) const {
    Description description{UriOf(node), {}};
    for (Attribute& attribute : AttributesOf(node)) {
        if (SearchFilter::Selected(attribute, wanted)) description.attributes.push_back(std::move(attribute));
    }
    return description;
}

std::string AssetTree::NewMobId() {
    for (;;) {
        char text[40];
        unsigned long long high = m_random(), low = m_random();
        snprintf(text, sizeof text, "%016llx%016llx", high, low);
        if (!m_assets.count(text)) return text;
    }
}

std::string AssetTree::FreeName(const Node* folder, const std::string& name) {
    if (!folder->children.count(name)) return name;
    for (int n = 2;; ++n) {
        std::string candidate = name + " (" + std::to_string(n) + ")";
        if (!folder->children.count(candidate)) return candidate;
    }
}

void AssetTree::Merge(AttributeList& into, const AttributeList& attributes) {
    for (const Attribute& attribute : attributes) {
        auto same = std::find_if(into.begin(), into.end(), [&](const Attribute& existing) {
            return existing.group == attribute.group && existing.name == attribute.name;
        });
        if (same != into.end())
            same->value = attribute.value;
        else
            into.push_back(attribute);
    }
}

AssetTree::Node* AssetTree::Attach(Node* folder, std::unique_ptr<Node> node) {
    node->parent = folder;
    Node* raw = node.get();
    if (!raw->IsFolder()) m_assets[raw->mobId] = raw;
    folder->children[raw->name] = std::move(node);
    return raw;
}

std::unique_ptr<AssetTree::Node> AssetTree::Detach(Node* node) {
    Node* folder = node->parent;
    auto it = folder->children.find(node->name);
    std::unique_ptr<Node> owned = std::move(it->second);
    folder->children.erase(it);
    if (!owned->IsFolder()) m_assets.erase(owned->mobId);
    owned->parent = nullptr;
    return owned;
}

bool AssetTree::Exists(const std::string& uri) const { return Find(uri) != nullptr; }

size_t AssetTree::Count() const {
    size_t count = 0;
    std::function<void(const Node*)> walk = [&](const Node* node) {
        ++count;
        for (const auto& child : node->children) walk(child.second.get());
    };
    walk(m_root.get());
    return count;
}

std::string AssetTree::Snapshot() const {
    std::ostringstream out;
    out << "next locator " << m_nextLocatorId << "\n";
    std::function<void(const Node*)> walk = [&](const Node* node) {
        out << TypeName(node->kind) << " " << PathOf(node) << " " << node->mobId << " v" << node->version
            << "\n";
        for (const Attribute& a : AttributesOf(node))
            out << "  " << a.group << ":" << a.name << "=" << a.value << "\n";
        if (node->media) out << "  media " << *node->media << "\n";
        if (node->headframe) out << "  headframe " << *node->headframe << "\n";
        for (const Locator& l : node->locators)
            out << "  locator " << l.id << " " << l.frame << " " << l.timecode << " " << l.username << " "
                << l.comment << " " << l.color << " " << l.track << "\n";
        for (const auto& child : node->children) walk(child.second.get());
    };
    walk(m_root.get());
    return out.str();
}

Status AssetTree::CreateFolder(const std::string& uri, const std::string& user) {
    if (Node* existing = Find(uri))
        return Error(kErrorAlreadyExists, uri,
                     std::string("The ") + (existing->IsFolder() ? "folder " : "asset ") + Quoted(uri) +
                         " exists already.",
                     "A folder cannot be created at " + Quoted(uri) + ": the name is taken.");
    std::string parentUri, name;
    if (!SplitPath(uri, &parentUri, &name))
        return Error(kErrorInvalidArgument, uri, Quoted(uri) + " is not a folder path.",
                     "Folder URIs are paths below " + Quoted(m_rootUri) + ", such as " +
                         Quoted(m_rootUri + "/Projects/News") + ".");
    Node* parent = nullptr;
    if (Status problem = FindFolder(parentUri, "parent folder", &parent)) return problem;
    std::string nameProblem = NameProblem(name);
    if (!nameProblem.empty()) return BadName(uri, name, nameProblem);

    auto folder = std::make_unique<Node>();
    folder->name = name;
    folder->created = Now();
    folder->creator = user;
    Attach(parent, std::move(folder));
    return std::nullopt;
}

Status AssetTree::GetChildren(const std::string& uri, const ChildFilter& filter, const AttributeList& wanted,
                              std::vector<Description>* out) const {
    Node* folder = nullptr;
    if (Status problem = FindFolder(uri, "folder", &folder)) return problem;
    out->clear();
    for (bool folders : {true, false}) {
        for (const auto& entry : folder->children) {
            const Node* child = entry.second.get();
            if (child->IsFolder() != folders) continue;
            bool wantedKind = child->kind == Kind::Folder ? filter.folders
                              : child->kind == Kind::File ? filter.files
                                                          : filter.mobs;
            if (!wantedKind) continue;
            if (!filter.namePattern.empty() && !SearchFilter::MatchesPattern(filter.namePattern, child->name))
                continue;
            out->push_back(Describe(child, wanted));
        }
    }
    return std::nullopt;
}

Status AssetTree::CheckIn(const std::string& uri, std::string bytes, const AttributeList& attributes,
                          const std::string& user, std::string* assetUri) {
    AttributeList kept;
    if (Status problem = ClientAttributes(attributes, uri, false, &kept)) return problem;
    Node* node = Find(uri);
    if (node && node->IsFolder())
        return Error(kErrorWrongKind, uri, Quoted(uri) + " is a folder.",
                     "A file is checked in at the path of a new or existing asset, such as " +
                         Quoted(uri + "/file.txt") + ".");
    if (node) {
        node->media = std::move(bytes);
        node->version += 1;
        node->modified = Now();
        Merge(node->attributes, kept);
        *assetUri = UriOf(node);
        return std::nullopt;
    }
    std::string folderUri, name;
    if (!SplitPath(uri, &folderUri, &name))
        return Error(kErrorInvalidArgument, uri, Quoted(uri) + " is not the path of an asset.",
                     "A file is checked in at its path: a folder's URI, \"/\" and the file's name.");
    Node* folder = nullptr;
    if (Status problem = FindFolder(folderUri, "folder", &folder)) return problem;
    std::string nameProblem = NameProblem(name);
    if (!nameProblem.empty()) return BadName(uri, name, nameProblem);

    auto asset = std::make_unique<Node>();
    asset->kind = Kind::File;
    asset->name = name;
    asset->mobId = NewMobId();
    asset->created = asset->modified = Now();
    asset->creator = user;
    asset->media = std::move(bytes);
    asset->extension = Extension(name);
    asset->attributes = std::move(kept);
    *assetUri = UriOf(Attach(folder, std::move(asset)));
    return std::nullopt;
}

Status AssetTree::CheckInAAF(const std::string& folderUri, std::string aaf,
                             std::optional<std::string> headframe, const AttributeList& attributes,
                             const std::string& user, std::string* assetUri) {
    Node* folder = nullptr;
    if (Status problem = FindFolder(folderUri, "destination folder", &folder)) return problem;
    AttributeList kept;
    if (Status problem = ClientAttributes(attributes, folderUri, false, &kept)) return problem;
    std::string name;
    for (const char* key : {"Name", "Display Name"}) {
        for (const Attribute& attribute : kept) {
            if (name.empty() && attribute.name == key) name = attribute.value;
        }
    }
    if (name.empty()) name = "Untitled";
    std::string nameProblem = NameProblem(name);
    if (!nameProblem.empty()) return BadName(folderUri, name, nameProblem);

    auto asset = std::make_unique<Node>();
    asset->kind = Kind::Sequence;
    asset->name = FreeName(folder, name);
    asset->mobId = NewMobId();
    asset->created = asset->modified = Now();
    asset->creator = user;
    asset->media = std::move(aaf);
    asset->headframe = std::move(headframe);
    asset->extension = ".aaf";
    asset->attributes = std::move(kept);
    *assetUri = UriOf(Attach(folder, std::move(asset)));
    return std::nullopt;
}

Status AssetTree::GetLatest(const std::string& uri, std::string* bytes) const {
    Node* asset = nullptr;
    if (Status problem = FindAsset(uri, &asset)) return problem;
    if (!asset->media)
        return Error(kErrorNoMedia, uri, "The asset " + Quoted(asset->name) + " has no media.",
                     "The media of " + Quoted(asset->name) + " were deleted; check the asset in again.");
    *bytes = *asset->media;
    return std::nullopt;
}

Status AssetTree::GetHeadframe(const std::string& uri, std::string* bytes) const {
    Node* asset = nullptr;
    if (Status problem = FindAsset(uri, &asset)) return problem;
    if (!asset->headframe)
        return Error(kErrorNoHeadframe, uri, "The asset " + Quoted(asset->name) + " has no headframe.",
                     "No headframe image was checked in with " + Quoted(asset->name) + ".");
    *bytes = *asset->headframe;
    return std::nullopt;
}

Status AssetTree::Duplicate(const std::string& assetUri, const std::string& folderUri,
                            const AttributeList& attributes, const std::string& user, std::string* copyUri) {
    Node* original = nullptr;
    Node* folder = nullptr;
    if (Status problem = FindAsset(assetUri, &original)) return problem;
    if (Status problem = FindFolder(folderUri, "destination folder", &folder)) return problem;
    AttributeList kept;
    if (Status problem = ClientAttributes(attributes, assetUri, false, &kept)) return problem;

    auto copy = std::make_unique<Node>();
    copy->kind = original->kind;
    copy->name = FreeName(folder, original->name);
    copy->mobId = NewMobId();
    copy->created = copy->modified = Now();
    copy->creator = user;
    copy->attributes = original->attributes;
    Merge(copy->attributes, kept);
    copy->media = original->media;
    copy->headframe = original->headframe;
    copy->extension = original->extension;
    copy->locators = original->locators;
    for (Locator& locator : copy->locators) locator.id = m_nextLocatorId++;
    *copyUri = UriOf(Attach(folder, std::move(copy)));
    return std::nullopt;
}

Status AssetTree::Move(const std::string& assetUri, const std::string& folderUri, const std::string& user) {
    (void)user;
    Node* asset = nullptr;
    Node* folder = nullptr;
    if (Status problem = FindAsset(assetUri, &asset)) return problem;
    if (Status problem = FindFolder(folderUri, "destination folder", &folder)) return problem;
    if (asset->parent == folder) return std::nullopt;
    if (folder->children.count(asset->name))
        return Error(kErrorAlreadyExists, assetUri,
                     "Cannot move " + Quoted(asset->name) + ": the folder " + Quoted(PathOf(folder)) +
                         " already holds an item named " + Quoted(asset->name) + ".",
                     "Move it into another folder, or move or delete the item of the same name first.");
    Attach(folder, Detach(asset));
    return std::nullopt;
}

Status AssetTree::DeleteAssets(const std::vector<std::string>& uris, const DeleteOptions& options,
                               DeleteReport* report) {
    std::vector<Node*> assets;
    for (const std::string& uri : uris) {
        Node* asset = nullptr;
        if (Status problem = FindAsset(uri, &asset)) {
            if (problem->code == kErrorWrongKind)
                problem->details = "Only assets can be deleted; " + Quoted(uri) + " names a folder.";
            return problem;
        }
        if (std::find(assets.begin(), assets.end(), asset) == assets.end()) assets.push_back(asset);
    }
    report->deletedAssets.clear();
    report->deletedMedia.clear();
    for (Node* asset : assets) {
        if (options.metadata) report->deletedAssets.push_back(UriOf(asset));
        if (options.media && asset->media) {
            report->deletedMedia.push_back(kMediaRoot + asset->mobId + asset->extension);
            if (asset->headframe) report->deletedMedia.push_back(kMediaRoot + asset->mobId + ".jpg");
        }
    }
    if (options.simulation) return std::nullopt;
    for (Node* asset : assets) {
        if (options.media) {
            asset->media.reset();
            asset->headframe.reset();
        }
        if (options.metadata) Detach(asset);
    }
    return std::nullopt;
}

Status AssetTree::GetAttributes(const std::vector<std::string>& uris, const AttributeList& wanted,
                                std::vector<Description>* out) const {
    if (uris.empty())
        return Error(kErrorInvalidArgument, "", "No asset was named.",
                     "Attributes are read for the assets whose URIs the request lists; it lists none.");
    std::vector<const Node*> nodes;
    for (const std::string& uri : uris) {
        const Node* node = Find(uri);
        if (!node) return NotFound(uri);
        nodes.push_back(node);
    }
    out->clear();
    for (const Node* node : nodes) out->push_back(Describe(node, wanted));
    return std::nullopt;
}

Status AssetTree::SetAttributes(const std::vector<std::string>& uris, const AttributeList& attributes,
                                const std::string& user) {
    (void)user;
    if (uris.empty())
        return Error(kErrorInvalidArgument, "", "No asset was named.",
                     "Attributes are set on the assets whose URIs the request lists; it lists none.");
    std::vector<Node*> nodes;
    for (const std::string& uri : uris) {
        Node* node = Find(uri);
        if (!node) return NotFound(uri);
        nodes.push_back(node);
    }
    AttributeList kept;
    if (Status problem = ClientAttributes(attributes, uris.front(), true, &kept)) return problem;
    std::string now = Now();
    for (Node* node : nodes) {
        Merge(node->attributes, kept);
        if (!node->IsFolder() && !kept.empty()) node->modified = now;
    }
    return std::nullopt;
}

Status AssetTree::GetLocators(const std::string& uri, std::vector<Locator>* out) const {
    Node* asset = nullptr;
    if (Status problem = FindAsset(uri, &asset)) return problem;
    *out = asset->locators;
    std::stable_sort(out->begin(), out->end(), [](const Locator& a, const Locator& b) {
        return a.frame != b.frame ? a.frame < b.frame : a.id < b.id;
    });
    return std::nullopt;
}

Status AssetTree::SaveLocators(const std::string& uri, const std::vector<Locator>& locators,
                               const std::string& user, std::vector<int>* ids) {
    Node* asset = nullptr;
    if (Status problem = FindAsset(uri, &asset)) return problem;
    auto byId = [&](int id) {
        return std::find_if(asset->locators.begin(), asset->locators.end(),
                            [id](const Locator& l) { return l.id == id; });
    };
    for (const Locator& locator : locators) {
        if (locator.id > 0 && byId(locator.id) == asset->locators.end())
            return Error(
                kErrorNotFound, uri,
                "The asset " + Quoted(asset->name) + " has no locator " + std::to_string(locator.id) + ".",
                "Locators are saved without an ID to add them, or with the ID of one of the asset's "
                "locators to change it.");
        if (locator.frame < 0)
            return Error(kErrorInvalidArgument, uri,
                         "A locator cannot be placed at frame " + std::to_string(locator.frame) + ".",
                         "Frame numbers of locators start at 0.");
    }
    ids->clear();
    for (const Locator& sent : locators) {
        Locator saved = sent;
        saved.timecode = Timecode(sent.frame);
        saved.username = user;
        if (sent.id > 0) {
            *byId(sent.id) = saved;
        } else {
            saved.id = m_nextLocatorId++;
            asset->locators.push_back(saved);
        }
        ids->push_back(saved.id);
    }
    if (!locators.empty()) asset->modified = Now();
    return std::nullopt;
}

Status AssetTree::RemoveLocators(const std::string& uri, const std::vector<int>& ids) {
    Node* asset = nullptr;
    if (Status problem = FindAsset(uri, &asset)) return problem;
    for (int id : ids) {
        bool known = std::any_of(asset->locators.begin(), asset->locators.end(),
                                 [id](const Locator& l) { return l.id == id; });
        if (!known)
            return Error(kErrorNotFound, uri,
                         "The asset " + Quoted(asset->name) + " has no locator " + std::to_string(id) + ".",
                         "Locator " + std::to_string(id) +
                             " was not removed: it does not exist or was removed already.");
    }
    std::set<int> doomed(ids.begin(), ids.end());
    auto end = std::remove_if(asset->locators.begin(), asset->locators.end(),
                              [&](const Locator& l) { return doomed.count(l.id) != 0; });
    asset->locators.erase(end, asset->locators.end());
    if (!ids.empty()) asset->modified = Now();
    return std::nullopt;
}

Status AssetTree::Search(const std::string& folderUri, const SearchGroup& group, const AttributeList& wanted,
                         int maxResults, std::vector<Description>* out) const {
    Node* folder = nullptr;
    if (Status problem = FindFolder(folderUri, "folder to search", &folder)) return problem;
    if (Status problem = SearchFilter::Validate(group)) {
        problem->uri = folderUri;
        return problem;
    }
    out->clear();
    Collect(folder, group, wanted, maxResults, out);
    return std::nullopt;
}

void AssetTree::Collect(const Node* folder, const SearchGroup& group, const AttributeList& wanted,
                        int maxResults, std::vector<Description>* out) const {
    auto full = [&] { return maxResults > 0 && out->size() >= static_cast<size_t>(maxResults); };
    for (const auto& entry : folder->children) {
        const Node* child = entry.second.get();
        if (full()) return;
        if (!child->IsFolder() && SearchFilter::Matches(group, AttributesOf(child)))
            out->push_back(Describe(child, wanted));
    }
    for (const auto& entry : folder->children) {
        if (full()) return;
        if (entry.second->IsFolder()) Collect(entry.second.get(), group, wanted, maxResults, out);
    }
}

std::string AssetTree::Timecode(int64_t frame) {
    const int64_t fps = 25;
    if (frame < 0) frame = 0;
    int64_t seconds = frame / fps;
    char text[32];
    snprintf(text, sizeof text, "%02d:%02d:%02d:%02d", static_cast<int>((seconds / 3600) % 24),
             static_cast<int>((seconds / 60) % 60), static_cast<int>(seconds % 60),
             static_cast<int>(frame % fps));
    return text;
}

} // namespace assets_sim
