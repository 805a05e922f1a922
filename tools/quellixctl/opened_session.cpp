#include "opened_session.h"

#include "quellix/device/report_frame.h"
#include "quellix/device/session_connect.h"

#include <array>
#include <cstdio>
#include <utility>

namespace quellix::tools {

using namespace quellix::device;

namespace {

// Replies the session did not take are marked on their trace line, so a
// trace shows which reply answered which request.
std::string_view droppedMark(FrameEvent event) {
    switch (event) {
    case FrameEvent::DroppedStale:
        return " (dropped: stale)";
    case FrameEvent::DroppedShort:
        return " (dropped: short)";
    case FrameEvent::Sent:
    case FrameEvent::Taken:
        break;
    }
    return {};
}

} // namespace

OpenedSession::OpenedSession(DeviceKind kind, CommandContext& context)
    : session_(std::make_unique<DeviceSession>()), context_(context) {
    session_->setIdentity(identityOf(kind));
    session_->hid.source = context.source;
    const Result connected = connectSession(*session_, kind);
    open_ = connected.ok();
    if (!open_) {
        context_.err << "quellixctl: " << connected.detail() << '\n';
        return;
    }
    if (context_.trace) {
        session_->setFrameObserver(
            [&out = context_.out](FrameEvent event, std::span<const std::uint8_t> bytes) {
                out << (event == FrameEvent::Sent ? "> " : "< ") << frameToHex(bytes)
                    << droppedMark(event) << '\n';
            });
    }
}

OpenedSession::~OpenedSession() {
    if (open_) {
        session_->setFrameObserver({});
        disconnectSession(*session_);
    }
}

bool OpenedSession::check(const Result& result, std::string_view what) {
    if (result) {
        return true;
    }
    context_.err << "quellixctl: " << what << " failed: " << result.describe() << '\n';
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
