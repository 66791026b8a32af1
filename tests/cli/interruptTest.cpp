#include "cliFixture.h"

#include "output/rowLines.h"
#include "rowReaders.h"

#include <gtest/gtest.h>

#include <csignal>
#include <future>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace velmora {
namespace {

using Rows = std::vector<std::vector<std::string>>;

class CliInterrupt : public test::CliFixture {};

/// The real command, with its standard output and error going to files.
pid_t spawnCli(const std::vector<std::string>& args, const std::string& out, const std::string& err) {
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> all{VELMORA_CLI_BINARY};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, VELMORA_CLI_BINARY, &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    return spawned == 0 ? pid : -1;
}

TEST_F(CliInterrupt, CtrlCStopsTheRunKeepsCompleteRowsAndExits130) {
    server.setKeyword("cli interrupt", {.listingCount = 10});
    market::FaultRule stall;
    stall.type = market::FaultType::Stall;
    stall.kind = market::RequestKind::ItemDetail;
    stall.firstRequest = 3;
    server.addFault(stall);
    std::promise<void> stalled;
    server.setRequestObserver([&stalled](const market::RequestRecord& record) {
        if (record.fault == market::FaultType::Stall) {
            stalled.set_value();
        }
    });

    const std::string out = file("rows.csv");
    const std::string err = file("log.txt");
    const pid_t pid = spawnCli({"--market-domain", server.domain(), "cli interrupt"}, out, err);
    ASSERT_GT(pid, 0);
    // The third row waits for its sales figure for ever: Ctrl-C is the only way on.
    const bool reached = stalled.get_future().wait_for(std::chrono::seconds(60)) == std::future_status::ready;
    ::kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    server.setRequestObserver(nullptr);
    ASSERT_TRUE(reached) << test::readFile(err);

    ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal rather than by the stop";
    EXPECT_EQ(WEXITSTATUS(status), 130);
    Rows expected = keywordRows(server.listings("cli interrupt"));
    expected.resize(2);
    expected.insert(expected.begin(), std::vector<std::string>(kColumnTitles.begin(), kColumnTitles.end()));
    EXPECT_EQ(test::readCsv(test::readFile(out)), expected);
    const auto messages = test::logMessages(test::readFile(err));
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), "1/1") << "no summary after a stop";
}

} // namespace
} // namespace velmora
