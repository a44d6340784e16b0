// The command-line host as a user or a script runs it.
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>

#include "ScriptedServer.h"
#include "TempDir.h"

namespace {

struct CliRun {
    int status = -1;
    std::string out;
};

// Runs the host with the environment's assignments before it (no user's
// configuration file unless they name one); stderr joins stdout when asked.
CliRun Cli(const std::string& arguments, const std::string& environment = "", bool withStderr = false) {
    CliRun run;
    std::string command = "XDG_CONFIG_HOME=/nonexistent " + environment + " " + std::string(ZU_CLI_PATH) +
                          " " + arguments + (withStderr ? " 2>&1 </dev/null" : " 2>/dev/null </dev/null");
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace

TEST(Cli, DemoWorkflowSucceedsStepByStep) {
    ScopedKoRoots roots;
    CliRun run = Cli("--json demo");
    ASSERT_EQ(run.status, 0) << run.out;
    nlohmann::json steps = nlohmann::json::parse(run.out, nullptr, false);
    ASSERT_TRUE(steps.is_array()) << run.out;
    ASSERT_GE(steps.size(), 15u);
    std::set<std::string> commands;
    for (const auto& step : steps) {
        EXPECT_TRUE(step.value("ok", false)) << step.dump();
        commands.insert(step.value("command", ""));
    }
    for (const char* command :
         {"mkdir", "checkin-aaf", "ls", "set-attrs", "attrs", "search", "add-locators", "locators",
          "remove-locator", "duplicate", "move", "latest", "headframe", "delete"})
        EXPECT_EQ(commands.count(command), 1u) << command;
    for (const auto& step : steps) {
        if (step.value("command", "") == "latest" || step.value("command", "") == "headframe") {
            EXPECT_TRUE(step["result"].value("matches", false)) << step.dump();
        }
    }
}

TEST(Cli, FailuresExitNonZeroWithTheLastErrorText) {
    ScopedKoRoots roots;
    CliRun run = Cli("--json mkdir interplay://Workgroup/无此目录/子目录");
    EXPECT_EQ(run.status, 4);
    nlohmann::json result = nlohmann::json::parse(run.out, nullptr, false);
    ASSERT_TRUE(result.is_object()) << run.out;
    EXPECT_FALSE(result.value("ok", true));
    EXPECT_EQ(result.value("code", ""), "0x88888FFF");
    EXPECT_EQ(result.value("words", ""), "the server does not know the URI");
    EXPECT_FALSE(result.value("error", "").empty());

    CliRun ok = Cli("--json ls interplay://Workgroup --folders-only");
    EXPECT_EQ(ok.status, 0) << ok.out;
    nlohmann::json listing = nlohmann::json::parse(ok.out, nullptr, false);
    ASSERT_TRUE(listing.is_object());
    ASSERT_TRUE(listing["result"].is_array());
    EXPECT_EQ(listing["result"][0].value("uri", ""), "interplay://Workgroup/Projects");

    CliRun usage = Cli("frobnicate");
    EXPECT_EQ(usage.status, 2);
}

// Each class of failure: its exit code, the words for what happened and the
// URL used, in --json and after the component's own text.
TEST(Cli, FailuresExitByClassWithWhatHappened) {
    ScopedKoRoots roots;
    const std::string refusedUrl =
        "http://127.0.0.1:" + std::to_string(ScriptedServer::closedPort()) + "/services/Assets";
    const struct {
        std::optional<ScriptedServer::Reply> reply; // a server that answers so; none: refusedUrl
        std::string arguments;
        int exit;
        const char* words;
    } cases[] = {
        {std::nullopt, "ls interplay://Workgroup", 3, "connection refused"},
        {ScriptedServer::Reply::http("<html>down</html>", 401, "text/html"), "ls interplay://Workgroup", 4,
         "HTTP status 401"},
        {ScriptedServer::Reply::http("<html>down</html>", 503, "text/html"), "ls interplay://Workgroup", 5,
         "HTTP status 503"},
        {ScriptedServer::Reply::closeAfterReading(), "ls interplay://Workgroup", 5,
         "connection closed early"},
        {std::nullopt, "checkin /nonexistent/clip.aaf interplay://Workgroup/Projects", 6,
         "local file missing"},
    };
    for (const auto& c : cases) {
        std::optional<ScriptedServer> server;
        std::string url = refusedUrl;
        if (c.reply) {
            server.emplace();
            server->setDefaultReply(*c.reply);
            url = server->url();
        }
        CliRun run = Cli("--json --url " + url + " " + c.arguments, "INTERPLAY_PASSWORD=pw-of-the-test");
        EXPECT_EQ(run.status, c.exit) << c.arguments << "\n" << run.out;
        nlohmann::json result = nlohmann::json::parse(run.out, nullptr, false);
        ASSERT_TRUE(result.is_object()) << run.out;
        EXPECT_EQ(result.value("words", ""), c.words) << run.out;
        EXPECT_EQ(result.value("exit code", 0), c.exit) << run.out;
        EXPECT_FALSE(result.value("hint", "").empty()) << run.out;
        if (c.exit != 6) {
            EXPECT_EQ(result.value("url", ""), url) << run.out;
        }
    }
    // Read by a user: the words follow the component's text.
    CliRun text =
        Cli("--url " + refusedUrl + " ls interplay://Workgroup", "INTERPLAY_PASSWORD=pw-of-the-test", true);
    EXPECT_NE(text.out.find("what happened: connection refused (could not connect)"), std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("url: " + refusedUrl), std::string::npos) << text.out;
}

// Whatever gives the password, on success and on failure, -vv included, it
// shows nowhere; --verbose shows each call with the credentials masked.
TEST(Cli, PasswordNeverShows) {
    ScopedKoRoots roots;
    TempDir dir;
    const std::string secret = "Pw-5ecret-7319";
    dir.write("pw", secret + "\n");
    chmod(dir.file("pw").c_str(), 0600);
    ScriptedServer server;
    server.setDefaultReply(ScriptedServer::Reply::http("<html>no</html>", 500, "text/html"));
    const std::string refused =
        "--url http://127.0.0.1:" + std::to_string(ScriptedServer::closedPort()) + "/services/Assets";
    const struct {
        std::string arguments;
        std::string environment;
        int exit;
    } cases[] = {
        {"-vv ls interplay://Workgroup", "INTERPLAY_PASSWORD=" + secret, 0},
        {"-vv --password " + secret + " ls interplay://Workgroup", "", 0},
        {"-vv --password-file " + dir.file("pw") + " --url " + server.url() + " ls interplay://Workgroup", "",
         5},
        {"-vv --json " + refused + " mkdir interplay://Workgroup/x", "INTERPLAY_PASSWORD=" + secret, 3},
        {"--password-file " + dir.file("pw") + " config", "", 0},
    };
    for (const auto& c : cases) {
        CliRun run = Cli(c.arguments, c.environment, true);
        EXPECT_EQ(run.status, c.exit) << c.arguments << "\n" << run.out;
        // The command line itself is not output.
        std::string out = run.out;
        for (size_t at = out.find("--password " + secret); at != std::string::npos;
             at = out.find("--password " + secret))
            out.erase(at, 11 + secret.size());
        EXPECT_EQ(out.find(secret), std::string::npos) << c.arguments << "\n" << run.out;
        if (c.arguments.rfind("-vv", 0) == 0) {
            EXPECT_NE(run.out.find("> POST /services/Assets HTTP/1.1"), std::string::npos) << run.out;
            EXPECT_NE(run.out.find("password ***"), std::string::npos) << run.out;
        }
        if (c.exit == 0 && c.arguments.rfind("-vv", 0) == 0) {
            EXPECT_NE(run.out.find("[KoDebug]"), std::string::npos) << run.out;
        }
    }
    CliRun ok = Cli("-v ls interplay://Workgroup", "", true);
    EXPECT_NE(ok.out.find("HTTP status 200; "), std::string::npos) << ok.out;
    EXPECT_NE(ok.out.find(" bytes received; "), std::string::npos) << ok.out;
}

// The command line over the profile over the built-in defaults; a password
// file others may read is refused.
TEST(Cli, ProfilesAndThePasswordFile) {
    ScopedKoRoots roots;
    TempDir dir;
    const std::string url =
        "http://127.0.0.1:" + std::to_string(ScriptedServer::closedPort()) + "/services/Assets";
    dir.write("pw", "secret\n");
    chmod(dir.file("pw").c_str(), 0644);
    dir.write("config.toml", "default_profile = \"main\"\n[profiles.main]\nurl = \"" + url +
                                 "\"\nuser = \"alice\"\ntimeout = 7\npassword_file = \"" + dir.file("pw") +
                                 "\"\n[profiles.other]\nuser = \"bob\"\n");
    const std::string config = "--config " + dir.file("config.toml");
    const struct {
        std::string arguments;
        const char* key;
        nlohmann::json value;
        std::string from;
    } cases[] = {
        {config + " --user carol config", "user", "carol", "command line"},
        {config + " --user carol config", "url", url, "profile main"},
        {config + " config --timeout 2", "timeout", 2.0, "command line"},
        {config + " config", "timeout", 7.0, "profile main"},
        {config + " config", "code_page", 936, "built-in"},
        {config + " --profile other config", "user", "bob", "profile other"},
        {config + " --profile other config", "url", "(embedded simulator)", "built-in"},
    };
    for (const auto& c : cases) {
        CliRun run = Cli("--json " + c.arguments);
        ASSERT_EQ(run.status, 0) << c.arguments << "\n" << run.out;
        nlohmann::json shown = nlohmann::json::parse(run.out, nullptr, false);
        ASSERT_TRUE(shown.is_object()) << run.out;
        EXPECT_EQ(shown["settings"][c.key]["value"], c.value) << c.arguments << "\n" << run.out;
        EXPECT_EQ(shown["settings"][c.key].value("from", ""), c.from) << c.arguments << "\n" << run.out;
    }
    EXPECT_EQ(Cli(config + " --profile nope config").status, 2);
    EXPECT_EQ(Cli("--config " + dir.file("missing.toml") + " config").status, 6);

    CliRun refused = Cli(config + " ls interplay://Workgroup", "", true);
    EXPECT_EQ(refused.status, 2) << refused.out;
    EXPECT_NE(refused.out.find("may be read by other users"), std::string::npos) << refused.out;
    chmod(dir.file("pw").c_str(), 0600);
    EXPECT_EQ(Cli(config + " ls interplay://Workgroup").status, 3);
}

// --timeout and --insecure after the subcommand: a server that never answers
// ends the call within the time-out, and the failure carries the transport's
// details under the component's text.
TEST(Cli, TimeOutEndsAHungCallWithTheTransportDetails) {
    ScopedKoRoots roots;
    ScriptedServer server;
    server.setDefaultReply(ScriptedServer::Reply::stall());
    CliRun run = Cli("--json --url " + server.url() + " ls interplay://Workgroup --timeout 0.3 --insecure");
    EXPECT_EQ(run.status, 3);
    nlohmann::json result = nlohmann::json::parse(run.out, nullptr, false);
    ASSERT_TRUE(result.is_object()) << run.out;
    EXPECT_EQ(result.value("words", ""), "timed out");
    EXPECT_EQ(result.value("code", ""), "0xFFFFFFFF");
    EXPECT_FALSE(result.value("error", "").empty());
    ASSERT_TRUE(result["transport"].is_object()) << run.out;
    EXPECT_EQ(result["transport"].value("runtime code", 0), -1);
    EXPECT_NE(result["transport"].value("runtime", "").find("timed out"), std::string::npos) << run.out;
}
