// interplay-cli: a host of the interplay access component. Every operation of
// the component is a subcommand; without --url it runs against an embedded
// Assets service simulator.
#include <locale.h>
#include <stdio.h>

#include <CLI/CLI.hpp>
#include <filesystem>
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
#include "ZuVersion.h"

namespace {

struct Settings {
    std::string url;
    std::string user = "editor";
    std::string password = "editor";
    std::string library;
    bool json = false;
    unsigned codePage = 936;
    double timeoutSeconds = -1; // < 0: the component's own
    std::string caFile;
    bool insecure = false;
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

std::vector<ConditionSpec> ParseConditions(const std::vector<std::string>& texts) {
    std::vector<ConditionSpec> specs;
    for (const std::string& text : texts) {
        ConditionSpec spec;
        if (!ConditionSpec::Parse(text, &spec))
            throw CLI::ValidationError("--where", "cannot read condition " + text);
        specs.push_back(spec);
    }
    return specs;
}

// What the subcommands read from the command line.
struct Arguments {
    std::string uri, uri2, file, headframe;
    std::vector<std::string> attrs, conditions, uris;
    bool foldersOnly = false, matchAll = false, media = false, simulate = false;
    int maxResults = 20, locatorId = 0;
    LocatorSpec locator;
};

// One subcommand: its name and help, the arguments it declares, and what it
// asks of the component (none for the demo, which runs a whole workflow).
struct Subcommand {
    const char* name;
    const char* help;
    void (*declare)(CLI::App& command, Arguments& args);
    Result (*run)(InterplayClient& client, const Arguments& args);
};

const Subcommand kSubcommands[] = {
    {"checkin", "check a file in at a target URI",
     [](CLI::App& c, Arguments& a) {
         c.add_option("file", a.file, "local file")->required();
         c.add_option("uri", a.uri, "target URI")->required();
         c.add_option("-a,--attr", a.attrs, "attribute GROUP:NAME=VALUE (repeatable)");
     },
     [](InterplayClient& k, const Arguments& a) {
         return k.CheckIn(a.file, a.uri, ParseAttributes(a.attrs));
     }},
    {"checkin-aaf", "check an AAF composition in, with a headframe and attributes",
     [](CLI::App& c, Arguments& a) {
         c.add_option("aaf", a.file, "local AAF file")->required();
         c.add_option("uri", a.uri, "destination folder URI")->required();
         c.add_option("--headframe", a.headframe, "local JPEG headframe");
         c.add_option("-a,--attr", a.attrs,
                      "attribute GROUP:NAME=VALUE (repeatable; group SYSTEM is not sent)");
     },
     [](InterplayClient& k, const Arguments& a) {
         return k.CheckInAAF(a.file, a.uri,
                             a.headframe.empty() ? std::nullopt : std::optional<std::string>(a.headframe),
                             ParseAttributes(a.attrs));
     }},
    {"mkdir", "create a folder",
     [](CLI::App& c, Arguments& a) { c.add_option("uri", a.uri, "folder URI")->required(); },
     [](InterplayClient& k, const Arguments& a) { return k.CreateFolder(a.uri); }},
    {"ls", "list a folder's children with their attributes",
     [](CLI::App& c, Arguments& a) {
         c.add_option("uri", a.uri, "folder URI")->required();
         c.add_flag("--folders-only", a.foldersOnly, "list folders only");
     },
     [](InterplayClient& k, const Arguments& a) { return k.List(a.uri, a.foldersOnly); }},
    {"attrs", "read an asset's attributes",
     [](CLI::App& c, Arguments& a) { c.add_option("uri", a.uri, "asset URI")->required(); },
     [](InterplayClient& k, const Arguments& a) { return k.GetAttributes(a.uri); }},
    {"set-attrs", "write attributes of an asset",
     [](CLI::App& c, Arguments& a) {
         c.add_option("uri", a.uri, "asset URI")->required();
         c.add_option("-a,--attr", a.attrs, "attribute GROUP:NAME=VALUE (repeatable)")->required();
     },
     [](InterplayClient& k, const Arguments& a) { return k.SetAttributes(a.uri, ParseAttributes(a.attrs)); }},
    {"locators", "list an asset's locators",
     [](CLI::App& c, Arguments& a) { c.add_option("uri", a.uri, "asset URI")->required(); },
     [](InterplayClient& k, const Arguments& a) { return k.GetLocators(a.uri); }},
    {"add-locator", "add a locator to an asset",
     [](CLI::App& c, Arguments& a) {
         c.add_option("uri", a.uri, "asset URI")->required();
         c.add_option("--frame", a.locator.frame, "frame number")->required();
         c.add_option("--comment", a.locator.comment, "comment");
         c.add_option("--color", a.locator.color, "colour")->capture_default_str();
         c.add_option("--track", a.locator.track, "track")->capture_default_str();
     },
     [](InterplayClient& k, const Arguments& a) { return k.AddLocators(a.uri, {a.locator}); }},
    {"remove-locator", "remove one locator of an asset",
     [](CLI::App& c, Arguments& a) {
         c.add_option("uri", a.uri, "asset URI")->required();
         c.add_option("id", a.locatorId, "locator ID")->required();
     },
     [](InterplayClient& k, const Arguments& a) { return k.RemoveLocator(a.uri, a.locatorId); }},
    {"search", "search under a folder with attribute conditions",
     [](CLI::App& c, Arguments& a) {
         c.add_option("root", a.uri, "folder URI to search under")->required();
         c.add_option("-w,--where", a.conditions,
                      "condition [GROUP:]NAME<op>VALUE, op one of = != ~ !~ < > <= >= "
                      "(~ contains; repeatable)");
         c.add_flag("--all", a.matchAll, "all conditions must hold (default: any)");
         c.add_option("--max", a.maxResults, "most results")->capture_default_str();
     },
     [](InterplayClient& k, const Arguments& a) {
         return k.Search(a.uri, a.matchAll, a.maxResults, ParseConditions(a.conditions));
     }},
    {"latest", "fetch the latest version of an asset as a local AAF file",
     [](CLI::App& c, Arguments& a) { c.add_option("uri", a.uri, "asset URI")->required(); },
     [](InterplayClient& k, const Arguments& a) { return k.GetLatest(a.uri); }},
    {"headframe", "fetch an asset's headframe as a local JPEG file",
     [](CLI::App& c, Arguments& a) { c.add_option("uri", a.uri, "asset URI")->required(); },
     [](InterplayClient& k, const Arguments& a) { return k.GetHeadframe(a.uri); }},
    {"duplicate", "duplicate an asset into a folder",
     [](CLI::App& c, Arguments& a) {
         c.add_option("uri", a.uri, "asset URI")->required();
         c.add_option("folder", a.uri2, "folder URI")->required();
     },
     [](InterplayClient& k, const Arguments& a) { return k.Duplicate(a.uri, a.uri2); }},
    {"move", "move an asset into a folder",
     [](CLI::App& c, Arguments& a) {
         c.add_option("uri", a.uri, "asset URI")->required();
         c.add_option("folder", a.uri2, "target folder URI")->required();
     },
     [](InterplayClient& k, const Arguments& a) { return k.Move(a.uri, a.uri2); }},
    {"delete", "delete assets",
     [](CLI::App& c, Arguments& a) {
         c.add_option("uris", a.uris, "asset URIs")->required();
         c.add_flag("--media", a.media, "delete their media too");
         c.add_flag("--simulate", a.simulate, "only report what would be deleted");
     },
     [](InterplayClient& k, const Arguments& a) { return k.Delete(a.uris, a.media, a.simulate); }},
    {"demo", "run a whole workflow on the embedded simulator, printing each step",
     [](CLI::App&, Arguments&) {}, nullptr},
};

const Subcommand& Find(const std::string& name) {
    for (const Subcommand& subcommand : kSubcommands)
        if (name == subcommand.name) return subcommand;
    return kSubcommands[0]; // not reached: the parser accepts only the names above
}

void AddGlobalOptions(CLI::App& app, Settings& settings) {
    app.add_option("--url", settings.url, "Assets service URL, e.g. http://server/services/Assets");
    app.add_option("--user", settings.user, "user name")->capture_default_str();
    app.add_option("--password", settings.password, "password");
    app.add_flag("--json", settings.json, "print results as JSON");
    app.add_option("--library", settings.library, "path of libZuInterplayAccess.so");
    app.add_option("--code-page", settings.codePage, "ANSI code page of the component's narrow text")
        ->capture_default_str();
    app.add_option("--timeout", settings.timeoutSeconds,
                   "idle time-out in seconds (0: none); connection attempts get at most 30 s")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--ca-file", settings.caFile, "CA bundle that https:// servers are verified against");
    app.add_flag("--insecure", settings.insecure, "do not verify the https:// server's certificate");
    // The options above are taken after any subcommand as well.
    app.fallthrough();
}

// Applies --timeout, --ca-file and --insecure through the connection interface.
void ApplyConnectionOptions(IZuInterplayAccess* access, const Settings& settings) {
    IZuInterplayConnection* connection = nullptr;
    if (FAILED(access->QueryInterface(IID_IZuInterplayConnection, reinterpret_cast<void**>(&connection))))
        return;
    if (settings.timeoutSeconds >= 0) {
        double ms = settings.timeoutSeconds * 1000.0 + 0.5;
        ULONG idle = ms >= 4294967295.0 ? 4294967295u : static_cast<ULONG>(ms);
        ULONG connect =
            idle == 0 || idle > ZU_DEFAULT_CONNECT_TIMEOUT_MS ? ZU_DEFAULT_CONNECT_TIMEOUT_MS : idle;
        ULONG call = 0;
        connection->GetTimeouts(nullptr, nullptr, &call);
        connection->SetTimeouts(connect, idle, call);
    }
    if (!settings.caFile.empty()) connection->SetTrustedCertificates(Wide(settings.caFile).c_str());
    if (settings.insecure) {
        connection->SetVerifyServer(false);
        fprintf(stderr, "warning: --insecure: the server's certificate is not verified\n");
    }
    connection->Release();
}

// Without --url, starts the embedded simulator and points settings.url and
// root at it. False (with the error written) when there is no service.
bool StartService(Settings& settings, bool demo, std::unique_ptr<assets_sim::AssetsSimulator>* simulator,
                  std::string* root) {
    if (settings.url.empty()) {
        assets_sim::Options options;
        options.users.push_back({settings.user, settings.password});
        *simulator = std::make_unique<assets_sim::AssetsSimulator>(options);
        std::string error;
        if (!(*simulator)->Start(&error)) {
            fprintf(stderr, "error: cannot start the embedded simulator: %s\n", error.c_str());
            return false;
        }
        settings.url = (*simulator)->ServiceURL();
        *root = (*simulator)->RootURI();
    } else if (demo) {
        fprintf(stderr, "error: the demo runs on the embedded simulator; leave out --url\n");
        return false;
    }
    return true;
}

int Demo(InterplayClient& client, ResultPrinter& printer, const Settings& settings, const std::string& root) {
    if (!settings.json)
        printf("Assets service simulator at %s, root folder %s\n", settings.url.c_str(), root.c_str());
    bool ok = RunDemo(client, printer, root);
    if (!settings.json)
        printf("\n%s\n", ok ? "Demo finished: every step succeeded." : "Demo finished with failures.");
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    setlocale(LC_CTYPE, "C.UTF-8");
    Settings settings;
    CLI::App app{
        "interplay-cli: work with an asset-management server's Assets service through the "
        "interplay access component.\nWithout --url, an embedded Assets service simulator is "
        "started on a loopback port."};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("interplay-cli ") + ZU_VERSION_STRING);
    AddGlobalOptions(app, settings);
    Arguments args;
    for (const Subcommand& subcommand : kSubcommands)
        subcommand.declare(*app.add_subcommand(subcommand.name, subcommand.help), args);
    app.add_subcommand("register",
                       "register the component's class (the library of --library, else the "
                       "one beside this program)");
    app.add_subcommand("unregister", "remove the component's class registration");

    // The arguments as UTF-8, the host's own text, whatever the platform gives.
    std::vector<std::string> arguments = KoUtf8Arguments(argc, argv);
    std::vector<char*> argumentPointers;
    for (std::string& argument : arguments) argumentPointers.push_back(&argument[0]);
    CLI11_PARSE(app, static_cast<int>(argumentPointers.size()), argumentPointers.data());
    const std::string command = app.get_subcommands().front()->get_name();
    const Subcommand& subcommand = Find(command);

    KoSetThreadCodePage(settings.codePage);
    KoSetMessageBoxHandler(ShowMessageBox, nullptr);
    std::string error;
    if (command == "register" || command == "unregister") {
        const std::string library =
            settings.library.empty() ? ComponentHost::DefaultLibraryPath() : settings.library;
        if (ComponentHost::Register(library, command == "register", &error)) return 0;
        fprintf(stderr, "error: %s\n", error.c_str());
        return 1;
    }

    std::unique_ptr<assets_sim::AssetsSimulator> simulator;
    std::string root = "interplay://Workgroup";
    if (!StartService(settings, !subcommand.run, &simulator, &root)) return 2;

    ComponentHost host;
    if (!(settings.library.empty() ? host.Create(&error) : host.Load(settings.library, &error))) {
        fprintf(stderr, "error: %s\n", error.c_str());
        return 2;
    }
    IZuInterplayAccess* access = host.Access();
    access->SetServiceURL(Wide(settings.url).c_str());
    access->SetCredentials(Wide(settings.user).c_str(), Wide(settings.password).c_str());
    ApplyConnectionOptions(access, settings);
    PrepareLocalFolders();

    InterplayClient client(access);
    ResultPrinter printer(settings.json, stdout);
    if (!subcommand.run) return Demo(client, printer, settings, root);
    Result result;
    try {
        result = subcommand.run(client, args);
    } catch (const CLI::Error& e) {
        return app.exit(e);
    }
    printer.Print(command, result);
    return result.ok ? 0 : 1;
}
