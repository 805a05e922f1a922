// The desktop program on a display that does not answer: a message and
// exit code 1, not Qt's abort.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "temp_dir.h"

namespace {

TEST(Display, AnUnreachableDisplayEndsWithAMessage) {
    quellix::platform::test::TempDir dir;
    const std::string out = (dir.path() / "out.txt").string();
    // Display 987 has no server (its socket would be /tmp/.X11-unix/X987).
    ASSERT_FALSE(std::ifstream("/tmp/.X11-unix/X987").good());
    const std::string command = "env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:987 "
                                "QUELLIX_INSTANCE_NAME=quellix-display-" +
                                std::to_string(getpid()) +
                                " QUELLIX_DOCUMENTS_DIR=" + dir.path().string() +
                                " QUELLIX_MACHINE_STORE=" + (dir.path() / "machine.ini").string() +
                                " " + QUELLIX_BINARY + " >" + out + " 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    std::stringstream text;
    text << std::ifstream(out).rdbuf();
    EXPECT_NE(text.str().find("cannot open the display :987"), std::string::npos) << text.str();
}

// Settings that make Qt's platform fail: a sentence naming what failed and
// exit code 1, not Qt's abort (134).
TEST(Display, PlatformSettingsQtCannotUseEndWithAMessage) {
    quellix::platform::test::TempDir dir;
    struct Case {
        const char* settings;
        const char* said;
    };
    const Case cases[] = {
        {"-u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=bogus", "platform plugin \"bogus\""},
        {"-u DISPLAY -u QT_QPA_PLATFORM WAYLAND_DISPLAY=quellix-no-such-compositor",
         "the display cannot be used"},
    };
    for (const Case& c : cases) {
        const std::string out = (dir.path() / "out.txt").string();
        const std::string command =
            std::string("env ") + c.settings + " XDG_RUNTIME_DIR=" + dir.path().string() +
            " QUELLIX_INSTANCE_NAME=quellix-display-" + std::to_string(getpid()) +
            " QUELLIX_DOCUMENTS_DIR=" + dir.path().string() +
            " QUELLIX_MACHINE_STORE=" + (dir.path() / "machine.ini").string() + " " +
            QUELLIX_BINARY + " >" + out + " 2>&1";
        const int status = std::system(command.c_str());
        std::stringstream text;
        text << std::ifstream(out).rdbuf();
        ASSERT_TRUE(WIFEXITED(status)) << c.settings << "\n" << text.str();
        EXPECT_EQ(WEXITSTATUS(status), 1) << c.settings << "\n" << text.str();
        EXPECT_NE(text.str().find(c.said), std::string::npos) << c.settings << "\n" << text.str();
    }
}

} // namespace
