// The UHID server against a stand-in for the kernel: each device channel is
// one end of a SEQPACKET pair whose other end the test reads and writes as
// /dev/uhid would (whole struct uhid_event records).  The kernel stage
// (run.sh) runs the server against the real kernel.

#include "descriptors.h"
#include "report.h"
#include "uhid_server.h"
#include "unix_socket.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <linux/uhid.h>
#include <mutex>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace quellix::sim {
namespace {

constexpr std::uint16_t kVendorId = 0x0C45;
constexpr std::uint16_t kMouseProductId = 0x5F01;

constexpr int kWaitMs = 2000;

// The kernel's ends of the device channels, in the order they were opened.
class FakeKernel {
public:
    int open() {
        int pair[2];
        if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) {
            return -1;
        }
        std::lock_guard guard(mutex_);
        kernelEnds_.push_back(pair[1]);
        return pair[0];
    }
    ~FakeKernel() {
        for (int fd : kernelEnds_) {
            ::close(fd);
        }
    }
    int channel(std::size_t index) {
        std::lock_guard guard(mutex_);
        return index < kernelEnds_.size() ? kernelEnds_[index] : -1;
    }
    std::size_t opened() {
        std::lock_guard guard(mutex_);
        return kernelEnds_.size();
    }

    // The next event the server wrote on a channel; nullopt when none came
    // or the server closed the channel.
    static std::optional<uhid_event> next(int fd) {
        pollfd waiting{fd, POLLIN, 0};
        if (::poll(&waiting, 1, kWaitMs) != 1) {
            return std::nullopt;
        }
        uhid_event event{};
        if (::recv(fd, &event, sizeof event, 0) <= 0) {
            return std::nullopt;
        }
        return event;
    }
    // True when the server closed the channel (and sent nothing more).
    static bool closed(int fd) {
        pollfd waiting{fd, POLLIN, 0};
        char byte;
        return ::poll(&waiting, 1, kWaitMs) == 1 && ::recv(fd, &byte, 1, MSG_DONTWAIT) == 0;
    }
    // An output report written to the device's hidraw node.
    static void output(int fd, const Report& report) {
        uhid_event event{};
        event.type = UHID_OUTPUT;
        std::memcpy(event.u.output.data, report.data(), report.size());
        event.u.output.size = report.size();
        event.u.output.rtype = UHID_OUTPUT_REPORT;
        ASSERT_EQ(::send(fd, &event, sizeof event, 0), static_cast<ssize_t>(sizeof event));
    }

private:
    std::mutex mutex_;
    std::vector<int> kernelEnds_;
};

Report requestFrame(std::uint8_t command, std::uint8_t length, std::uint16_t offset) {
    Report frame{};
    frame[0] = kConfigReportId;
    frame[3] = command;
    frame[4] = length;
    frame[5] = static_cast<std::uint8_t>(offset & 0xFF);
    frame[6] = static_cast<std::uint8_t>(offset >> 8);
    storeChecksum(frame);
    return frame;
}

class UhidServerTest : public ::testing::Test {
protected:
    // The kernel outlives the server, which writes UHID_DESTROY as it ends.
    FakeKernel kernel_;
    UhidServer server_{UhidOptions{.dir = {},
                                   .replyLatency = std::chrono::microseconds(0),
                                   .uhidNode = kUhidNode,
                                   .openChannel = [this] { return kernel_.open(); }}};

    std::string control(const std::string& command) {
        const int fd = connectSeqpacket(server_.dir() / "control.sock");
        EXPECT_GE(fd, 0);
        const std::string answer = requestReply(fd, command, kWaitMs);
        ::close(fd);
        return answer;
    }
    // The input report that answers `request` on a configuration channel.
    static std::optional<Report> exchange(int fd, const Report& request) {
        FakeKernel::output(fd, request);
        const auto event = FakeKernel::next(fd);
        if (!event || event->type != UHID_INPUT2 || event->u.input2.size != kReportSize) {
            return std::nullopt;
        }
        Report reply;
        std::memcpy(reply.data(), event->u.input2.data, reply.size());
        return reply;
    }
};

TEST_F(UhidServerTest, EachInterfaceIsCreatedAsAUsbHidDeviceWithItsDescriptor) {
    server_.plug(Model::Mouse);
    ASSERT_EQ(kernel_.opened(), 2u);
    const std::span<const std::uint8_t> descriptors[] = {configurationDescriptor(),
                                                         consumerDescriptor()};
    for (std::size_t i = 0; i < 2; ++i) {
        const auto event = FakeKernel::next(kernel_.channel(i));
        ASSERT_TRUE(event);
        ASSERT_EQ(event->type, UHID_CREATE2);
        const uhid_create2_req& create = event->u.create2;
        EXPECT_EQ(create.bus, 0x03); // USB
        EXPECT_EQ(create.vendor, kVendorId);
        EXPECT_EQ(create.product, kMouseProductId);
        EXPECT_EQ(create.version, 0x0105u);
        ASSERT_EQ(create.rd_size, descriptors[i].size());
        EXPECT_EQ(std::memcmp(create.rd_data, descriptors[i].data(), create.rd_size), 0);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(create.name)),
                  "quellix-sim mouse interface " + std::to_string(i));
    }
}

TEST_F(UhidServerTest, OutputReportsAreAnsweredByTheFirmwareAsInputReports) {
    server_.plug(Model::MousePad);
    const int fd = kernel_.channel(0);
    ASSERT_EQ(FakeKernel::next(fd)->type, UHID_CREATE2);
    const auto reply = exchange(fd, requestFrame(command::kReadInfo, 33, 0));
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[3], command::kReadInfo);
    EXPECT_EQ((*reply)[7], status::kOk);
    EXPECT_EQ((*reply)[8], 3); // device kind: the pad
}

TEST_F(UhidServerTest, FaultInjectionComesThroughTheControlSocket) {
    server_.plug(Model::MousePad);
    const int fd = kernel_.channel(0);
    ASSERT_EQ(FakeKernel::next(fd)->type, UHID_CREATE2);

    ASSERT_EQ(control("status pad 0xfe"), "ok");
    const auto refused = exchange(fd, requestFrame(command::kBeginTransfer, 0, 0));
    ASSERT_TRUE(refused);
    EXPECT_EQ((*refused)[7], status::kMalformed);

    ASSERT_EQ(control("drop pad 1"), "ok");
    FakeKernel::output(fd, requestFrame(command::kBeginTransfer, 0, 0));
    const auto answered = exchange(fd, requestFrame(command::kEndTransfer, 0, 0));
    ASSERT_TRUE(answered); // the first request's reply was lost
    EXPECT_EQ((*answered)[3], command::kEndTransfer);
    EXPECT_NE(control("dump pad").find("frames received 3"), std::string::npos);

    // Faults this server cannot show are refused, not acknowledged.
    for (const char* unoffered : {"spike pad 400000", "short pad 10"}) {
        EXPECT_EQ(control(unoffered).rfind("error: ", 0), 0u) << unoffered;
    }
}

TEST_F(UhidServerTest, UnplugInTheMiddleDestroysTheDeviceAndPlugCreatesItAgain) {
    server_.plug(Model::MousePad);
    int fd = kernel_.channel(0);
    ASSERT_EQ(FakeKernel::next(fd)->type, UHID_CREATE2);
    ASSERT_EQ(control("unplug-after pad 2"), "ok");
    ASSERT_TRUE(exchange(fd, requestFrame(command::kBeginTransfer, 0, 0)));
    FakeKernel::output(fd, requestFrame(command::kReadBlock, 56, 0));
    const auto destroyed = FakeKernel::next(fd);
    ASSERT_TRUE(destroyed);
    EXPECT_EQ(destroyed->type, UHID_DESTROY); // the frame is not answered
    EXPECT_TRUE(FakeKernel::closed(fd));
    EXPECT_EQ(control("list"), "ok");

    ASSERT_EQ(control("plug pad"), "ok");
    ASSERT_EQ(kernel_.opened(), 2u);
    fd = kernel_.channel(1);
    ASSERT_EQ(FakeKernel::next(fd)->type, UHID_CREATE2);
    EXPECT_TRUE(exchange(fd, requestFrame(command::kBeginTransfer, 0, 0)));
    EXPECT_EQ(control("list"), "ok\npad 5f02");
}

TEST_F(UhidServerTest, NotificationsGoToTheConsumerInterface) {
    server_.plug(Model::Mouse);
    ASSERT_EQ(FakeKernel::next(kernel_.channel(0))->type, UHID_CREATE2);
    ASSERT_EQ(FakeKernel::next(kernel_.channel(1))->type, UHID_CREATE2);
    ASSERT_EQ(control("notify mouse 0x402"), "ok");
    const auto event = FakeKernel::next(kernel_.channel(1));
    ASSERT_TRUE(event);
    ASSERT_EQ(event->type, UHID_INPUT2);
    ASSERT_EQ(event->u.input2.size, 3);
    EXPECT_EQ(event->u.input2.data[0], kConsumerReportId);
    EXPECT_EQ(event->u.input2.data[1], 0x02);
    EXPECT_EQ(event->u.input2.data[2], 0x04);
    EXPECT_EQ(control("notify pad 0x402").rfind("error: ", 0), 0u);
}

TEST_F(UhidServerTest, ReportRequestsOfTheKernelAreRefused) {
    server_.plug(Model::MousePad);
    const int fd = kernel_.channel(0);
    ASSERT_EQ(FakeKernel::next(fd)->type, UHID_CREATE2);
    uhid_event request{};
    request.type = UHID_GET_REPORT;
    request.u.get_report.id = 77;
    ASSERT_EQ(::send(fd, &request, sizeof request, 0), static_cast<ssize_t>(sizeof request));
    const auto reply = FakeKernel::next(fd);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->type, UHID_GET_REPORT_REPLY);
    EXPECT_EQ(reply->u.get_report_reply.id, 77u);
    EXPECT_NE(reply->u.get_report_reply.err, 0);
}

TEST(UhidServer, WithoutUhidPlugFailsWithAClearError) {
    EXPECT_FALSE(uhidAvailable("/nonexistent/uhid"));
    UhidServer server(UhidOptions{.dir = {},
                                  .replyLatency = std::chrono::microseconds(0),
                                  .uhidNode = "/nonexistent/uhid",
                                  .openChannel = {}});
    EXPECT_THROW(server.plug(Model::MousePad), std::system_error);
    const int fd = connectSeqpacket(server.dir() / "control.sock");
    ASSERT_GE(fd, 0);
    EXPECT_EQ(requestReply(fd, "plug pad", kWaitMs).rfind("error: open /nonexistent/uhid", 0), 0u);
    EXPECT_EQ(requestReply(fd, "list", kWaitMs), "ok");
    ::close(fd);
}

// Runs the quellix-sim tool; its exit status and what it printed.
std::pair<int, std::string> runTool(const std::string& arguments) {
    const std::string command = std::string(QUELLIX_SIM_TOOL) + " " + arguments + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string output;
    char buffer[512];
    while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        output += buffer;
    }
    const int status = pipe != nullptr ? ::pclose(pipe) : -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TEST(QuellixSimUhid, UhidIsAFlagAndItsAbsenceIsSaid) {
    // --uhid takes no value: the next option is still read as one.
    const auto [usage, usageText] = runTool("serve --uhid --devices toaster");
    EXPECT_EQ(usage, 2);
    EXPECT_NE(usageText.find("unknown device 'toaster'"), std::string::npos);
    if (uhidAvailable()) {
        GTEST_SKIP() << "this kernel offers UHID";
    }
    const auto [code, text] = runTool("serve --uhid --devices pad");
    EXPECT_EQ(code, 1);
    EXPECT_NE(text.find("/dev/uhid cannot be opened"), std::string::npos) << text;
}

} // namespace
} // namespace quellix::sim
