// The UHID server: one thread owns every /dev/uhid descriptor, the control
// socket and the firmware state; public calls run as tasks on that thread.

#include "uhid_server.h"

#include "control_protocol.h"
#include "descriptors.h"
#include "dump.h"
#include "firmware.h"
#include "unix_socket.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <functional>
#include <future>
#include <linux/uhid.h>
#include <mutex>
#include <optional>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace quellix::sim {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::uint16_t kReleaseNumber = 0x0105;
constexpr std::uint16_t kBusUsb = 0x03; // BUS_USB of <linux/input.h>
constexpr std::size_t kRequestLogLength = 256;

[[noreturn]] void throwErrno(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

// UHID takes whole events; a short write is an error of the kernel's.
bool writeEvent(int fd, const uhid_event& event) {
    const ssize_t n = ::write(fd, &event, sizeof event);
    return n == static_cast<ssize_t>(sizeof event);
}

} // namespace

bool uhidAvailable(const fs::path& node) {
    const int fd = ::open(node.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

struct UhidServer::Impl : ControlTarget {
    // One kernel HID device per interface: its own /dev/uhid descriptor.
    struct UhidInterface {
        InterfaceLayout layout;
        int fd = -1;
    };

    struct PendingReply {
        Clock::time_point due;
        Report report;
    };

    struct Device : FaultSettings {
        explicit Device(Model m) : model(m) {}
        Model model;
        std::unique_ptr<Firmware> firmware; // kept while unplugged, like flash
        bool plugged = false;
        std::vector<UhidInterface> interfaces;
        std::deque<PendingReply> pending;
        DeviceStats stats;
        std::deque<Report> requestLog;
        Clock::time_point createdAt;
        bool firstOutputSeen = false;
    };

    UhidOptions options;
    fs::path dir;
    bool ownsDir = false;
    int wakeFd = -1;
    int controlFd = -1;
    std::vector<int> controlClients;
    // Indexed by the kind.
    std::array<Device, 3> devices{Device{Model::Keyboard}, Device{Model::Mouse},
                                  Device{Model::MousePad}};
    bool stopping = false;

    std::mutex tasksMutex;
    std::deque<std::function<void()>> tasks;
    std::thread loopThread;

    explicit Impl(UhidOptions opts) : options(std::move(opts)) {
        prepareDirectory();
        try {
            wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
            if (wakeFd < 0) {
                throwErrno("eventfd");
            }
            const fs::path control = dir / "control.sock";
            if (fs::exists(fs::symlink_status(control))) {
                if (socketIsServed(control)) {
                    throw std::runtime_error("a simulator already serves " + dir.native());
                }
                fs::remove(control); // left behind by a server that died
            }
            controlFd = listenSeqpacket(control);
        } catch (...) {
            closeFd(wakeFd);
            removeDirectory();
            throw;
        }
        loopThread = std::thread([this] { loop(); });
    }

    ~Impl() {
        run([this] {
            for (Device& d : devices) {
                unplugNow(d);
            }
            for (int& fd : controlClients) {
                closeFd(fd);
            }
            controlClients.clear();
            std::error_code ignored;
            fs::remove(dir / "control.sock", ignored);
            closeFd(controlFd);
            stopping = true;
        });
        loopThread.join();
        closeFd(wakeFd);
        removeDirectory();
    }

    void prepareDirectory() {
        if (options.dir.empty()) {
            std::string templ = "/tmp/quellix-uhid-XXXXXX";
            if (::mkdtemp(templ.data()) == nullptr) {
                throwErrno("mkdtemp " + templ);
            }
            dir = templ;
            ownsDir = true;
            return;
        }
        dir = options.dir;
        if (!fs::exists(dir)) {
            fs::create_directories(dir);
            ownsDir = true;
            if (::chmod(dir.c_str(), 0700) != 0) {
                throwErrno("chmod " + dir.native());
            }
            return;
        }
        struct stat info {};
        if (::stat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            throw std::invalid_argument(dir.native() + " is not a directory");
        }
        if (info.st_uid != ::geteuid() || (info.st_mode & 077) != 0) {
            throw std::invalid_argument(dir.native() +
                                        " must be a directory of this user with mode 0700");
        }
    }

    void removeDirectory() {
        std::error_code ignored;
        if (ownsDir) {
            fs::remove(dir, ignored); // only when it is left empty
        }
    }

    template <class Task> auto run(Task task) -> decltype(task()) {
        using Result = decltype(task());
        auto packaged = std::make_shared<std::packaged_task<Result()>>(std::move(task));
        std::future<Result> result = packaged->get_future();
        {
            std::lock_guard lock(tasksMutex);
            tasks.emplace_back([packaged] { (*packaged)(); });
        }
        const std::uint64_t one = 1;
        // An eventfd counter: the wake-up is all that matters.
        [[maybe_unused]] const auto written = ::write(wakeFd, &one, sizeof one);
        return result.get();
    }

    Device& device(Model model) { return devices[device::kindIndex(model)]; }

    // --- plugging -------------------------------------------------------

    void createInterface(Device& d, UhidInterface& iface) {
        iface.fd = options.openChannel ? options.openChannel()
                                       : ::open(options.uhidNode.c_str(), O_RDWR | O_CLOEXEC);
        if (iface.fd < 0) {
            throwErrno("open " + options.uhidNode.native());
        }
        // The loop reads every queued event until none is left.
        ::fcntl(iface.fd, F_SETFL, ::fcntl(iface.fd, F_GETFL) | O_NONBLOCK);
        uhid_event event{};
        event.type = UHID_CREATE2;
        uhid_create2_req& create = event.u.create2;
        std::snprintf(reinterpret_cast<char*>(create.name), sizeof create.name,
                      "quellix-sim %s interface %d", std::string(modelName(d.model)).c_str(),
                      iface.layout.number);
        std::snprintf(reinterpret_cast<char*>(create.phys), sizeof create.phys,
                      "quellix-sim/%s/input%d", std::string(modelName(d.model)).c_str(),
                      iface.layout.number);
        if (iface.layout.descriptor.size() > sizeof create.rd_data) {
            throw std::length_error("report descriptor too long for UHID");
        }
        std::copy(iface.layout.descriptor.begin(), iface.layout.descriptor.end(), create.rd_data);
        create.rd_size = static_cast<std::uint16_t>(iface.layout.descriptor.size());
        create.bus = kBusUsb;
        create.vendor = device::kindInfo(d.model).vendorId;
        create.product = d.firmware->productId();
        create.version = kReleaseNumber;
        create.country = 0;
        if (!writeEvent(iface.fd, event)) {
            throwErrno("UHID_CREATE2");
        }
    }

    void destroyInterface(UhidInterface& iface) {
        if (iface.fd < 0) {
            return;
        }
        uhid_event event{};
        event.type = UHID_DESTROY;
        (void)writeEvent(iface.fd, event); // closing the descriptor destroys it too
        closeFd(iface.fd);
    }

    void plugNow(Device& d, std::uint16_t keyboardProductId) {
        const std::uint16_t productId = productIdOf(d.model, keyboardProductId);
        if (d.model == Model::Keyboard && !isKeyboardProductId(productId)) {
            throw std::invalid_argument("keyboard product id must be " + keyboardProductIdChoice());
        }
        if (d.plugged && d.firmware->productId() == productId) {
            return;
        }
        unplugNow(d);
        if (!d.firmware || d.firmware->productId() != productId) {
            d.firmware = std::make_unique<Firmware>(d.model, productId);
        }
        d.firmware->powerOn();
        d.interfaces.clear();
        for (const InterfaceLayout& layout : interfacesOf(d.model)) {
            d.interfaces.push_back({layout, -1});
        }
        d.plugged = true;
        d.firstOutputSeen = false;
        d.createdAt = Clock::now();
        try {
            for (UhidInterface& iface : d.interfaces) {
                createInterface(d, iface);
            }
        } catch (...) {
            unplugNow(d);
            throw;
        }
    }

    void unplugNow(Device& d) {
        if (!d.plugged) {
            return;
        }
        for (UhidInterface& iface : d.interfaces) {
            destroyInterface(iface);
        }
        d.interfaces.clear();
        d.pending.clear();
        d.unplugAfter = 0;
        d.plugged = false;
    }

    // --- traffic --------------------------------------------------------

    static void sendInput(UhidInterface& iface, std::span<const std::uint8_t> report) {
        if (iface.fd < 0) {
            return;
        }
        uhid_event event{};
        event.type = UHID_INPUT2;
        event.u.input2.size = static_cast<std::uint16_t>(report.size());
        std::copy(report.begin(), report.end(), event.u.input2.data);
        // Before the kernel has started the device the report is refused,
        // as a device that is still enumerating sends nothing.
        (void)writeEvent(iface.fd, event);
    }

    void receiveRequest(Device& d, std::span<const std::uint8_t> packet) {
        if (!d.firstOutputSeen) {
            d.firstOutputSeen = true;
            const auto elapsed =
                std::chrono::duration<double, std::milli>(Clock::now() - d.createdAt);
            std::fprintf(stderr, "uhid: %s: first output report %.1f ms after UHID_CREATE2\n",
                         std::string(modelName(d.model)).c_str(), elapsed.count());
        }
        ++d.stats.framesReceived;
        Report logged{};
        std::copy_n(packet.begin(), std::min(packet.size(), logged.size()), logged.begin());
        d.requestLog.push_back(logged);
        if (d.requestLog.size() > kRequestLogLength) {
            d.requestLog.pop_front();
        }
        if (d.unplugAfter > 0 && --d.unplugAfter == 0) {
            unplugNow(d);
            return;
        }
        Report reply;
        if (d.statusCount > 0) {
            --d.statusCount;
            reply = Firmware::refusal(packet, d.injectedStatus);
        } else {
            reply = d.firmware->handle(packet);
        }
        if (d.dropCount > 0) {
            --d.dropCount; // carried out, but the answer is lost
            return;
        }
        Clock::time_point due = Clock::now() + d.latency.value_or(options.replyLatency);
        if (!d.pending.empty()) {
            due = std::max(due, d.pending.back().due); // replies keep their order
        }
        d.pending.push_back({due, reply});
    }

    void sendDueReplies() {
        const Clock::time_point now = Clock::now();
        for (Device& d : devices) {
            while (d.plugged && !d.pending.empty() && d.pending.front().due <= now) {
                const Report reply = d.pending.front().report;
                d.pending.pop_front();
                sendInput(d.interfaces.front(), reply);
                ++d.stats.repliesSent;
                if (reply[7] != status::kOk) {
                    ++d.stats.errorReplies;
                }
            }
        }
    }

    std::optional<Clock::time_point> nextDue() const {
        std::optional<Clock::time_point> next;
        for (const Device& d : devices) {
            if (d.plugged && !d.pending.empty() && (!next || d.pending.front().due < *next)) {
                next = d.pending.front().due;
            }
        }
        return next;
    }

    void notifyNow(Device& d, std::uint16_t usage) {
        if (usage < kFirstConsumerUsage || usage > kLastConsumerUsage) {
            throw std::invalid_argument("consumer usage must be 0x0001..0x0403");
        }
        if (!d.plugged) {
            throw std::logic_error(std::string(modelName(d.model)) + " is not plugged");
        }
        const auto consumer =
            std::find_if(d.interfaces.begin(), d.interfaces.end(),
                         [](const UhidInterface& i) { return !i.layout.carriesConfiguration; });
        if (consumer == d.interfaces.end()) {
            throw std::logic_error(std::string(modelName(d.model)) +
                                   " has no consumer-control interface");
        }
        sendInput(*consumer, consumerReport(usage));
    }

    // One event of an interface's /dev/uhid descriptor.
    void handleUhidEvent(Device& d, UhidInterface& iface, const uhid_event& event) {
        switch (event.type) {
        case UHID_OUTPUT:
            // The consumer-control interface has no output reports: ignored.
            if (event.u.output.rtype == UHID_OUTPUT_REPORT && iface.layout.carriesConfiguration) {
                const std::size_t size = std::min<std::size_t>(event.u.output.size, UHID_DATA_MAX);
                receiveRequest(d, std::span(event.u.output.data, size));
            }
            break;
        case UHID_GET_REPORT: {
            // The interfaces have no feature reports.
            uhid_event reply{};
            reply.type = UHID_GET_REPORT_REPLY;
            reply.u.get_report_reply.id = event.u.get_report.id;
            reply.u.get_report_reply.err = EIO;
            (void)writeEvent(iface.fd, reply);
            break;
        }
        case UHID_SET_REPORT: {
            uhid_event reply{};
            reply.type = UHID_SET_REPORT_REPLY;
            reply.u.set_report_reply.id = event.u.set_report.id;
            reply.u.set_report_reply.err = EIO;
            (void)writeEvent(iface.fd, reply);
            break;
        }
        default: // START, STOP, OPEN, CLOSE: nothing to do
            break;
        }
    }

    void drainUhid(Device& d, int fd) {
        for (;;) {
            if (!d.plugged) {
                return; // an unplug-after fault destroyed the device meanwhile
            }
            const auto iface = std::find_if(d.interfaces.begin(), d.interfaces.end(),
                                            [fd](const UhidInterface& i) { return i.fd == fd; });
            if (iface == d.interfaces.end()) {
                return;
            }
            uhid_event event{};
            const ssize_t n = ::read(fd, &event, sizeof event);
            if (n == 0) {
                unplugNow(d); // the channel's other end is gone: so is the device
                return;
            }
            if (n < 0) {
                return;
            }
            handleUhidEvent(d, *iface, event);
        }
    }

    DeviceStats statsOf(const Device& d) const {
        return collectStats(d.stats, d.requestLog, d.firmware.get());
    }

    // --- control socket (the socket simulator's commands) ----------------

    std::string executeControl(std::string_view line) { return executeControlCommand(*this, line); }

    std::vector<std::pair<Model, std::uint16_t>> plugged() const override {
        std::vector<std::pair<Model, std::uint16_t>> list;
        for (Model model : {Model::Mouse, Model::MousePad, Model::Keyboard}) {
            const Device& d = devices[device::kindIndex(model)];
            if (d.plugged) {
                list.emplace_back(d.model, d.firmware->productId());
            }
        }
        return list;
    }
    void plug(Model model, std::uint16_t keyboardProductId) override {
        plugNow(device(model), keyboardProductId);
    }
    void unplug(Model model) override { unplugNow(device(model)); }
    void notify(Model model, std::uint16_t usage) override { notifyNow(device(model), usage); }
    FaultSettings& faults(Model model) override { return device(model); }
    std::string dump(Model model) override {
        const Device& d = device(model);
        if (!d.firmware) {
            throw std::runtime_error(std::string(modelName(model)) + " was never plugged");
        }
        return formatDump(*d.firmware, statsOf(d), d.plugged);
    }
    // Latency spikes and short replies are the socket server's alone.
    bool offers(std::string_view verb) const override { return verb != "spike" && verb != "short"; }

    void handleControlClient(int fd) {
        std::array<char, 512> packet{};
        const ssize_t n = ::recv(fd, packet.data(), packet.size(), MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            return;
        }
        if (n <= 0) {
            ::close(fd);
            controlClients.erase(std::find(controlClients.begin(), controlClients.end(), fd));
            return;
        }
        const std::string answer =
            executeControl(std::string_view(packet.data(), static_cast<std::size_t>(n)));
        (void)::send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
    }

    void acceptControlClients() {
        while (controlFd >= 0) {
            const int fd = ::accept4(controlFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0) {
                return;
            }
            controlClients.push_back(fd);
        }
    }

    void runTasks() {
        std::uint64_t count;
        [[maybe_unused]] const auto got = ::read(wakeFd, &count, sizeof count);
        std::deque<std::function<void()>> ready;
        {
            std::lock_guard lock(tasksMutex);
            ready.swap(tasks);
        }
        for (auto& task : ready) {
            task();
        }
    }

    // --- the loop -------------------------------------------------------

    enum class Target { Wake, ControlListen, ControlClient, Uhid };
    struct Watched {
        Target target;
        int fd;
        std::size_t device = 0;
    };

    std::vector<Watched> watchList() const {
        std::vector<Watched> list{{Target::Wake, wakeFd}};
        if (controlFd >= 0) {
            list.push_back({Target::ControlListen, controlFd});
        }
        for (int fd : controlClients) {
            list.push_back({Target::ControlClient, fd});
        }
        for (std::size_t di = 0; di < devices.size(); ++di) {
            for (const UhidInterface& iface : devices[di].interfaces) {
                if (iface.fd >= 0) {
                    list.push_back({Target::Uhid, iface.fd, di});
                }
            }
        }
        return list;
    }

    void loop() {
        std::vector<pollfd> polled;
        while (!stopping) {
            const std::vector<Watched> watched = watchList();
            polled.clear();
            for (const Watched& w : watched) {
                polled.push_back({w.fd, POLLIN, 0});
            }
            int timeoutMs = -1;
            if (const auto due = nextDue()) {
                const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*due - Clock::now());
                timeoutMs = static_cast<int>(std::max<std::int64_t>(0, wait.count()));
            }
            const int ready = ::poll(polled.data(), polled.size(), timeoutMs);
            if (ready < 0 && errno != EINTR) {
                break;
            }
            for (std::size_t i = 0; ready > 0 && i < polled.size() && !stopping; ++i) {
                if (polled[i].revents == 0) {
                    continue;
                }
                const Watched& w = watched[i];
                switch (w.target) {
                case Target::Wake:
                    runTasks();
                    break;
                case Target::ControlListen:
                    acceptControlClients();
                    break;
                case Target::ControlClient:
                    if (std::find(controlClients.begin(), controlClients.end(), w.fd) !=
                        controlClients.end()) {
                        handleControlClient(w.fd);
                    }
                    break;
                case Target::Uhid:
                    drainUhid(devices[w.device], w.fd);
                    break;
                }
            }
            sendDueReplies();
        }
    }
};

UhidServer::UhidServer(UhidOptions options) : impl_(std::make_unique<Impl>(std::move(options))) {}

UhidServer::~UhidServer() = default;

const std::filesystem::path& UhidServer::dir() const {
    return impl_->dir;
}

void UhidServer::plug(Model model, std::uint16_t keyboardProductId) {
    impl_->run([&] { impl_->plugNow(impl_->device(model), keyboardProductId); });
}

void UhidServer::unplug(Model model) {
    impl_->run([&] { impl_->unplugNow(impl_->device(model)); });
}

} // namespace quellix::sim
