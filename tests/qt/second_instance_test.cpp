// Runs the program twice: the second process must end at once with 0 and
// the first must receive the show-window message.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

pid_t launch(const std::string& stderrPath) {
    const pid_t pid = fork();
    if (pid == 0) {
        FILE* err = std::freopen(stderrPath.c_str(), "w", stderr);
        (void)err;
        execl(QUELLIX_BINARY, QUELLIX_BINARY, static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// The exit status of a child, or -1 when it has not ended within ten
// seconds (it is killed then, so that a fault fails the test instead of
// hanging it).
int waitExit(pid_t pid) {
    for (int i = 0; i < 1000; ++i) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

bool waitFor(const std::string& path, const std::string& text) {
    for (int i = 0; i < 1000; ++i) {
        if (readFile(path).find(text) != std::string::npos) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(SecondInstance, ExitsAtOnceAndTheFirstGetsTheMessage) {
    // Fresh logs, so that no earlier run's lines are taken for this one's.
    const std::string dir =
        testing::TempDir() + "/quellix-second-instance-" + std::to_string(getpid());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string name = "quellix-qt-test-" + std::to_string(getpid());
    setenv("QUELLIX_INSTANCE_NAME", name.c_str(), 1);
    setenv("QUELLIX_DEBUG", "1", 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // No device: the HID layer looks at an empty simulator directory.
    setenv("QUELLIX_SIM_DIR", dir.c_str(), 1);
    // The program's settings stay in the test's folder.
    setenv("QUELLIX_DOCUMENTS_DIR", (dir + "/documents").c_str(), 1);
    setenv("QUELLIX_MACHINE_STORE", (dir + "/documents/machine.ini").c_str(), 1);

    const std::string firstLog = dir + "/first.log";
    const pid_t first = launch(firstLog);
    ASSERT_GT(first, 0);
    ASSERT_TRUE(waitFor(firstLog, "InitWindow")) << readFile(firstLog);
    // A message sent before the first one listens waits in its queue.
    const pid_t second = launch(dir + "/second.log");
    EXPECT_EQ(waitExit(second), 0) << readFile(dir + "/second.log");
    EXPECT_EQ(readFile(dir + "/second.log").find("InitWindow"), std::string::npos);

    // The registered message's trace, with the message's id.
    EXPECT_TRUE(waitFor(firstLog, "软件标示 49152")) << readFile(firstLog);

    // SIGTERM ends the run through the normal shutdown.
    kill(first, SIGTERM);
    EXPECT_EQ(waitExit(first), 0) << readFile(firstLog);
    EXPECT_NE(readFile(firstLog).find("所有对象处于激发状态"), std::string::npos)
        << readFile(firstLog);
    std::filesystem::remove_all(dir);
}

// Whether the process has a handler for SIGTERM yet (its SigCgt mask).
bool catchesTerm(pid_t pid) {
    std::istringstream status(readFile("/proc/" + std::to_string(pid) + "/status"));
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigCgt:", 0) == 0) {
            const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
            return (mask >> (SIGTERM - 1)) & 1u;
        }
    }
    return false;
}

// A stop that comes as soon as the program handles it (long before its
// window or event loop exists) ends the run with success, like a stop later.
TEST(ProcessLife, AStopAsSoonAsItIsHandledEndsWithSuccess) {
    const std::string dir = testing::TempDir() + "/quellix-early-stop-" + std::to_string(getpid());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    setenv("QUELLIX_INSTANCE_NAME", ("quellix-early-stop-" + std::to_string(getpid())).c_str(), 1);
    setenv("QUELLIX_DEBUG", "1", 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("QUELLIX_SIM_DIR", dir.c_str(), 1);
    setenv("QUELLIX_DOCUMENTS_DIR", (dir + "/documents").c_str(), 1);
    setenv("QUELLIX_MACHINE_STORE", (dir + "/documents/machine.ini").c_str(), 1);
    const pid_t pid = launch(dir + "/run.log");
    ASSERT_GT(pid, 0);
    bool handled = false;
    for (int i = 0; i < 5000 && !handled; ++i) {
        handled = catchesTerm(pid);
        if (!handled) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }
    ASSERT_TRUE(handled);
    // Handled before anything slow: the window does not exist yet.
    EXPECT_EQ(readFile(dir + "/run.log").find("InitWindow"), std::string::npos);
    kill(pid, SIGTERM);
    EXPECT_EQ(waitExit(pid), 0) << readFile(dir + "/run.log");
    std::filesystem::remove_all(dir);
}

} // namespace
