#include "quellix/platform/foreground_program.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace quellix::platform {
namespace {

TEST(FixedForegroundProgram, AnswersWhatWasSetAndUnknownBeforeThat) {
    FixedForegroundProgram program;
    EXPECT_FALSE(program.programInFront().known());
    EXPECT_FALSE(program.programInFront().reason.empty());
    program.setExecutable("/usr/bin/game");
    EXPECT_EQ(program.programInFront().executable, "/usr/bin/game");
    program.setExecutable({});
    EXPECT_FALSE(program.programInFront().known());
}

TEST(DesktopForegroundProgram, WithoutAnXServerIsUnknownWithAReason) {
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display ? display : "";
    ::unsetenv("DISPLAY");
    const ProgramInFront front = openForegroundProgram()->programInFront();
    if (display) {
        ::setenv("DISPLAY", saved.c_str(), 1);
    }
    EXPECT_FALSE(front.known());
    EXPECT_NE(front.reason.find("DISPLAY"), std::string::npos);
}

// On an X display the answer is either a real executable or a reason.
TEST(DesktopForegroundProgram, OnAnXDisplayNamesAnExistingExecutableOrSaysWhy) {
    if (std::getenv("DISPLAY") == nullptr) {
        GTEST_SKIP() << "no X display";
    }
    const ProgramInFront front = openForegroundProgram()->programInFront();
    if (front.known()) {
        EXPECT_TRUE(front.executable.is_absolute());
    } else {
        EXPECT_FALSE(front.reason.empty());
    }
}

} // namespace
} // namespace quellix::platform
