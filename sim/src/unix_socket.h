#pragma once
// SOCK_SEQPACKET Unix sockets: one packet is one report or one control
// message.

#include <filesystem>
#include <string>

namespace quellix::sim {

// Binds and listens at `path` (non-blocking, close-on-exec).  Throws
// std::system_error; a path too long for a socket address throws
// std::length_error.
int listenSeqpacket(const std::filesystem::path& path);

// Connects to `path` (blocking, close-on-exec); -1 with errno set on failure.
int connectSeqpacket(const std::filesystem::path& path);

// True when a server accepts connections at `path`.
bool socketIsServed(const std::filesystem::path& path);

// Sends one packet and waits up to `timeoutMs` for the one-packet answer.
// Throws std::system_error on failure or timeout.
std::string requestReply(int fd, const std::string& request, int timeoutMs);

} // namespace quellix::sim
