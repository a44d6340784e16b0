// interplay-cli: a host of the interplay access component. Every operation of
// the component is a subcommand; without --url it runs against an embedded
// Assets service simulator.
#include <locale.h>
#include <stdio.h>

#include <CLI/CLI.hpp>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "AssetsSimulator.h"
#include "ComponentHost.h"
#include "Demo.h"
#include "InterplayClient.h"
#include "KoPlatform.h"
#include "KoProcess.h"
#include "ResultPrinter.h"
#include "Text.h"

namespace {

struct Settings {
    std::string url;
    std::string user = "editor";
    std::string password = "editor";
    std::string library;
    bool json = false;
    unsigned codePage = 936;
};

int ShowMessageBox(const char* /*ansiText*/, const char* utf8Text, unsigned /*type*/, void* /*context*/) {
    fprintf(stderr, "[message box] %s\n", utf8Text);
    return 1;
}

// The component writes fetched versions and headframes into two local folders
// that it never creates itself; a host sets them up, as the editing system's
// installation does.
void PrepareLocalFolders() {
    for (const wchar_t* folder : {L"c:\\Kestrava\\ConvertFile\\",
                                  L"C:\\\x975E\x7F16\x7CFB\x7EDF\x4E34\x65F6\x6587\x4EF6\\"
                                  L"\x4E34\x65F6\x6587\x4EF6\x76EE\x5F55\\"}) {
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::u8path(InterplayClient::LocalPath(folder)), ec);
    }
}

std::vector<AttributeSpec> ParseAttributes(const std::vector<std::string>& texts) {
    std::vector<AttributeSpec> out;
    for (const std::string& text : texts) {
        AttributeSpec spec;
        if (!AttributeSpec::Parse(text, &spec))
            throw CLI::ValidationError("--attr", "expected GROUP:NAME=VALUE or NAME=VALUE, got " + text);
        out.push_back(spec);
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    setlocale(LC_CTYPE, "C.UTF-8");
    Settings settings;
    CLI::App app{"interplay-cli: work with an asset-management server's Assets service through the "
                 "interplay access component.\nWithout --url, an embedded Assets service simulator is "
                 "started on a loopback port."};
    app.require_subcommand(1);
    app.add_option("--url", settings.url, "Assets service URL, e.g. http://server/services/Assets");
    app.add_option("--user", settings.user, "user name")->capture_default_str();
    app.add_option("--password", settings.password, "password");
    app.add_flag("--json", settings.json, "print results as JSON");
    app.add_option("--library", settings.library, "path of libZuInterplayAccess.so");
    app.add_option("--code-page", settings.codePage, "ANSI code page of the component's narrow text")
        ->capture_default_str();

    // What each subcommand does, by name.
    std::map<std::string, std::function<Result(InterplayClient&)>> actions;
    auto sub = [&](const char* name, const char* help) { return app.add_subcommand(name, help); };

    // Storage for the subcommands' arguments.
    std::string uri, uri2, file, headframe;
    std::vector<std::string> attrs, conditions, uris;
    bool foldersOnly = false, matchAll = false, media = false, simulate = false;
    int maxResults = 20, locatorId = 0;
    LocatorSpec locator;

    CLI::App* c = sub("checkin", "check a file in at a target URI");
    c->add_option("file", file, "local file")->required();
    c->add_option("uri", uri, "target URI")->required();
    c->add_option("-a,--attr", attrs, "attribute GROUP:NAME=VALUE (repeatable)");
    actions[c->get_name()] = [&](InterplayClient& k) { return k.CheckIn(file, uri, ParseAttributes(attrs)); };

    c = sub("checkin-aaf", "check an AAF composition in, with a headframe and attributes");
    c->add_option("aaf", file, "local AAF file")->required();
    c->add_option("uri", uri, "destination folder URI")->required();
    c->add_option("--headframe", headframe, "local JPEG headframe");
    c->add_option("-a,--attr", attrs, "attribute GROUP:NAME=VALUE (repeatable; group SYSTEM is not sent)");
    actions[c->get_name()] = [&](InterplayClient& k) {
        return k.CheckInAAF(file, uri, headframe.empty() ? std::nullopt : std::optional<std::string>(headframe),
                            ParseAttributes(attrs));
    };

    c = sub("mkdir", "create a folder");
    c->add_option("uri", uri, "folder URI")->required();
    actions[c->get_name()] = [&](InterplayClient& k) { return k.CreateFolder(uri); };

    c = sub("ls", "list a folder's children with their attributes");
    c->add_option("uri", uri, "folder URI")->required();
    c->add_flag("--folders-only", foldersOnly, "list folders only");
    actions[c->get_name()] = [&](InterplayClient& k) { return k.List(uri, foldersOnly); };

    c = sub("attrs", "read an asset's attributes");
    c->add_option("uri", uri, "asset URI")->required();
    actions[c->get_name()] = [&](InterplayClient& k) { return k.GetAttributes(uri); };

    c = sub("set-attrs", "write attributes of an asset");
    c->add_option("uri", uri, "asset URI")->required();
    c->add_option("-a,--attr", attrs, "attribute GROUP:NAME=VALUE (repeatable)")->required();
    actions[c->get_name()] = [&](InterplayClient& k) { return k.SetAttributes(uri, ParseAttributes(attrs)); };

    c = sub("locators", "list an asset's locators");
    c->add_option("uri", uri, "asset URI")->required();
    actions[c->get_name()] = [&](InterplayClient& k) { return k.GetLocators(uri); };

    c = sub("add-locator", "add a locator to an asset");
    c->add_option("uri", uri, "asset URI")->required();
    c->add_option("--frame", locator.frame, "frame number")->required();
    c->add_option("--comment", locator.comment, "comment");
    c->add_option("--color", locator.color, "colour")->capture_default_str();
    c->add_option("--track", locator.track, "track")->capture_default_str();
    actions[c->get_name()] = [&](InterplayClient& k) { return k.AddLocators(uri, {locator}); };

    c = sub("remove-locator", "remove one locator of an asset");
    c->add_option("uri", uri, "asset URI")->required();
    c->add_option("id", locatorId, "locator ID")->required();
    actions[c->get_name()] = [&](InterplayClient& k) { return k.RemoveLocator(uri, locatorId); };

    c = sub("search", "search under a folder with attribute conditions");
    c->add_option("root", uri, "folder URI to search under")->required();
    c->add_option("-w,--where", conditions,
                  "condition [GROUP:]NAME<op>VALUE, op one of = != ~ !~ < > <= >= (~ contains; repeatable)");
    c->add_flag("--all", matchAll, "all conditions must hold (default: any)");
    c->add_option("--max", maxResults, "most results")->capture_default_str();
    actions[c->get_name()] = [&](InterplayClient& k) {
        std::vector<ConditionSpec> specs;
        for (const std::string& text : conditions) {
            ConditionSpec spec;
            if (!ConditionSpec::Parse(text, &spec))
                throw CLI::ValidationError("--where", "cannot read condition " + text);
            specs.push_back(spec);
        }
        return k.Search(uri, matchAll, maxResults, specs);
    };

    c = sub("latest", "fetch the latest version of an asset as a local AAF file");
    c->add_option("uri", uri, "asset URI")->required();
    actions[c->get_name()] = [&](InterplayClient& k) { return k.GetLatest(uri); };

    c = sub("headframe", "fetch an asset's headframe as a local JPEG file");
    c->add_option("uri", uri, "asset URI")->required();
    actions[c->get_name()] = [&](InterplayClient& k) { return k.GetHeadframe(uri); };

    c = sub("duplicate", "duplicate an asset into a folder");
    c->add_option("uri", uri, "asset URI")->required();
    c->add_option("folder", uri2, "folder URI")->required();
    actions[c->get_name()] = [&](InterplayClient& k) { return k.Duplicate(uri, uri2); };

    c = sub("move", "move an asset into a folder");
    c->add_option("uri", uri, "asset URI")->required();
    c->add_option("folder", uri2, "target folder URI")->required();
    actions[c->get_name()] = [&](InterplayClient& k) { return k.Move(uri, uri2); };

    c = sub("delete", "delete assets");
    c->add_option("uris", uris, "asset URIs")->required();
    c->add_flag("--media", media, "delete their media too");
    c->add_flag("--simulate", simulate, "only report what would be deleted");
    actions[c->get_name()] = [&](InterplayClient& k) { return k.Delete(uris, media, simulate); };

    sub("demo", "run a whole workflow on the embedded simulator, printing each step");

    // The arguments as UTF-8, the host's own text, whatever the platform gives.
    std::vector<std::string> arguments = KoUtf8Arguments(argc, argv);
    std::vector<char*> argumentPointers;
    for (std::string& argument : arguments) argumentPointers.push_back(&argument[0]);
    CLI11_PARSE(app, static_cast<int>(argumentPointers.size()), argumentPointers.data());
    const std::string command = app.get_subcommands().front()->get_name();

    KoSetThreadCodePage(settings.codePage);
    KoSetMessageBoxHandler(ShowMessageBox, nullptr);

    std::unique_ptr<assets_sim::AssetsSimulator> simulator;
    std::string root = "interplay://Workgroup";
    if (settings.url.empty()) {
        assets_sim::Options options;
        options.users.push_back({settings.user, settings.password});
        simulator = std::make_unique<assets_sim::AssetsSimulator>(options);
        std::string error;
        if (!simulator->Start(&error)) {
            fprintf(stderr, "error: cannot start the embedded simulator: %s\n", error.c_str());
            return 2;
        }
        settings.url = simulator->ServiceURL();
        root = simulator->RootURI();
    } else if (command == "demo") {
        fprintf(stderr, "error: the demo runs on the embedded simulator; leave out --url\n");
        return 2;
    }

    ComponentHost host;
    std::string error;
    if (!host.Load(settings.library.empty() ? ComponentHost::DefaultLibraryPath() : settings.library, &error)) {
        fprintf(stderr, "error: %s\n", error.c_str());
        return 2;
    }
    IZuInterplayAccess* access = host.Access();
    access->SetServiceURL(Wide(settings.url).c_str());
    access->SetCredentials(Wide(settings.user).c_str(), Wide(settings.password).c_str());
    PrepareLocalFolders();

    InterplayClient client(access);
    ResultPrinter printer(settings.json, stdout);
    if (command == "demo") {
        if (!settings.json) printf("Assets service simulator at %s, root folder %s\n", settings.url.c_str(), root.c_str());
        bool ok = RunDemo(client, printer, root);
        if (!settings.json) printf("\n%s\n", ok ? "Demo finished: every step succeeded." : "Demo finished with failures.");
        return ok ? 0 : 1;
    }
    Result result;
    try {
        result = actions.at(command)(client);
    } catch (const CLI::Error& e) {
        return app.exit(e);
    }
    printer.Print(command, result);
    return result.ok ? 0 : 1;
}
