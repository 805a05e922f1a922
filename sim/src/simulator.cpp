// The simulator's server: one thread owns every socket and the firmware
// state; the public calls run as tasks on that thread, so nothing is shared
// between threads except the task queue.

#include "quellix/sim/simulator.h"

#include "control_protocol.h"
#include "descriptors.h"
#include "dump.h"
#include "firmware.h"
#include "unix_socket.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <future>
#include <mutex>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace quellix::sim {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::uint16_t kReleaseNumber = 0x0105;
constexpr std::size_t kRequestLogLength = 256;
constexpr std::size_t kReceiveBuffer = 512;
// A full-speed interrupt endpoint's interval: the least time between two
// input reports.
constexpr std::chrono::microseconds kPollingInterval{1000};
// The order `list` reports the plugged devices in.
constexpr std::array<Model, 3> kListOrder{Model::Mouse, Model::MousePad, Model::Keyboard};

std::string interfaceStem(std::uint16_t vendorId, std::uint16_t productId, int interfaceNumber) {
    char stem[32];
    std::snprintf(stem, sizeof stem, "%04x_%04x_%04x_%02x", vendorId, productId, kReleaseNumber,
                  interfaceNumber);
    return stem;
}

void writeFile(const fs::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    out.close();
    if (!out) {
        throw std::system_error(errno ? errno : EIO, std::generic_category(),
                                "cannot write " + path.native());
    }
}

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

void sendPacket(int fd, std::span<const std::uint8_t> bytes) {
    // A client that does not read loses reports, as hidraw drops input when
    // its queue is full; a vanished client is noticed by the next poll.
    (void)::send(fd, bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
}

// "VVVV_PPPP_RRRR_II.sock" or ".rdesc", lowercase hex.
bool isInterfaceFileName(const std::string& name) {
    const std::size_t stem = 17;
    if (name.size() <= stem || (name.substr(stem) != ".sock" && name.substr(stem) != ".rdesc")) {
        return false;
    }
    for (std::size_t i = 0; i < stem; ++i) {
        const char c = name[i];
        const bool separator = i == 4 || i == 9 || i == 14;
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
        if (separator ? c != '_' : !hex) {
            return false;
        }
    }
    return true;
}

} // namespace

struct Simulator::Impl : ControlTarget {
    struct InterfaceServer {
        InterfaceLayout iface;
        fs::path socketPath;
        fs::path descriptorPath;
        int listenFd = -1;
        std::vector<int> clients;
    };

    struct PendingReply {
        Clock::time_point due;
        Report report;
        std::size_t size = kReportSize; // less for an injected short reply
        bool heldBack = false;          // by a latency spike
    };

    struct Device : FaultSettings {
        explicit Device(Model m) : model(m) {}
        Model model;
        std::unique_ptr<Firmware> firmware; // kept while unplugged, like flash
        bool plugged = false;
        std::vector<InterfaceServer> interfaces;
        std::deque<PendingReply> pending;
        DeviceStats stats;
        std::deque<Report> requestLog;
    };

    Options options;
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

    explicit Impl(Options opts) : options(std::move(opts)) {
        prepareDirectory();
        try {
            wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
            if (wakeFd < 0) {
                throw std::system_error(errno, std::generic_category(), "eventfd");
            }
            const fs::path control = dir / "control.sock";
            if (fs::exists(fs::symlink_status(control))) {
                if (socketIsServed(control)) {
                    throw std::runtime_error("a simulator already serves " + dir.native());
                }
                fs::remove(control); // left behind by a server that died
            }
            removeStaleInterfaces();
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
            for (Device& device : devices) {
                unplugNow(device);
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
            const char* tmp = std::getenv("TMPDIR");
            std::string base = tmp && *tmp ? tmp : "/tmp";
            // Socket paths must fit in 108 bytes.
            if (base.size() > 60) {
                base = "/tmp";
            }
            std::string templ = base + "/quellix-sim-XXXXXX";
            if (::mkdtemp(templ.data()) == nullptr) {
                throw std::system_error(errno, std::generic_category(), "mkdtemp " + templ);
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
                throw std::system_error(errno, std::generic_category(), "chmod " + dir.native());
            }
            return;
        }
        // An existing directory is used only when it is already private:
        // its permissions are the user's, not ours to change.
        struct stat info {};
        if (::stat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            throw std::invalid_argument(dir.native() + " is not a directory");
        }
        if (info.st_uid != ::geteuid() || (info.st_mode & 077) != 0) {
            throw std::invalid_argument(dir.native() +
                                        " must be a directory of this user with mode 0700");
        }
    }

    // Interface files that a server which died left behind would announce
    // devices that nobody serves.
    void removeStaleInterfaces() {
        std::error_code ec;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            if (isInterfaceFileName(it->path().filename().native())) {
                fs::remove(it->path(), ec);
            }
        }
    }

    void removeDirectory() {
        std::error_code ignored;
        if (ownsDir && options.dir.empty()) {
            fs::remove_all(dir, ignored);
        } else if (ownsDir) {
            fs::remove(dir, ignored); // only when we left it empty
        }
    }

    // Runs `task` on the server thread and returns its result (or rethrows).
    // Only other threads call this; the server thread calls the *Now
    // functions directly.
    template <class Task> auto run(Task task) -> decltype(task()) {
        using Result = decltype(task());
        auto packaged = std::make_shared<std::packaged_task<Result()>>(std::move(task));
        std::future<Result> result = packaged->get_future();
        {
            std::lock_guard lock(tasksMutex);
            tasks.emplace_back([packaged] { (*packaged)(); });
        }
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(wakeFd, &one, sizeof one);
        return result.get();
    }

    Device& device(Model model) { return devices[device::kindIndex(model)]; }

    Firmware& firmwareOf(Model model) {
        Device& d = device(model);
        if (!d.firmware) {
            throw std::out_of_range(std::string(modelName(model)) + " was never plugged");
        }
        return *d.firmware;
    }

    // --- plugging -------------------------------------------------------

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
        try {
            for (const InterfaceLayout& iface : interfacesOf(d.model)) {
                InterfaceServer server{iface, {}, {}, -1, {}};
                const std::string stem =
                    interfaceStem(device::kindInfo(d.model).vendorId, productId, iface.number);
                server.socketPath = dir / (stem + ".sock");
                server.descriptorPath = dir / (stem + ".rdesc");
                // The descriptor is in place before the socket appears.
                writeFile(server.descriptorPath, iface.descriptor);
                d.interfaces.push_back(server);
                std::error_code ignored;
                fs::remove(server.socketPath, ignored);
                d.interfaces.back().listenFd = listenSeqpacket(server.socketPath);
            }
        } catch (...) {
            d.plugged = true;
            unplugNow(d);
            throw;
        }
        d.plugged = true;
    }

    void unplugNow(Device& d) {
        if (!d.plugged) {
            return;
        }
        std::error_code ignored;
        // The socket goes first, so that nobody connects any more, then the
        // connections, then the descriptor.
        for (InterfaceServer& server : d.interfaces) {
            fs::remove(server.socketPath, ignored);
            closeFd(server.listenFd);
        }
        for (InterfaceServer& server : d.interfaces) {
            for (int& fd : server.clients) {
                ::shutdown(fd, SHUT_RDWR);
                closeFd(fd);
            }
            server.clients.clear();
            fs::remove(server.descriptorPath, ignored);
        }
        d.interfaces.clear();
        d.pending.clear();
        d.unplugAfter = 0;
        d.plugged = false;
    }

    // --- traffic --------------------------------------------------------

    std::chrono::microseconds latencyOf(const Device& d) const {
        return d.latency.value_or(options.replyLatency);
    }

    void receiveRequest(Device& d, std::span<const std::uint8_t> packet) {
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
        Clock::time_point due = Clock::now() + latencyOf(d);
        const bool heldBack = d.spikeCount > 0;
        if (heldBack) {
            --d.spikeCount;
            due = Clock::now() + d.spike;
        }
        // Replies keep their order, at most one report per polling interval.
        // A request that came while a reply was held back is answered one
        // latency after that reply: the late duplicate of a repeated request.
        if (!d.pending.empty()) {
            const PendingReply& last = d.pending.back();
            due = std::max(due, last.due + (last.heldBack ? std::max(latencyOf(d), kPollingInterval)
                                                          : kPollingInterval));
        }
        std::size_t size = kReportSize;
        if (d.shortCount > 0) {
            --d.shortCount;
            size = d.shortLength;
        }
        d.pending.push_back({due, reply, size, heldBack});
    }

    void sendDueReplies() {
        const Clock::time_point now = Clock::now();
        for (Device& d : devices) {
            while (d.plugged && !d.pending.empty() && d.pending.front().due <= now) {
                const Report reply = d.pending.front().report;
                const std::size_t size = d.pending.front().size;
                d.pending.pop_front();
                broadcast(d.interfaces.front(), std::span(reply).first(size));
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
                         [](const InterfaceServer& s) { return !s.iface.carriesConfiguration; });
        if (consumer == d.interfaces.end()) {
            throw std::logic_error(std::string(modelName(d.model)) +
                                   " has no consumer-control interface");
        }
        broadcast(*consumer, consumerReport(usage));
    }

    DeviceStats statsOf(const Device& d) const {
        return collectStats(d.stats, d.requestLog, d.firmware.get());
    }

    // --- control socket -------------------------------------------------

    std::string executeControl(std::string_view line) { return executeControlCommand(*this, line); }

    std::vector<std::pair<Model, std::uint16_t>> plugged() const override {
        std::vector<std::pair<Model, std::uint16_t>> list;
        for (Model model : kListOrder) {
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
        return formatDump(firmwareOf(model), statsOf(d), d.plugged);
    }

    // --- the loop -------------------------------------------------------

    enum class Target { Wake, ControlListen, ControlClient, DeviceListen, DeviceClient };
    struct Watched {
        Target target;
        int fd;
        std::size_t device = 0;
        std::size_t iface = 0;
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
            const Device& d = devices[di];
            for (std::size_t ii = 0; ii < d.interfaces.size(); ++ii) {
                const InterfaceServer& s = d.interfaces[ii];
                if (s.listenFd >= 0) {
                    list.push_back({Target::DeviceListen, s.listenFd, di, ii});
                }
                for (int fd : s.clients) {
                    list.push_back({Target::DeviceClient, fd, di, ii});
                }
            }
        }
        return list;
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

    // Takes every connection waiting at `listenFd`.
    static void acceptInto(int listenFd, std::vector<int>& clients) {
        for (;;) {
            const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0) {
                return;
            }
            clients.push_back(fd);
        }
    }

    // An input report reaches every connection made before it was sent, as
    // every hidraw file opened before a report arrives receives it, so
    // connections still waiting to be accepted are taken first.
    static void broadcast(InterfaceServer& server, std::span<const std::uint8_t> report) {
        if (server.listenFd >= 0) {
            acceptInto(server.listenFd, server.clients);
        }
        for (int fd : server.clients) {
            sendPacket(fd, report);
        }
    }

    static void dropClient(std::vector<int>& clients, int fd) {
        const auto it = std::find(clients.begin(), clients.end(), fd);
        if (it != clients.end()) {
            ::close(fd);
            clients.erase(it);
        }
    }

    // Reads one packet; false when the peer is gone (an empty packet on a
    // SEQPACKET socket cannot be told from the end and closes it too).
    static bool receive(int fd, std::vector<std::uint8_t>& packet) {
        packet.resize(kReceiveBuffer);
        const ssize_t n = ::recv(fd, packet.data(), packet.size(), MSG_DONTWAIT | MSG_TRUNC);
        if (n < 0) {
            packet.clear();
            return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        }
        if (n == 0) {
            return false;
        }
        // An oversized packet is handled at its true size, so it is refused.
        packet.resize(static_cast<std::size_t>(n) > kReceiveBuffer ? kReceiveBuffer
                                                                   : static_cast<std::size_t>(n));
        if (static_cast<std::size_t>(n) > kReceiveBuffer) {
            packet.push_back(0);
        }
        return true;
    }

    void handleDeviceClient(const Watched& w, short revents) {
        Device& d = devices[w.device];
        if (!d.plugged || w.iface >= d.interfaces.size()) {
            return;
        }
        InterfaceServer& server = d.interfaces[w.iface];
        if (std::find(server.clients.begin(), server.clients.end(), w.fd) == server.clients.end()) {
            return;
        }
        std::vector<std::uint8_t> packet;
        if (!(revents & POLLIN) || !receive(w.fd, packet)) {
            dropClient(server.clients, w.fd);
            return;
        }
        if (packet.empty()) {
            return;
        }
        // The consumer-control interface has no output reports: ignored.
        if (server.iface.carriesConfiguration) {
            receiveRequest(d, packet);
        }
    }

    void handleControlClient(int fd, short revents) {
        if (std::find(controlClients.begin(), controlClients.end(), fd) == controlClients.end()) {
            return;
        }
        std::vector<std::uint8_t> packet;
        if (!(revents & POLLIN) || !receive(fd, packet)) {
            dropClient(controlClients, fd);
            return;
        }
        if (packet.empty()) {
            return;
        }
        const std::string answer = executeControl(
            std::string_view(reinterpret_cast<const char*>(packet.data()), packet.size()));
        (void)::send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
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
            for (std::size_t i = 0; ready > 0 && i < polled.size(); ++i) {
                const short revents = polled[i].revents;
                if (revents == 0) {
                    continue;
                }
                const Watched& w = watched[i];
                switch (w.target) {
                case Target::Wake:
                    runTasks();
                    break;
                case Target::ControlListen:
                    if (controlFd == w.fd) {
                        acceptInto(controlFd, controlClients);
                    }
                    break;
                case Target::ControlClient:
                    handleControlClient(w.fd, revents);
                    break;
                case Target::DeviceListen: {
                    Device& d = devices[w.device];
                    if (d.plugged && w.iface < d.interfaces.size() &&
                        d.interfaces[w.iface].listenFd == w.fd) {
                        acceptInto(w.fd, d.interfaces[w.iface].clients);
                    }
                    break;
                }
                case Target::DeviceClient:
                    handleDeviceClient(w, revents);
                    break;
                }
                if (stopping) {
                    return;
                }
            }
            sendDueReplies();
        }
    }
};

Simulator::Simulator(Options options) : impl_(std::make_unique<Impl>(std::move(options))) {}

Simulator::~Simulator() = default;

const std::filesystem::path& Simulator::dir() const {
    return impl_->dir;
}

void Simulator::plug(Model model, std::uint16_t keyboardProductId) {
    impl_->run([&] { impl_->plugNow(impl_->device(model), keyboardProductId); });
}

void Simulator::unplug(Model model) {
    impl_->run([&] { impl_->unplugNow(impl_->device(model)); });
}

bool Simulator::isPlugged(Model model) const {
    return impl_->run([&] { return impl_->device(model).plugged; });
}

void Simulator::dropReplies(Model model, int count) {
    impl_->run([&] { impl_->device(model).dropCount = std::max(0, count); });
}

void Simulator::replyWithStatus(Model model, std::uint8_t status, int count) {
    impl_->run([&] {
        Impl::Device& d = impl_->device(model);
        d.injectedStatus = status;
        d.statusCount = std::max(0, count);
    });
}

void Simulator::setReplyLatency(Model model, std::chrono::microseconds latency) {
    impl_->run([&] { impl_->device(model).latency = latency; });
}

void Simulator::spikeReplies(Model model, std::chrono::microseconds delay, int count) {
    impl_->run([&] {
        Impl::Device& d = impl_->device(model);
        d.spike = delay;
        d.spikeCount = std::max(0, count);
    });
}

void Simulator::shortenReplies(Model model, std::size_t bytes, int count) {
    if (bytes == 0 || bytes >= kReportSize) {
        throw std::invalid_argument("a short reply has 1..63 bytes");
    }
    impl_->run([&] {
        Impl::Device& d = impl_->device(model);
        d.shortLength = bytes;
        d.shortCount = std::max(0, count);
    });
}

void Simulator::unplugAfterFrames(Model model, int frames) {
    impl_->run([&] {
        Impl::Device& d = impl_->device(model);
        if (frames <= 0) {
            impl_->unplugNow(d);
        } else {
            d.unplugAfter = frames;
        }
    });
}

void Simulator::notify(Model model, std::uint16_t usage) {
    impl_->run([&] { impl_->notifyNow(impl_->device(model), usage); });
}

std::vector<std::uint8_t> Simulator::memory(Model model, std::size_t offset,
                                            std::size_t length) const {
    return memory(model, Region::Slots, offset, length);
}

void Simulator::writeMemory(Model model, std::size_t offset,
                            const std::vector<std::uint8_t>& bytes) {
    writeMemory(model, Region::Slots, offset, bytes);
}

std::vector<std::uint8_t> Simulator::memory(Model model, Region region, std::size_t offset,
                                            std::size_t length) const {
    return impl_->run([&] {
        const auto& area = impl_->firmwareOf(model).region(region);
        if (offset > area.size() || length > area.size() - offset) {
            throw std::out_of_range("memory range beyond the area");
        }
        return std::vector<std::uint8_t>(area.begin() + static_cast<long>(offset),
                                         area.begin() + static_cast<long>(offset + length));
    });
}

void Simulator::writeMemory(Model model, Region region, std::size_t offset,
                            const std::vector<std::uint8_t>& bytes) {
    impl_->run([&] {
        auto& area = impl_->firmwareOf(model).region(region);
        if (offset > area.size() || bytes.size() > area.size() - offset) {
            throw std::out_of_range("memory range beyond the area");
        }
        std::copy(bytes.begin(), bytes.end(), area.begin() + static_cast<long>(offset));
    });
}

std::size_t Simulator::regionSize(Model model, Region region) const {
    return impl_->run([&] { return impl_->firmwareOf(model).region(region).size(); });
}

std::uint16_t Simulator::productId(Model model) const {
    return impl_->run([&]() -> std::uint16_t {
        const auto& firmware = impl_->device(model).firmware;
        return firmware ? firmware->productId() : 0;
    });
}

DeviceStats Simulator::stats(Model model) const {
    return impl_->run([&] { return impl_->statsOf(impl_->device(model)); });
}

std::string Simulator::dump(Model model) const {
    return impl_->run([&] {
        const Impl::Device& d = impl_->device(model);
        return formatDump(impl_->firmwareOf(model), impl_->statsOf(d), d.plugged);
    });
}

} // namespace quellix::sim
