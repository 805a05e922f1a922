#pragma once
// A session opened onto one kind's configuration collection for the length
// of a command, tracing its frames when asked.

#include "command.h"

#include "quellix/device/device_session.h"

#include <memory>
#include <string_view>

namespace quellix::tools {

class OpenedSession {
public:
    // Connects; on failure prints why on context.err and isOpen() is false.
    OpenedSession(device::DeviceKind kind, CommandContext& context);
    ~OpenedSession();
    OpenedSession(const OpenedSession&) = delete;
    OpenedSession& operator=(const OpenedSession&) = delete;

    bool isOpen() const { return open_; }
    device::DeviceSession& session() { return *session_; }

    // True for a success; otherwise prints "<what> failed: <reason>" and
    // returns false.
    bool check(const Result& result, std::string_view what);

private:
    std::unique_ptr<device::DeviceSession> session_;
    CommandContext& context_;
    bool open_ = false;
};

// Lines of up to 16 bytes: "0040: 01 02 ...", offsets counted from `base`.
void printHexDump(std::ostream& out, std::span<const std::uint8_t> bytes, std::uint32_t base);

} // namespace quellix::tools
