#pragma once
// A stand-in for the device simulator's directory in tests: interfaces are
// listening SOCK_SEQPACKET sockets with a .rdesc file beside them, served by
// the test itself (accept, send and receive packets on demand, no threads).

#include "quellix/hid/device_source.h"
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

#include "temp_dir.h"

namespace quellix::testing {

using platform::test::TempDir;

inline void writeFile(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline void writeText(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

class FakeSimDir {
public:
    ~FakeSimDir() {
        for (auto& [name, iface] : interfaces_) {
            for (int fd : iface.connections)
                ::close(fd);
            if (iface.listener >= 0)
                ::close(iface.listener);
        }
    }

    const std::filesystem::path& dir() const { return dir_.path(); }
    // The HID source that finds what is plugged here.
    hid::DeviceSource source() const { return hid::DeviceSource::simulator(dir()); }

    // Writes the .rdesc, then binds the socket; returns the socket name.
    std::string plug(std::uint16_t vendor, std::uint16_t product, std::uint16_t release,
                     std::uint8_t interface, const std::vector<std::uint8_t>& descriptor) {
        char stem[32];
        std::snprintf(stem, sizeof stem, "%04x_%04x_%04x_%02x", vendor, product, release,
                      interface);
        writeFile(dir() / (std::string(stem) + ".rdesc"), descriptor);
        const std::string name = std::string(stem) + ".sock";
        Interface iface;
        iface.listener = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string file = (dir() / name).string();
        std::strncpy(address.sun_path, file.c_str(), sizeof address.sun_path - 1);
        if (::bind(iface.listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(iface.listener, 8) != 0)
            throw std::runtime_error("cannot bind " + file);
        interfaces_[name] = std::move(iface);
        return name;
    }

    // Removes the socket and drops every connection, as an unplug does.
    void unplug(const std::string& name) {
        Interface& iface = interfaces_.at(name);
        std::filesystem::remove(dir() / name);
        for (int fd : iface.connections) {
            ::shutdown(fd, SHUT_RDWR);
            ::close(fd);
        }
        iface.connections.clear();
        ::close(iface.listener);
        iface.listener = -1;
    }

    // Takes every connection waiting on the socket; returns how many exist.
    std::size_t accept(const std::string& name) {
        Interface& iface = interfaces_.at(name);
        for (;;) {
            const int fd = ::accept4(iface.listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0)
                break;
            iface.connections.push_back(fd);
        }
        return iface.connections.size();
    }

    // Sends one packet to every connection (input reports reach them all).
    void send(const std::string& name, const std::vector<std::uint8_t>& packet) {
        accept(name);
        for (int fd : interfaces_.at(name).connections)
            ::send(fd, packet.data(), packet.size(), MSG_NOSIGNAL);
    }

    // The next packet written by the first connection (waits at most 5 s).
    std::vector<std::uint8_t> receive(const std::string& name) {
        accept(name);
        Interface& iface = interfaces_.at(name);
        if (iface.connections.empty())
            return {};
        pollfd pfd{iface.connections.front(), POLLIN, 0};
        if (::poll(&pfd, 1, 5000) != 1)
            return {};
        std::vector<std::uint8_t> packet(4096);
        const ssize_t n = ::recv(pfd.fd, packet.data(), packet.size(), 0);
        packet.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return packet;
    }

private:
    struct Interface {
        int listener = -1;
        std::vector<int> connections;
    };
    TempDir dir_;
    std::map<std::string, Interface> interfaces_;
};

// Report descriptors used across the HID tests.
namespace descriptors {

// Vendor collection FF1C/0092 with 63-byte input and output reports under
// report id 4, and a consumer-control collection (report id 3, one 16-bit
// array field over usages 0..0xFFF) — the shape of the devices' interface.
inline const std::vector<std::uint8_t> kConfigAndConsumer = {
    0x06, 0x1c, 0xff, 0x09, 0x92, 0xa1, 0x01, 0x85, 0x04, 0x15, 0x00, 0x26, 0xff,
    0x00, 0x75, 0x08, 0x95, 0x3f, 0x09, 0x01, 0x81, 0x02, 0x09, 0x01, 0x91, 0x02,
    0xc0, 0x05, 0x0c, 0x09, 0x01, 0xa1, 0x01, 0x85, 0x03, 0x19, 0x00, 0x2a, 0xff,
    0x0f, 0x15, 0x00, 0x26, 0xff, 0x0f, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xc0};

// One collection without report ids: 3 buttons, X and Y (-127..127), one
// output byte.
inline const std::vector<std::uint8_t> kUnnumberedMouse = {
    0x05, 0x01, 0x09, 0x02, 0xa1, 0x01, 0x05, 0x09, 0x19, 0x01, 0x29, 0x03, 0x15,
    0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x03, 0x81, 0x02, 0x95, 0x05, 0x81, 0x01,
    0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x15, 0x81, 0x25, 0x7f, 0x75, 0x08, 0x95,
    0x02, 0x81, 0x06, 0x09, 0x40, 0x75, 0x08, 0x95, 0x01, 0x91, 0x02, 0xc0};

} // namespace descriptors

} // namespace quellix::testing
