// The simulated workgroup: a tree of folders and assets in memory, with the
// semantics of the Assets service's operations. Every operation checks
// everything first and changes the tree only when it succeeds, so a failed
// request leaves the tree as it was. Not thread-safe: the owner serialises.
//
// URIs. The root folder is "interplay://Workgroup"; a folder's URI is its path
// below the root ("interplay://Workgroup/Projects/新闻"). Assets are handed
// out as "interplay://Workgroup?mobid=<32 lower-case hex digits>", a random
// 128-bit id, and are accepted by that URI or by their path (folder path, "/",
// asset name). Names are unique within a folder across folders and assets; a
// name is not empty, not "." or "..", and holds no "/" and no control
// character. Names and URIs compare exactly, byte for byte.
//
// Kinds. CheckIn makes file assets, CheckInAAF sequence assets (the MOBs of a
// listing); both keep their bytes, a sequence also its optional headframe.
//
// Attributes. Every folder and asset carries server-kept attributes in the
// group "SYSTEM" (Name, Type, Path, Created, Creator; assets also Modified,
// Size and Version) before the attributes clients set, which are kept in the
// order first set and merged by group and name (an empty group stands for
// "USER"). SetAttributes refuses SYSTEM attributes; check-ins leave them out
// silently, since the server sets its own.
//
// Decisions where the service leaves a choice:
//   - CheckIn onto an existing asset (by path or asset URI) stores a new
//     version of it: new bytes, Version + 1, attributes merged.
//   - CheckInAAF names the asset after its "Name" or "Display Name" attribute,
//     else "Untitled"; Duplicate keeps the original's name. Either one adds
//     " (2)", " (3)", ... when the folder already holds that name.
//   - Duplicate copies bytes, headframe, client attributes and locators (the
//     copies get new locator IDs); the request's attributes are merged in.
//   - Move into the folder the asset is in already does nothing and succeeds;
//     into a folder holding another item of that name it fails.
//   - DeleteAssets deletes assets only, not folders. DeleteMetadata (default
//     true) removes the asset, DeleteMedia drops its stored bytes; Simulation
//     reports without deleting. An asset named twice is deleted once.
//   - SaveLocators updates the asset's locator with a given LocatorID and adds
//     the others with new IDs, counting up from 1 across the workgroup.
//     Timecodes are computed from the frame at 25 frames per second and
//     wrap at 24 hours.
//   - Search reports assets (not folders) under the path, at any depth, in
//     listing order.
#ifndef ASSETS_SIM_ASSET_TREE_H
#define ASSETS_SIM_ASSET_TREE_H

#include <stddef.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "AssetModel.h"

namespace assets_sim {

class AssetTree {
public:
    // The root's name, as in "interplay://Workgroup".
    explicit AssetTree(std::string workgroup = "Workgroup");
    ~AssetTree();
    AssetTree(const AssetTree&) = delete;
    AssetTree& operator=(const AssetTree&) = delete;

    // "interplay://<workgroup>", without a trailing slash.
    const std::string& RootURI() const { return m_rootUri; }

    // The clock that stamps Created and Modified; by default the system's
    // time in UTC, as "YYYY-MM-DDTHH:MM:SSZ".
    void SetClock(std::function<std::string()> clock) { m_clock = std::move(clock); }

    bool Exists(const std::string& uri) const;
    // Number of folders and assets, the root included.
    size_t Count() const;
    // A text that differs whenever the tree differs in anything a client can
    // see or change (for tests that check a failed request changed nothing).
    std::string Snapshot() const;

    Status CreateFolder(const std::string& uri, const std::string& user);
    Status GetChildren(const std::string& uri, const ChildFilter& filter, const AttributeList& wanted,
                       std::vector<Description>* out) const;

    Status CheckIn(const std::string& uri, std::string bytes, const AttributeList& attributes,
                   const std::string& user, std::string* assetUri);
    Status CheckInAAF(const std::string& folderUri, std::string aaf, std::optional<std::string> headframe,
                      const AttributeList& attributes, const std::string& user, std::string* assetUri);
    Status GetLatest(const std::string& uri, std::string* bytes) const;
    Status GetHeadframe(const std::string& uri, std::string* bytes) const;

    Status Duplicate(const std::string& assetUri, const std::string& folderUri,
                     const AttributeList& attributes, const std::string& user, std::string* copyUri);
    Status Move(const std::string& assetUri, const std::string& folderUri, const std::string& user);
    Status DeleteAssets(const std::vector<std::string>& uris, const DeleteOptions& options,
                        DeleteReport* report);

    // One description per URI, in request order; wanted limits the attributes
    // (empty: all).
    Status GetAttributes(const std::vector<std::string>& uris, const AttributeList& wanted,
                         std::vector<Description>* out) const;
    Status SetAttributes(const std::vector<std::string>& uris, const AttributeList& attributes,
                         const std::string& user);

    // In frame order (then ID).
    Status GetLocators(const std::string& uri, std::vector<Locator>* out) const;
    // IDs of the saved locators, in request order. A locator with an ID above
    // 0 replaces the asset's locator of that ID, the others are added. The
    // server sets timecode and user name; frame, comment, colour and track are
    // kept.
    Status SaveLocators(const std::string& uri, const std::vector<Locator>& locators, const std::string& user,
                        std::vector<int>* ids);
    Status RemoveLocators(const std::string& uri, const std::vector<int>& ids);

    // Assets under the folder at any depth that satisfy the group (validated
    // here); at most maxResults when it is above 0.
    Status Search(const std::string& folderUri, const SearchGroup& group, const AttributeList& wanted,
                  int maxResults, std::vector<Description>* out) const;

    // The timecode of a frame at 25 frames per second, "HH:MM:SS:FF".
    static std::string Timecode(int64_t frame);

private:
    struct Node;

    Node* Find(const std::string& uri) const;
    // A path below the root split into its folder's URI and its last name (a
    // trailing "/" left out). False if uri is no such path.
    bool SplitPath(const std::string& uri, std::string* parent, std::string* name) const;
    Status FindFolder(const std::string& uri, const char* role, Node** folder) const;
    Status FindAsset(const std::string& uri, Node** asset) const;
    std::string PathOf(const Node* node) const;
    std::string UriOf(const Node* node) const;
    AttributeList AttributesOf(const Node* node) const;
    Description Describe(const Node* node, const AttributeList& wanted) const;
    std::string NewMobId();
    std::string Now() const;
    static std::string FreeName(const Node* folder, const std::string& name);
    static void Merge(AttributeList& into, const AttributeList& attributes);
    Node* Attach(Node* folder, std::unique_ptr<Node> node);
    std::unique_ptr<Node> Detach(Node* node);
    void Collect(const Node* folder, const SearchGroup& group, const AttributeList& wanted, int maxResults,
                 std::vector<Description>* out) const;

    std::string m_rootUri;
    std::unique_ptr<Node> m_root;
    std::unordered_map<std::string, Node*> m_assets;
    int m_nextLocatorId = 1;
    std::mt19937_64 m_random;
    std::function<std::string()> m_clock;
};

} // namespace assets_sim

#endif // ASSETS_SIM_ASSET_TREE_H
