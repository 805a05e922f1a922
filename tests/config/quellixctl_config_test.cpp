// quellixctl image and profile against the simulator and files.

#include "quellixctl.h"

#include "quellix/hid/device.h"
#include "quellix/profiles/profile_file.h"
#include "quellix/sim/simulator.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <vector>

#include <sys/stat.h>

namespace quellix::tools {
namespace {

class QuellixctlConfig : public ::testing::Test {
protected:
    int run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--sim", sim_.dir().string()});
        return runQuellixctl(args, out_, err_);
    }
    sim::Simulator sim_{sim::Options{.dir = {}, .replyLatency = std::chrono::microseconds(0)}};
    std::ostringstream out_, err_;
};

TEST_F(QuellixctlConfig, ImagePrintsTheDecodedDevice) {
    struct Case {
        sim::Model model;
        const char* kind;
        std::vector<const char*> lines;
    };
    const Case cases[] = {
        {sim::Model::MousePad, "pad", {"pad: active slot 0", "slot 4: mode 8, brightness 4"}},
        {sim::Model::Mouse,
         "mouse",
         {"sensor 0x3325, DPI base 200", "DPI stage 4: position 55 = 6400 DPI, colour #ffff00",
          "DPI stage 2: position 14 = 1600 DPI, colour #00ff00 (active)", "report rate item 3"}},
        {sim::Model::Keyboard, "keyboard", {"variant 1, keys 126", "style one"}},
    };
    for (const auto& c : cases) {
        sim_.plug(c.model);
        out_.str("");
        EXPECT_EQ(run({"image", c.kind}), 0) << err_.str();
        for (const char* line : c.lines) {
            EXPECT_NE(out_.str().find(line), std::string::npos) << c.kind << ": " << line << "\n"
                                                                << out_.str();
        }
    }
}

TEST_F(QuellixctlConfig, ImageOfAnAbsentDeviceFails) {
    EXPECT_EQ(run({"image", "pad"}), 1);
    EXPECT_FALSE(err_.str().empty());
}

TEST_F(QuellixctlConfig, ImageThatCannotBeReadWholeFailsWithTheReasonAndPrintsNothing) {
    sim_.plug(sim::Model::Mouse);
    sim_.unplugAfterFrames(sim::Model::Mouse, 3);
    EXPECT_EQ(run({"image", "mouse"}), 1);
    EXPECT_NE(err_.str().find("reading the image failed: the device was disconnected"),
              std::string::npos)
        << err_.str();
    EXPECT_EQ(out_.str(), "");
}

TEST_F(QuellixctlConfig, ProfileDecodesOrSaysWhyNot) {
    platform::test::TempDir dir;
    std::vector<std::uint8_t> payload(64, 0);
    payload[1] = 3;
    payload[33] = 10;
    platform::test::writeBytes(dir / "a.led",
                               profiles::encodeProfile(profiles::ProfileKind::Mouse, payload));
    EXPECT_EQ(run({"profile", (dir / "a.led").string()}), 0) << err_.str();
    EXPECT_NE(out_.str().find("family: mouse lighting"), std::string::npos) << out_.str();
    EXPECT_NE(out_.str().find("mode 3"), std::string::npos) << out_.str();
    EXPECT_NE(out_.str().find("pointer speed 10"), std::string::npos) << out_.str();

    platform::test::writeBytes(dir / "b.led", "not a profile at all");
    EXPECT_EQ(run({"profile", (dir / "b.led").string()}), 1);
    EXPECT_NE(err_.str().find("not a profile file"), std::string::npos) << err_.str();
    EXPECT_EQ(run({"profile", (dir / "none.led").string()}), 1);

    // A header of the right magic over a payload no family has: what was
    // decoded is shown, and the command fails.
    platform::test::writeBytes(
        dir / "c.led",
        profiles::encodeProfile(profiles::ProfileKind::Mouse, std::vector<std::uint8_t>(7)));
    out_.str("");
    err_.str("");
    EXPECT_EQ(run({"profile", (dir / "c.led").string()}), 1);
    EXPECT_NE(out_.str().find("family: none"), std::string::npos) << out_.str();
    EXPECT_NE(err_.str().find("no profile of a known family"), std::string::npos) << err_.str();

    // A FIFO is refused at once, not waited on.
    ASSERT_EQ(::mkfifo((dir / "d.led").c_str(), 0600), 0);
    err_.str("");
    EXPECT_EQ(run({"profile", (dir / "d.led").string()}), 1);
    EXPECT_NE(err_.str().find("d.led"), std::string::npos) << err_.str();
}

} // namespace
} // namespace quellix::tools
