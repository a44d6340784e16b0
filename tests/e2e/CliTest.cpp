// The command-line host as a user or a script runs it.
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "ScriptedServer.h"
#include "TempDir.h"

namespace {

struct CliRun {
    int status = -1;
    std::string out;
};

CliRun Cli(const std::string& arguments) {
    CliRun run;
    std::string command = std::string(ZU_CLI_PATH) + " " + arguments + " 2>/dev/null";
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
    EXPECT_NE(run.status, 0);
    nlohmann::json result = nlohmann::json::parse(run.out, nullptr, false);
    ASSERT_TRUE(result.is_object()) << run.out;
    EXPECT_FALSE(result.value("ok", true));
    EXPECT_EQ(result.value("code", ""), "0x88888FFF");
    EXPECT_FALSE(result.value("error", "").empty());

    CliRun ok = Cli("--json ls interplay://Workgroup --folders-only");
    EXPECT_EQ(ok.status, 0) << ok.out;
    nlohmann::json listing = nlohmann::json::parse(ok.out, nullptr, false);
    ASSERT_TRUE(listing.is_object());
    ASSERT_TRUE(listing["result"].is_array());
    EXPECT_EQ(listing["result"][0].value("uri", ""), "interplay://Workgroup/Projects");

    CliRun usage = Cli("frobnicate");
    EXPECT_NE(usage.status, 0);
}

// --timeout and --insecure after the subcommand: a server that never answers
// ends the call within the time-out, and the failure carries the transport's
// details under the component's text.
TEST(Cli, TimeOutEndsAHungCallWithTheTransportDetails) {
    ScopedKoRoots roots;
    ScriptedServer server;
    server.setDefaultReply(ScriptedServer::Reply::stall());
    CliRun run = Cli("--json --url " + server.url() + " ls interplay://Workgroup --timeout 0.3 --insecure");
    EXPECT_NE(run.status, 0);
    nlohmann::json result = nlohmann::json::parse(run.out, nullptr, false);
    ASSERT_TRUE(result.is_object()) << run.out;
    EXPECT_EQ(result.value("code", ""), "0xFFFFFFFF");
    EXPECT_FALSE(result.value("error", "").empty());
    ASSERT_TRUE(result["transport"].is_object()) << run.out;
    EXPECT_EQ(result["transport"].value("runtime code", 0), -1);
    EXPECT_NE(result["transport"].value("runtime", "").find("timed out"), std::string::npos) << run.out;
}
