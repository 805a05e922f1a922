// quellixctl's commands run against an in-process simulator.

#include "opened_session.h"
#include "quellixctl.h"

#include "quellix/hid/device.h"
#include "quellix/sim/simulator.h"
#include "temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace quellix::tools {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class QuellixctlTest : public ::testing::Test {
protected:
    void SetUp() override {
        using namespace std::chrono_literals;
        sim_.plug(sim::Model::Mouse);
    }

    // Runs quellixctl against the simulator; fills out_ and err_.
    int run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--sim", sim_.dir().string()});
        out_.str({});
        err_.str({});
        return runQuellixctl(args, out_, err_);
    }

    sim::Simulator sim_{sim::Options{.dir = {}, .replyLatency = std::chrono::microseconds(0)}};
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(QuellixctlTest, ListShowsTheMouseConfigurationCollection) {
    ASSERT_EQ(run({"list"}), 0) << err_.str();
    EXPECT_THAT(out_.str(), HasSubstr("vid_0c45&pid_5f01"));
    EXPECT_THAT(out_.str(),
                HasSubstr("vendor 0x0c45 product 0x5f01 usage_page 0xff1c usage 0x0092"));
}

TEST_F(QuellixctlTest, WithoutSimTheGivenSourceIsUsedAndSimOverridesIt) {
    const platform::test::TempDir empty;
    const std::vector<std::string> list = {"list"};
    std::ostringstream out, err;
    ASSERT_EQ(runQuellixctl(list, out, err, nullptr, hid::DeviceSource::simulator(sim_.dir())), 0)
        << err.str();
    EXPECT_THAT(out.str(), HasSubstr("vid_0c45&pid_5f01"));

    // --sim names another (empty) simulator directory: nothing there.
    const std::vector<std::string> elsewhere = {"--sim", empty.path().string(), "info", "mouse"};
    out.str({});
    EXPECT_EQ(runQuellixctl(elsewhere, out, err, nullptr, hid::DeviceSource::simulator(sim_.dir())),
              1);
    EXPECT_THAT(err.str(), HasSubstr("no mouse is connected"));
}

TEST_F(QuellixctlTest, InfoPrintsThe33ByteBlock) {
    ASSERT_EQ(run({"info", "ms"}), 0) << err_.str();
    const std::string text = out_.str();
    EXPECT_THAT(text, StartsWith("0000: "));
    EXPECT_THAT(text, HasSubstr("\n0010: "));
    EXPECT_THAT(text, HasSubstr("\n0020: "));
    // 16 + 16 + 1 bytes.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
}

TEST_F(QuellixctlTest, TraceShowsRequestsAndReplies) {
    ASSERT_EQ(run({"--trace", "info", "mouse"}), 0) << err_.str();
    const std::string text = out_.str();
    EXPECT_THAT(text, StartsWith("> 04 01 00 01 00 00 00 00 00"));
    EXPECT_THAT(text, HasSubstr("\n< "));
    EXPECT_THAT(text, HasSubstr("\n> 04 24 00 03 21 00 00 00")); // command 3, checksum 0x24
}

TEST_F(QuellixctlTest, ReadSpansSeveralFrames) {
    sim_.writeMemory(sim::Model::Mouse, 64, std::vector<std::uint8_t>(60, 0xAB));
    ASSERT_EQ(run({"read", "mouse", "0x40", "60"}), 0) << err_.str();
    EXPECT_THAT(out_.str(), StartsWith("0040: ab ab"));
    EXPECT_THAT(out_.str(), HasSubstr("\n0070: ab ab ab ab ab ab ab ab ab ab ab ab\n"));
}

TEST_F(QuellixctlTest, DescriptorPrintsOneLinePerCollection) {
    const std::string file = (sim_.dir() / "consumer.hex").string();
    std::ofstream(file) << "05 0c 09 01 a1 01 15 00 26 ff 03 19 00 2a ff 03 75 10 95 02 81 00 c0\n";
    ASSERT_EQ(run({"descriptor", file}), 0) << err_.str();
    EXPECT_THAT(out_.str(), HasSubstr("col 1 usage_page 0x000c usage 0x0001 input 5 output 0 "
                                      "feature 0 caps input 1/0 output 0/0 feature 0/0"));
}

TEST_F(QuellixctlTest, ErrorsExitNonZeroWithAMessage) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {{"info", "keyboard"}, 1, "no keyboard is connected"},
        {{"info", "toaster"}, 2, "unknown device kind 'toaster'"},
        {{"keys", "mouse", "5"}, 2, "bad page '5'"},
        {{"read", "mouse", "0", "0"}, 2, "length must be at least 1"},
        {{"read", "mouse", "0x10000", "1"}, 2, "bad offset"},
        {{"read", "mouse"}, 2, "usage: quellixctl read"},
        {{"frobnicate"}, 2, "unknown command 'frobnicate'"},
        {{"descriptor", "/nonexistent/descriptor.bin"}, 1, "descriptor.bin"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.args), c.exitCode) << c.args[0];
        EXPECT_THAT(err_.str(), HasSubstr(c.message));
    }
}

TEST_F(QuellixctlTest, DeviceRejectionIsAnError) {
    sim_.replyWithStatus(sim::Model::Mouse, 0xFF, 2);
    EXPECT_EQ(run({"info", "mouse"}), 1);
    EXPECT_THAT(err_.str(), HasSubstr("status 0xff"));
}

// After a latency spike the repeated request's answer comes late; it must
// not be printed as the next offset's bytes.
TEST_F(QuellixctlTest, ReadAfterALatencySpikePrintsTheTrueBytes) {
    std::vector<std::uint8_t> memory(168);
    for (std::size_t i = 0; i < memory.size(); ++i) {
        memory[i] = static_cast<std::uint8_t>(i + 1);
    }
    sim_.writeMemory(sim::Model::Mouse, 0, memory);
    sim_.setReplyLatency(sim::Model::Mouse, std::chrono::milliseconds(20));
    sim_.spikeReplies(sim::Model::Mouse, std::chrono::milliseconds(400));
    ASSERT_EQ(run({"read", "mouse", "0", "168"}), 0) << err_.str();
    std::ostringstream expected;
    printHexDump(expected, memory, 0);
    EXPECT_EQ(out_.str(), expected.str());
}

TEST_F(QuellixctlTest, TraceMarksTheLateReplyItDrops) {
    sim_.spikeReplies(sim::Model::Mouse, std::chrono::milliseconds(400));
    ASSERT_EQ(run({"--trace", "info", "mouse"}), 0) << err_.str();
    // Command 1 was written twice; the answer to the second write comes
    // while command 3 waits, and is marked as dropped on its own line.
    std::istringstream lines(out_.str());
    std::string line;
    int dropped = 0;
    while (std::getline(lines, line)) {
        if (line.find("(dropped: stale)") != std::string::npos) {
            ++dropped;
            EXPECT_THAT(line, StartsWith("< ")) << line;
            EXPECT_EQ(line.substr(11, 2), "01") << line; // command 1's reply
        }
    }
    EXPECT_EQ(dropped, 1) << out_.str();
}

TEST_F(QuellixctlTest, InfoOnAPresentDeviceThatCannotBeOpenedSaysWhy) {
    // The mouse's interfaces are there but refuse every connection.
    std::vector<int> refusing;
    for (const auto& entry : std::filesystem::directory_iterator(sim_.dir())) {
        const auto& path = entry.path();
        if (path.extension() != ".sock" || path.filename() == "control.sock") {
            continue;
        }
        const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        ::unlink(path.c_str());
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        refusing.push_back(fd);
    }
    EXPECT_EQ(run({"info", "mouse"}), 1);
    EXPECT_THAT(err_.str(), HasSubstr("mouse is present but could not be opened"));
    EXPECT_THAT(err_.str(), HasSubstr(std::strerror(ECONNREFUSED)));
    for (int fd : refusing) {
        ::close(fd);
    }
}

} // namespace
} // namespace quellix::tools
