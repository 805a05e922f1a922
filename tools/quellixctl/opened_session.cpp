#include "opened_session.h"

#include "quellix/device/report_frame.h"
#include "quellix/device/session_connect.h"

#include <array>
#include <cstdio>
#include <utility>

namespace quellix::tools {

using namespace quellix::device;

OpenedSession::OpenedSession(DeviceKind kind, CommandContext& context)
    : session_(std::make_unique<DeviceSession>()), context_(context) {
    session_->setIdentity(identityOf(kind));
    session_->hid.source = context.source;
    std::string error;
    open_ = connectSession(*session_, kind, &error);
    if (!open_) {
        context_.err << "quellixctl: " << error << '\n';
        return;
    }
    if (context_.trace) {
        session_->setFrameObserver([&out = context_.out](FrameDirection direction,
                                                         std::span<const std::uint8_t> bytes) {
            out << (direction == FrameDirection::Sent ? "> " : "< ") << frameToHex(bytes) << '\n';
        });
    }
}

OpenedSession::~OpenedSession() {
    if (open_) {
        session_->setFrameObserver({});
        disconnectSession(*session_);
    }
}

std::string_view describeResult(int result) {
    constexpr std::array<std::pair<int, std::string_view>, 6> kMeanings = {{
        {kResultOk, "success"},
        {kResultNoReply, "no reply from the device"},
        {kResultWriteFailed, "the request could not be written"},
        {kResultStatusFF, "the device answered with status 0xff"},
        {kResultStatusFE, "the device answered with status 0xfe"},
        {kResultBadPage, "page index out of range"},
    }};
    for (const auto& [code, meaning] : kMeanings) {
        if (code == result) {
            return meaning;
        }
    }
    return "unknown result";
}

bool OpenedSession::check(int result, std::string_view what) {
    if (result == kResultOk) {
        return true;
    }
    context_.err << "quellixctl: " << what << " failed: " << describeResult(result) << " ("
                 << result << ")\n";
    return false;
}

void printHexDump(std::ostream& out, std::span<const std::uint8_t> bytes, std::uint32_t base) {
    constexpr std::size_t kPerLine = 16;
    for (std::size_t line = 0; line < bytes.size(); line += kPerLine) {
        char offset[16];
        std::snprintf(offset, sizeof offset, "%04x: ", static_cast<unsigned>(base + line));
        out << offset << frameToHex(bytes.subspan(line, std::min(kPerLine, bytes.size() - line)))
            << '\n';
    }
}

} // namespace quellix::tools
