// interplay-cli: a host of the interplay access component. Every operation of
// the component is a subcommand; without --url it runs against an embedded
// Assets service simulator.
#include <locale.h>
#include <stdio.h>

#include <CLI/CLI.hpp>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>

#include "AssetsSimulator.h"
#include "CallTrace.h"
#include "ComponentHost.h"
#include "ConfigFile.h"
#include "Demo.h"
#include "FailureReport.h"
#include "InterplayClient.h"
#include "KoConsole.h"
#include "KoPlatform.h"
#include "KoProcess.h"
#include "PasswordSource.h"
#include "ResultPrinter.h"
#include "Text.h"
#include "ZuVersion.h"

namespace {

// The built-in password, which the embedded simulator accepts; a server gets
// it only when no source gives one and there is no terminal to ask at.
const char kBuiltInPassword[] = "editor";

struct Settings {
    std::string url;
    std::string user = "editor";
    std::string password = kBuiltInPassword;
    std::optional<std::string> commandLinePassword;
    std::string passwordFile;
    std::string library;
    bool json = false;
    unsigned codePage = 936;
    double timeoutSeconds = -1; // < 0: the component's own
    std::string caFile;
    bool insecure = false;
    std::string configFile;
    std::string profile;
    int verbosity = 0;
    // Where each setting came from: "command line", "profile NAME" or
    // "built-in", by its name in the configuration file.
    std::vector<std::pair<std::string, std::string>> origins;
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
    {"config", "show the effective settings and where each came from (never the password)",
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
    app.add_option("--password", settings.commandLinePassword,
                   "password (others on this machine may see it: prefer the sources below)");
    app.add_option("--password-file", settings.passwordFile,
                   "file whose first line is the password; refused when others may read it");
    app.add_flag("--json", settings.json, "print results as JSON");
    app.add_option("--library", settings.library, "path of libZuInterplayAccess.so");
    app.add_option("--code-page", settings.codePage, "ANSI code page of the component's narrow text")
        ->capture_default_str();
    app.add_option("--timeout", settings.timeoutSeconds,
                   "idle time-out in seconds (0: none); connection attempts get at most 30 s")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--ca-file", settings.caFile, "CA bundle that https:// servers are verified against");
    app.add_flag("--insecure", settings.insecure, "do not verify the https:// server's certificate");
    app.add_option("--config", settings.configFile,
                   "configuration file (default: " + ConfigFile::DefaultPath() + ")");
    app.add_option("--profile", settings.profile,
                   "profile of the configuration file (default: its default_profile)");
    app.add_flag("-v,--verbose", settings.verbosity,
                 "show each call: request line, HTTP status, sizes, time; -vv adds the component's live log");
    // The options above are taken after any subcommand as well.
    app.fallthrough();
}

// Fills what the command line left out from the profile, and notes where each
// setting came from.
void ApplyProfile(const CLI::App& app, const Profile& profile, const std::string& from, Settings& settings) {
    auto take = [&](const char* option, const char* key, auto& field, const auto& value) {
        std::string origin = "built-in";
        if (app.count(option)) {
            origin = "command line";
        } else if (value) {
            field = *value;
            origin = from;
        }
        settings.origins.emplace_back(key, origin);
    };
    take("--url", "url", settings.url, profile.url);
    take("--user", "user", settings.user, profile.user);
    take("--code-page", "code_page", settings.codePage, profile.codePage);
    take("--timeout", "timeout", settings.timeoutSeconds, profile.timeoutSeconds);
    take("--ca-file", "ca_file", settings.caFile, profile.caFile);
    take("--insecure", "insecure", settings.insecure, profile.insecure);
    take("--password-file", "password_file", settings.passwordFile, profile.passwordFile);
}

// Reads the configuration file and applies the chosen profile; false with the
// failure reported.
bool Configure(const CLI::App& app, Settings& settings, ConfigFile& config, FailureReport* failure,
               std::string* error) {
    const bool named = app.count("--config") > 0;
    if (!config.Load(named ? settings.configFile : ConfigFile::DefaultPath(), named, error)) {
        *failure = FailureReport::Local(kExitLocalFile, "unusable configuration file",
                                        "correct the file or name another with --config");
        return false;
    }
    std::string name = config.Choose(settings.profile);
    Profile profile;
    if (!name.empty() && !config.Find(name, &profile)) {
        *error = "no profile \"" + name + "\" in " +
                 (config.Loaded() ? config.Path() : "the configuration (no file at " + config.Path() + ")");
        *failure = FailureReport::Local(kExitUsage, "unknown profile",
                                        "name a [profiles.NAME] of the configuration file");
        return false;
    }
    settings.profile = name;
    ApplyProfile(app, profile, "profile " + name, settings);
    return true;
}

PasswordSource PasswordSourceOf(const CLI::App& app, const Settings& settings) {
    PasswordSource source;
    source.commandLine = settings.commandLinePassword;
    source.file = settings.passwordFile;
    source.fileOrigin = app.count("--password-file") ? "--password-file" : "profile " + settings.profile;
    return source;
}

// `config`: the effective settings, never the password.
int ShowConfig(const CLI::App& app, const Settings& settings, const ConfigFile& config) {
    nlohmann::ordered_json shown = nlohmann::ordered_json::object();
    shown["config file"] = config.Path() + (config.Loaded() ? "" : " (not found)");
    shown["profile"] = settings.profile;
    auto value = [&](const std::string& key) -> nlohmann::ordered_json {
        if (key == "url") return settings.url.empty() ? "(embedded simulator)" : MaskedUrl(settings.url);
        if (key == "user") return settings.user;
        if (key == "code_page") return settings.codePage;
        if (key == "timeout") {
            if (settings.timeoutSeconds < 0) return "(the component's own)";
            return settings.timeoutSeconds;
        }
        if (key == "ca_file") return settings.caFile;
        if (key == "insecure") return settings.insecure;
        return settings.passwordFile;
    };
    for (const auto& [key, origin] : settings.origins)
        shown["settings"][key] = {{"value", value(key)}, {"from", origin}};
    std::string source = PasswordSourceOf(app, settings).Describe();
    shown["password"] =
        source.empty() ? "not set: asked for on a terminal, else the built-in one" : "set, from " + source;
    if (settings.json) {
        printf("%s\n", shown.dump(2).c_str());
        return kExitOk;
    }
    printf("config file: %s\nprofile: %s\n", shown["config file"].get<std::string>().c_str(),
           settings.profile.empty() ? "(none)" : settings.profile.c_str());
    for (const auto& [key, origin] : settings.origins) {
        const nlohmann::ordered_json& v = shown["settings"][key]["value"];
        std::string text = v.is_string() ? v.get<std::string>() : v.dump();
        printf("%s: %s  (%s)\n", key.c_str(), text.empty() ? "(none)" : text.c_str(), origin.c_str());
    }
    printf("password: %s\n", shown["password"].get<std::string>().c_str());
    return kExitOk;
}

// A failure of the host itself, printed like the component's; its exit code.
int HostFailure(ResultPrinter& printer, const std::string& command, const std::string& error,
                FailureReport report) {
    Result result;
    result.ok = false;
    result.error = error;
    report.AttachTo(&result);
    printer.Print(command, result);
    return report.exitCode;
}

// The local files a subcommand reads must be there before anything is sent.
bool CheckLocalFiles(const Arguments& args, std::string* error) {
    for (const std::string* path : {&args.file, &args.headframe}) {
        if (path->empty()) continue;
        std::error_code ec;
        std::string local = InterplayClient::LocalPath(Wide(*path));
        if (!std::filesystem::is_regular_file(std::filesystem::u8path(local), ec)) {
            *error = "cannot read the local file " + *path;
            return false;
        }
    }
    return true;
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

// The time-out that ends a call that hangs: the smaller of the idle and the
// whole-call time-outs, 0 for none.
unsigned long TimeLimit(IZuInterplayAccess* access) {
    IZuInterplayConnection* connection = nullptr;
    if (FAILED(access->QueryInterface(IID_IZuInterplayConnection, reinterpret_cast<void**>(&connection))))
        return 0;
    ULONG idle = 0, call = 0;
    connection->GetTimeouts(nullptr, &idle, &call);
    connection->Release();
    if (idle == 0) return call;
    return call == 0 || idle < call ? idle : call;
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
    app.footer(
        "Password, first source that gives one: --password, $INTERPLAY_PASSWORD, --password-file or the "
        "profile's password_file, a prompt on a terminal.\n"
        "Profiles: [profiles.NAME] in the configuration file (url, user, code_page, timeout, ca_file, "
        "insecure, password_file; default_profile names one); the command line wins over them.\n"
        "Exit codes: 0 success, 1 other failure, 2 usage error, 3 could not connect (refused, host not "
        "found, time-out, TLS), 4 the server refused (credentials, unknown URI), 5 other server error, "
        "6 local file problem.");
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
    try {
        app.parse(static_cast<int>(argumentPointers.size()), argumentPointers.data());
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? kExitOk : kExitUsage;
    }
    const std::string command = app.get_subcommands().front()->get_name();
    const Subcommand& subcommand = Find(command);
    ResultPrinter printer(settings.json, stdout);

    ConfigFile config;
    FailureReport failure;
    std::string error;
    if (!Configure(app, settings, config, &failure, &error))
        return HostFailure(printer, command, error, failure);
    if (settings.verbosity >= 2) KoSetEnvironment("KODEBUG_LIVE", "1");

    KoSetThreadCodePage(settings.codePage);
    KoSetMessageBoxHandler(ShowMessageBox, nullptr);
    if (command == "config") return ShowConfig(app, settings, config);
    if (command == "register" || command == "unregister") {
        const std::string library =
            settings.library.empty() ? ComponentHost::DefaultLibraryPath() : settings.library;
        if (ComponentHost::Register(library, command == "register", &error)) return kExitOk;
        fprintf(stderr, "error: %s\n", error.c_str());
        return kExitOther;
    }
    if (!CheckLocalFiles(args, &error))
        return HostFailure(
            printer, command, error,
            FailureReport::Local(kExitLocalFile, "local file missing", "check the file's path"));

    // The password: the simulator needs none, a server may ask at the terminal.
    std::string password, source;
    switch (PasswordSourceOf(app, settings).Resolve(!settings.url.empty(), &password, &source, &error)) {
    case PasswordSource::Outcome::Found:
        settings.password = password;
        break;
    case PasswordSource::Outcome::None:
        break;
    case PasswordSource::Outcome::Refused:
        return HostFailure(printer, command, error,
                           FailureReport::Local(kExitUsage, "password file readable by others",
                                                "chmod 600 the file, or give the password another way"));
    case PasswordSource::Outcome::Unreadable:
        return HostFailure(
            printer, command, error,
            FailureReport::Local(kExitLocalFile, "password file unreadable", "check the file's path"));
    }
    if (settings.commandLinePassword && (KoIsTerminal(stdin) || KoIsTerminal(stderr)))
        fprintf(stderr,
                "warning: --password shows the password to other users of this machine and keeps it in "
                "the shell's history; use INTERPLAY_PASSWORD, --password-file or the prompt\n");

    std::unique_ptr<assets_sim::AssetsSimulator> simulator;
    std::string root = "interplay://Workgroup";
    if (!StartService(settings, !subcommand.run, &simulator, &root))
        return simulator ? kExitOther : kExitUsage;

    ComponentHost host;
    if (!(settings.library.empty() ? host.Create(&error) : host.Load(settings.library, &error))) {
        fprintf(stderr, "error: %s\n", error.c_str());
        return kExitLocalFile;
    }
    IZuInterplayAccess* access = host.Access();
    access->SetServiceURL(Wide(settings.url).c_str());
    access->SetCredentials(Wide(settings.user).c_str(), Wide(settings.password).c_str());
    ApplyConnectionOptions(access, settings);
    PrepareLocalFolders();

    InterplayClient client(access);
    if (!subcommand.run) return Demo(client, printer, settings, root);
    CallTrace trace(access, settings.url, settings.user, stderr);
    if (settings.verbosity) trace.Before(command);
    Result result;
    const auto start = std::chrono::steady_clock::now();
    try {
        result = subcommand.run(client, args);
    } catch (const CLI::Error& e) {
        return app.exit(e) == 0 ? kExitOk : kExitUsage;
    }
    if (settings.verbosity) trace.After(result);
    if (!result.ok) {
        CallTiming timing;
        timing.elapsedMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        timing.limitMs = TimeLimit(access);
        FailureReport::Of(result, MaskedUrl(settings.url), timing).AttachTo(&result);
    }
    printer.Print(command, result);
    return result.ok ? kExitOk : result.exitCode;
}
