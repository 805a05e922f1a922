// image and profile: a device's configuration image decoded into readable
// lines, and a profile file decoded by its header and size.

#include "arguments.h"
#include "command.h"
#include "opened_session.h"

#include "quellix/config/device_configs.h"
#include "quellix/platform/atomic_file.h"
#include "quellix/profiles/families.h"

#include <cstdio>
#include <string>

namespace quellix::tools {

namespace {

std::string hexColour(config::Rgb c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.red, c.green, c.blue);
    return text;
}

void printLighting(std::ostream& out, const config::SlotLighting& l) {
    out << "mode " << int(l.mode) << ", brightness " << int(l.brightness) << ", speed "
        << int(l.speed) << ", direction " << (l.direction != 0 ? "left" : "right")
        << ", multicolour " << (l.multicolor != 0 ? "on" : "off") << ", colour "
        << hexColour(l.colour);
}

void printPad(std::ostream& out, const config::PadConfig& pad) {
    out << "pad: active slot " << int(pad.image.slot(0)[0]) << '\n';
    for (std::size_t s = 0; s < config::kOnBoardSlots; ++s) {
        out << "slot " << s << ": ";
        printLighting(out, config::decodeLighting(pad.image.slot(s)));
        out << '\n';
    }
}

void printMouse(std::ostream& out, const config::MouseConfig& mouse) {
    const std::uint16_t base = config::dpiBase(mouse.info);
    char sensor[8];
    std::snprintf(sensor, sizeof sensor, "0x%04x", config::sensorId(mouse.info));
    out << "mouse: active slot " << int(mouse.image.slot(0)[0]) << ", sensor " << sensor
        << ", DPI base " << base << ", largest DPI position "
        << int(config::maxDpiPosition(mouse.info)) << '\n';
    for (std::size_t s = 0; s < config::kOnBoardSlots; ++s) {
        const auto slot = config::decodeMouseSlot(mouse.image.slot(s));
        out << "slot " << s << ": ";
        printLighting(out, slot.lighting);
        out << "\n  report rate item " << int(slot.reportRate) << ", active DPI stage "
            << int(slot.dpiStage) + 1 << '\n';
        for (std::size_t i = 0; i < config::kDpiStages; ++i) {
            out << "  DPI stage " << i + 1 << ": position " << int(slot.dpiLevels[i]) << " = "
                << config::dpiValue(base, slot.dpiLevels[i]) << " DPI, colour "
                << hexColour(slot.dpiColours[i]) << (i == slot.dpiStage ? " (active)" : "") << '\n';
        }
    }
}

void printKeyboard(std::ostream& out, const config::KeyboardConfig& keyboard,
                   std::uint16_t productId) {
    const auto variant = device::keyboardVariantFor(productId);
    char product[8];
    std::snprintf(product, sizeof product, "0x%04x", productId);
    out << "keyboard: product " << product << ", variant "
        << (variant ? std::to_string(*variant) : std::string("unknown")) << ", keys "
        << int(keyboard.info[5]) << '\n';
    const auto slot = config::decodeKeyboardSlot(keyboard.image.slot(0));
    out << "slot 0: ";
    printLighting(out, slot.lighting);
    out << "\n  colour A " << hexColour(slot.colourA) << " multicolour " << int(slot.multicolourA)
        << ", colour B " << hexColour(slot.colourB) << " multicolour " << int(slot.multicolourB)
        << ", style " << (slot.style != 0 ? "six" : "one") << '\n';
}

} // namespace

int runImage(CommandArgs args, CommandContext& context) {
    const auto kind = parseKind(args[0]);
    if (!kind) {
        context.err << "quellixctl: unknown device kind '" << args[0]
                    << "' (keyboard, mouse, pad or kb, ms, mp)\n";
        return kExitUsage;
    }
    OpenedSession opened(*kind, context);
    if (!opened.isOpen()) {
        return kExitFailure;
    }
    auto configs = std::make_unique<config::DeviceConfigs>();
    device::DeviceSession& session = opened.session();
    // Nothing is printed unless every read succeeded: a part that failed
    // would show zeros, or what an earlier read left, as if the device
    // held them.
    switch (*kind) {
    case device::DeviceKind::MousePad:
        if (!opened.check(config::readPadImage(configs->pad, session), "reading the image")) {
            return kExitFailure;
        }
        printPad(context.out, configs->pad);
        break;
    case device::DeviceKind::Mouse:
        if (!opened.check(config::readMouseImage(configs->mouse, session), "reading the image")) {
            return kExitFailure;
        }
        printMouse(context.out, configs->mouse);
        break;
    case device::DeviceKind::Keyboard: {
        const Result read = config::readKeyboardImage(configs->keyboard, session);
        if (read == Status::Unsupported) {
            // The read left the transfer open: close it.
            ignoreResult(session.endTransfer());
        }
        if (!opened.check(read, "reading the image")) {
            return kExitFailure;
        }
        printKeyboard(context.out, configs->keyboard, session.hid.attributes.productId);
        break;
    }
    }
    return kExitOk;
}

int runProfile(CommandArgs args, CommandContext& context) {
    std::string bytes;
    if (const Result read = platform::readWholeFile(args[0], 1 << 20, bytes); !read) {
        context.err << "quellixctl: " << read.describe() << '\n';
        return kExitFailure;
    }
    const auto profile = profiles::describeProfile(bytes);
    if (!profile) {
        context.err << "quellixctl: " << args[0]
                    << " is not a profile file: " << profile.result().detail() << '\n';
        return kExitFailure;
    }
    const auto kind = device::kindFromCode(profile->kind);
    context.out << "kind " << profile->kind << " ("
                << (kind ? device::kindName(*kind) : std::string_view("unknown")) << "), payload "
                << profile->payloadBytes << " bytes\n";
    if (profile->families.empty()) {
        // What was decoded is shown, but the file is no profile this program
        // can load: the command fails.
        context.out << "family: none has this size and kind\n";
        printHexDump(context.out, profile->payload, 0);
        context.err << "quellixctl: " << args[0]
                    << " is no profile of a known family (its size and kind fit none)\n";
        return kExitFailure;
    }
    for (auto family : profile->families) {
        context.out << "family: " << family << '\n';
    }
    const auto& p = profile->payload;
    const std::string_view family = profile->families.front();
    if (family == "mouse-pad lighting") {
        context.out << "slot byte " << int(p[0]) << ": ";
        printLighting(context.out, config::decodeLighting(p));
        context.out << '\n';
    } else if (family == "mouse lighting" || family == "mouse device") {
        const std::size_t at = family == "mouse device" ? config::kKeyProfileBytes : 0;
        const auto slot = config::decodeMouseSlot(std::span(p).subspan(at));
        printLighting(context.out, slot.lighting);
        context.out << "\nreport rate item " << int(slot.reportRate) << ", DPI positions";
        for (auto level : slot.dpiLevels) {
            context.out << ' ' << int(level);
        }
        context.out << ", active stage " << int(slot.dpiStage) + 1 << ", pointer speed "
                    << int(p[at + config::mouse_field::kPointerSpeed]) << ", wheel speed "
                    << int(p[at + config::mouse_field::kWheelSpeed]) << '\n';
    } else if (family == "keyboard lighting") {
        const auto slot = config::decodeKeyboardSlot(p);
        printLighting(context.out, slot.lighting);
        context.out << "\ncolour A " << hexColour(slot.colourA) << ", colour B "
                    << hexColour(slot.colourB) << ", style " << int(slot.style) << ", custom set "
                    << int(p[64]) << ", custom colour " << hexColour(config::readRgb(p, 65))
                    << '\n';
    } else {
        printHexDump(context.out, p, 0);
    }
    return kExitOk;
}

} // namespace quellix::tools
