#include "quellix/platform/single_instance.h"

#include "quellix/platform/debug.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace quellix::platform {

namespace {

// How often a start retries when the name is taken but nobody answers (the
// owner is between bind and listen, or is just exiting).
constexpr int kClaimAttempts = 20;
constexpr int kClaimRetryMs = 10;
// How long each side waits for the other's bytes.
constexpr int kPeerTimeoutMs = 3000;
constexpr char kAcknowledge = 1;

sockaddr_un abstractAddress(const std::string& name, socklen_t& length) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // Abstract namespace: a leading NUL, then the name (not NUL-terminated).
    std::size_t size = std::min(name.size(), sizeof address.sun_path - 1);
    std::memcpy(address.sun_path + 1, name.data(), size);
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + size);
    return address;
}

bool peerIsSameUser(int fd) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 &&
           credentials.uid == ::getuid();
}

bool waitReadable(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    int n;
    do
        n = ::poll(&p, 1, timeoutMs);
    while (n < 0 && errno == EINTR);
    return n == 1;
}

enum class ClaimResult { Bound, Taken, Failed };

ClaimResult tryBind(int fd, const std::string& name) {
    socklen_t length;
    sockaddr_un address = abstractAddress(name, length);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0)
        return ::listen(fd, 16) == 0 ? ClaimResult::Bound : ClaimResult::Failed;
    return errno == EADDRINUSE ? ClaimResult::Taken : ClaimResult::Failed;
}

bool tryConnect(int fd, const std::string& name) {
    socklen_t length;
    sockaddr_un address = abstractAddress(name, length);
    int result;
    do
        result = ::connect(fd, reinterpret_cast<sockaddr*>(&address), length);
    while (result < 0 && errno == EINTR);
    return result == 0;
}

int newSocket() {
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
}

} // namespace

std::string SingleInstance::socketName(std::string_view name) {
    return "quellix-instance-" + std::string(name) + "-" + std::to_string(::getuid());
}

std::unique_ptr<SingleInstance> SingleInstance::acquire(std::string_view name) {
    const std::string socket = socketName(name);
    for (int attempt = 0; attempt < kClaimAttempts; ++attempt) {
        int listener = newSocket();
        if (listener < 0)
            break;
        ClaimResult claim = tryBind(listener, socket);
        if (claim == ClaimResult::Bound)
            return std::unique_ptr<SingleInstance>(new SingleInstance(Role::Primary, listener));
        ::close(listener);
        if (claim == ClaimResult::Failed)
            break;
        int connection = newSocket();
        if (connection < 0)
            break;
        if (tryConnect(connection, socket)) {
            if (peerIsSameUser(connection))
                return std::unique_ptr<SingleInstance>(
                    new SingleInstance(Role::Secondary, connection));
            // Someone else holds our name: do not hand them anything.
            ::close(connection);
            debugOutputf("single instance: %s is held by another user", socket.c_str());
            break;
        }
        ::close(connection);
        ::usleep(kClaimRetryMs * 1000);
    }
    return std::unique_ptr<SingleInstance>(new SingleInstance(Role::Unavailable, -1));
}

SingleInstance::~SingleInstance() {
    stop_.set();
    if (listener_.joinable())
        listener_.join();
    if (fd_ >= 0)
        ::close(fd_);
}

void SingleInstance::listen(MessageHandler handler) {
    if (role_ != Role::Primary || listener_.joinable())
        return;
    handler_ = std::move(handler);
    listener_ = std::thread([this] { serve(); });
}

void SingleInstance::serve() {
    for (;;) {
        pollfd fds[2] = {{stop_.fd(), POLLIN, 0}, {fd_, POLLIN, 0}};
        int n = ::poll(fds, 2, -1);
        if (n < 0 && errno != EINTR)
            return;
        if (fds[0].revents & POLLIN)
            return;
        if (!(fds[1].revents & POLLIN))
            continue;
        int client = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        serveClient(client);
        ::close(client);
    }
}

void SingleInstance::serveClient(int client) {
    if (!peerIsSameUser(client))
        return;
    std::string message;
    char buffer[kMaxMessageBytes];
    // Until the sender closes its side; a silent or endless sender is cut
    // off so that it cannot hold up the next one.
    while (message.size() < kMaxMessageBytes && waitReadable(client, kPeerTimeoutMs)) {
        ssize_t n = ::recv(client, buffer, kMaxMessageBytes - message.size(), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        message.append(buffer, static_cast<std::size_t>(n));
    }
    if (message.empty())
        return;
    if (handler_) {
        try {
            handler_(std::move(message));
        } catch (const std::exception& error) {
            debugOutputf("single instance: message handler failed: %s", error.what());
        }
    }
    ::send(client, &kAcknowledge, 1, MSG_NOSIGNAL);
}

bool SingleInstance::notifyPrimary(std::string_view message) {
    if (role_ != Role::Secondary || message.empty())
        return false;
    message = message.substr(0, kMaxMessageBytes);
    while (!message.empty()) {
        ssize_t n = ::send(fd_, message.data(), message.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        message.remove_prefix(static_cast<std::size_t>(n));
    }
    ::shutdown(fd_, SHUT_WR);
    char reply = 0;
    if (!waitReadable(fd_, kPeerTimeoutMs))
        return false;
    return ::recv(fd_, &reply, 1, 0) == 1 && reply == kAcknowledge;
}

} // namespace quellix::platform
