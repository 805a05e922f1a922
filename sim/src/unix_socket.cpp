#include "unix_socket.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/un.h>
#include <system_error>
#include <unistd.h>

namespace quellix::sim {
namespace {

sockaddr_un addressOf(const std::filesystem::path& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string& text = path.native();
    if (text.size() >= sizeof(address.sun_path)) {
        throw std::length_error("socket path too long: " + text);
    }
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    return address;
}

[[noreturn]] void throwErrno(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

} // namespace

int listenSeqpacket(const std::filesystem::path& path) {
    const sockaddr_un address = addressOf(path);
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        throwErrno("socket");
    }
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(fd, 16) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        throwErrno("bind " + path.native());
    }
    return fd;
}

int connectSeqpacket(const std::filesystem::path& path) {
    sockaddr_un address;
    try {
        address = addressOf(path);
    } catch (const std::length_error&) {
        errno = ENAMETOOLONG;
        return -1;
    }
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

bool socketIsServed(const std::filesystem::path& path) {
    const int fd = connectSeqpacket(path);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

std::string requestReply(int fd, const std::string& request, int timeoutMs) {
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) < 0) {
        throwErrno("send");
    }
    pollfd waiting{fd, POLLIN, 0};
    const int ready = ::poll(&waiting, 1, timeoutMs);
    if (ready < 0) {
        throwErrno("poll");
    }
    if (ready == 0) {
        throw std::system_error(ETIMEDOUT, std::generic_category(), "no answer");
    }
    std::string answer(64 * 1024, '\0');
    const ssize_t n = ::recv(fd, answer.data(), answer.size(), 0);
    if (n < 0) {
        throwErrno("recv");
    }
    if (n == 0) {
        throw std::system_error(ECONNRESET, std::generic_category(), "connection closed");
    }
    answer.resize(static_cast<std::size_t>(n));
    return answer;
}

} // namespace quellix::sim
