#pragma once
// A minimal client of the simulator's sockets for the tests: builds
// requests byte by byte and reads replies with plain socket calls.

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace quellix::sim::testing {

using Frame = std::array<std::uint8_t, 64>;

inline Frame request(std::uint8_t command, std::uint8_t length, std::uint16_t offset,
                     const std::vector<std::uint8_t>& payload = {}) {
    Frame f{};
    f[0] = 4;
    f[3] = command;
    f[4] = length;
    f[5] = static_cast<std::uint8_t>(offset & 0xFF);
    f[6] = static_cast<std::uint8_t>(offset >> 8);
    for (std::size_t i = 0; i < payload.size() && i < 56; ++i) {
        f[8 + i] = payload[i];
    }
    unsigned sum = 0;
    for (std::size_t i = 3; i < 64; ++i) {
        sum += f[i];
    }
    f[1] = static_cast<std::uint8_t>(sum & 0xFF);
    f[2] = static_cast<std::uint8_t>((sum >> 8) & 0xFF);
    return f;
}

class Client {
public:
    explicit Client(const std::filesystem::path& socketPath) {
        fd_ = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socketPath.c_str(), sizeof(address.sun_path) - 1);
        if (fd_ < 0 || ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            throw std::runtime_error("cannot connect to " + socketPath.native());
        }
    }
    ~Client() { ::close(fd_); }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    void send(const void* bytes, std::size_t size) {
        if (::send(fd_, bytes, size, MSG_NOSIGNAL) != static_cast<ssize_t>(size)) {
            throw std::runtime_error("send failed");
        }
    }
    void send(const Frame& frame) { send(frame.data(), frame.size()); }

    // The next packet; nullopt when none arrives within `waitMs` (a guard
    // against hanging, not a timing check); an empty vector at end of stream.
    std::optional<std::vector<std::uint8_t>> receive(int waitMs = 5000) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, waitMs) <= 0) {
            return std::nullopt;
        }
        std::vector<std::uint8_t> packet(512);
        const ssize_t n = ::recv(fd_, packet.data(), packet.size(), 0);
        packet.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return packet;
    }

    std::vector<std::uint8_t> exchange(const Frame& frame) {
        send(frame);
        auto reply = receive();
        if (!reply) {
            throw std::runtime_error("no reply");
        }
        return *reply;
    }

    std::string control(const std::string& line) {
        send(line.data(), line.size());
        auto reply = receive();
        return reply ? std::string(reply->begin(), reply->end()) : std::string("<no answer>");
    }

private:
    int fd_ = -1;
};

} // namespace quellix::sim::testing
