// The quellix-sim tool as a user runs it: a server process and commands
// that change it.

#include "sim_client.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Spawned {
    pid_t pid = -1;
    int output = -1; // read end of the child's stdout
};

Spawned spawnTool(const std::vector<std::string>& args) {
    std::vector<std::string> all{QUELLIX_SIM_TOOL};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        throw std::runtime_error("pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    Spawned child;
    if (posix_spawn(&child.pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        throw std::runtime_error("spawn");
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    child.output = pipeFds[0];
    return child;
}

std::string readLine(int fd) {
    std::string line;
    char c;
    while (::read(fd, &c, 1) == 1 && c != '\n') {
        line += c;
    }
    return line;
}

int exitCodeOf(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs a tool command to its end; returns the exit code and its output.
std::pair<int, std::string> runTool(const std::vector<std::string>& args) {
    Spawned child = spawnTool(args);
    std::string output;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(child.output, buffer, sizeof buffer)) > 0) {
        output.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(child.output);
    return {exitCodeOf(child.pid), output};
}

TEST(QuellixSimTool, ServesChangesAndCleansUpItsDirectory) {
    const fs::path dir =
        fs::temp_directory_path() / ("quellix-sim-tool-" + std::to_string(::getpid()));
    Spawned server =
        spawnTool({"serve", "--devices", "pad", "--dir", dir.native(), "--latency-us", "0"});
    ASSERT_EQ(readLine(server.output), dir.native()); // printed once the devices are served

    EXPECT_TRUE(fs::exists(dir / "0c45_5f02_0105_00.sock"));
    EXPECT_EQ(runTool({"plug", "keyboard", "--pid", "0x7513", "--dir", dir.native()}).first, 0);
    EXPECT_TRUE(fs::exists(dir / "0c45_7513_0105_01.sock"));
    {
        quellix::sim::testing::Client consumer(dir / "0c45_7513_0105_01.sock");
        EXPECT_EQ(runTool({"notify", "keyboard", "0x401", "--dir", dir.native()}).first, 0);
        EXPECT_EQ(consumer.receive(), std::optional<std::vector<std::uint8_t>>({3, 0x01, 0x04}));
    }
    const auto [dumpCode, dump] = runTool({"dump", "pad", "--dir", dir.native()});
    EXPECT_EQ(dumpCode, 0);
    EXPECT_EQ(dump.rfind("pad 0c45:5f02 plugged\n", 0), 0u) << dump;
    EXPECT_EQ(runTool({"unplug", "pad", "--dir", dir.native()}).first, 0);
    EXPECT_FALSE(fs::exists(dir / "0c45_5f02_0105_00.sock"));

    EXPECT_EQ(runTool({"notify", "pad", "0x401", "--dir", dir.native()}).first, 1); // not plugged
    EXPECT_EQ(runTool({"plug", "toaster", "--dir", dir.native()}).first, 2);
    EXPECT_EQ(runTool({"serve", "--dir", dir.native()}).first, 1); // already served

    ::kill(server.pid, SIGTERM);
    EXPECT_EQ(exitCodeOf(server.pid), 0);
    ::close(server.output);
    EXPECT_FALSE(fs::exists(dir)); // it created the directory, so it removes it
}

TEST(QuellixSimTool, CommandsWithoutAServerFail) {
    const auto [code, output] = runTool({"list", "--dir", "/nonexistent/quellix-sim"});
    EXPECT_EQ(code, 1);
    EXPECT_EQ(runTool({"serve", "--devices", "mouse,toaster"}).first, 2);
}

} // namespace
