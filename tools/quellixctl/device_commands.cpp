// info, read and keys: configuration reads on one device, bracketed by
// commands 1 and 2 like the program's own configuration reads.

#include "arguments.h"
#include "command.h"
#include "opened_session.h"

#include "quellix/device/device_session.h"

#include <optional>
#include <vector>

namespace quellix::tools {

using namespace quellix::device;

namespace {

std::optional<DeviceKind> kindArgument(const std::string& text, CommandContext& context) {
    auto kind = parseKind(text);
    if (!kind) {
        context.err << "quellixctl: unknown device kind '" << text
                    << "' (keyboard, mouse, pad or kb, ms, mp)\n";
    }
    return kind;
}

std::optional<std::uint32_t> numberArgument(const std::string& text, std::string_view what,
                                            std::uint32_t max, CommandContext& context) {
    auto value = parseNumber(text, max);
    if (!value) {
        context.err << "quellixctl: bad " << what << " '" << text << "' (0.." << max << ")\n";
    }
    return value;
}

// Runs `body` between commands 1 and 2; command 2 is sent whenever command 1
// was accepted, also after a failed body.
template <class Body> int bracketed(OpenedSession& opened, Body body) {
    if (!opened.check(opened.session().beginTransfer(), "command 1 (begin transfer)")) {
        return kExitFailure;
    }
    const bool ok = body();
    const bool closed = opened.check(opened.session().endTransfer(), "command 2 (end transfer)");
    return ok && closed ? kExitOk : kExitFailure;
}

} // namespace

int runInfo(CommandArgs args, CommandContext& context) {
    const auto kind = kindArgument(args[0], context);
    if (!kind) {
        return kExitUsage;
    }
    OpenedSession opened(*kind, context);
    if (!opened.isOpen()) {
        return kExitFailure;
    }
    DeviceInfoBlock info{};
    return bracketed(opened, [&] {
        if (!opened.check(opened.session().readDeviceInfo(info), "command 3 (device info)")) {
            return false;
        }
        printHexDump(context.out, info, 0);
        return true;
    });
}

int runRead(CommandArgs args, CommandContext& context) {
    constexpr std::uint32_t kAddressLimit = 0x10000;
    const auto kind = kindArgument(args[0], context);
    const auto offset = numberArgument(args[1], "offset", kAddressLimit - 1, context);
    if (!kind || !offset) {
        return kExitUsage;
    }
    const auto length = numberArgument(args[2], "length", kAddressLimit - *offset, context);
    if (!length) {
        return kExitUsage;
    }
    if (*length == 0) {
        context.err << "quellixctl: length must be at least 1\n";
        return kExitUsage;
    }
    OpenedSession opened(*kind, context);
    if (!opened.isOpen()) {
        return kExitFailure;
    }
    std::vector<std::uint8_t> bytes(*length);
    return bracketed(opened, [&] {
        // Command 5 carries at most one frame's payload per request.
        for (std::size_t done = 0; done < bytes.size(); done += kMaxChunkPayload) {
            const std::size_t chunk = std::min(kMaxChunkPayload, bytes.size() - done);
            const Result result = opened.session().readBlock(
                static_cast<std::uint16_t>(*offset + done), std::span(bytes).subspan(done, chunk));
            if (!opened.check(result, "command 5 (read block)")) {
                return false;
            }
        }
        printHexDump(context.out, bytes, *offset);
        return true;
    });
}

int runKeys(CommandArgs args, CommandContext& context) {
    const auto kind = kindArgument(args[0], context);
    const auto page = numberArgument(args[1], "page", kKeyPageCount - 1, context);
    if (!kind || !page) {
        return kExitUsage;
    }
    OpenedSession opened(*kind, context);
    if (!opened.isOpen()) {
        return kExitFailure;
    }
    DeviceSession& session = opened.session();
    KeyBlock keys{};
    return bracketed(opened, [&] {
        if (*kind == DeviceKind::Keyboard) {
            // The keyboard's pages are 3 bytes per key of its key count.
            DeviceInfoBlock info{};
            if (!opened.check(session.readDeviceInfo(info), "command 3 (device info)")) {
                return false;
            }
            const std::size_t length = 3u * info[5];
            if (length > kKeyBlockSize) {
                context.err << "quellixctl: the keyboard reports " << int(info[5])
                            << " keys, more than a key page holds\n";
                return false;
            }
            session.blockLength = static_cast<std::uint16_t>(length);
        }
        if (!opened.check(session.readKeyPage(*page, keys), "command 8 (read key page)")) {
            return false;
        }
        printHexDump(context.out, std::span(keys).first(session.blockLength), 0);
        return true;
    });
}

} // namespace quellix::tools
