#include "fx_command.h"

#include "quellix/lighting/iteration.h"
#include "quellix/lighting/seeds.h"

#include <array>
#include <charconv>
#include <memory>
#include <optional>
#include <ostream>
#include <string_view>

namespace quellix::tools {

namespace lighting = quellix::lighting;

const char* fxUsage() {
    return "usage: quellixctl fx <pad|mouse|keyboard> [--variant 0|1|2]\n"
           "           --fields <slot,mode,brightness,speed,direction,multicolor,red,green,blue>\n"
           "           --frames N [--sync] [--trigger-at F]\n"
           "\n"
           "Applies the kind's animation reset and the seed that choosing the mode places,\n"
           "then runs N steps of the kind's animation worker and prints one line per step:\n"
           "the frame the device receives in lowercase hex (\"-\" when it receives none),\n"
           "a space, and the milliseconds of sleep the step requested (frame delay included).\n"
           "  --variant    keyboard variant (default 0); variant 1 prints its level frames\n"
           "  --sync       run the synchronised effect of the mode for this kind alone\n"
           "               (the worker's 1 ms waits for the two other kinds are counted)\n"
           "  --trigger-at fire the flash trigger (mouse input) before step F, counted from 0\n";
}

namespace {

enum class Kind { Pad, Mouse, Keyboard };

struct FxOptions {
    Kind kind = Kind::Pad;
    unsigned variant = 0;
    bool variantGiven = false;
    lighting::LightingFields fields;
    bool fieldsGiven = false;
    unsigned long frames = 0;
    bool framesGiven = false;
    bool sync = false;
    std::optional<unsigned long> triggerAt;
};

constexpr unsigned long kMaxFrames = 1'000'000;

std::optional<unsigned long> parseNumber(std::string_view text, unsigned long max) {
    unsigned long v = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (text.empty() || ec != std::errc() || ptr != end || v > max)
        return std::nullopt;
    return v;
}

bool parseFields(std::string_view text, lighting::LightingFields& f) {
    std::array<std::uint8_t, lighting::kLightingFieldBytes> bytes{};
    std::size_t n = 0;
    while (true) {
        const std::size_t comma = text.find(',');
        const auto value = parseNumber(text.substr(0, comma), 255);
        if (!value || n == bytes.size())
            return false;
        bytes[n++] = static_cast<std::uint8_t>(*value);
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    if (n != bytes.size())
        return false;
    f = {bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7], bytes[8]};
    return true;
}

// Returns an error message, or an empty string when the options are good.
std::string parse(const std::vector<std::string>& args, FxOptions& o) {
    if (args.empty())
        return "missing device kind (pad, mouse or keyboard)";
    if (args[0] == "pad")
        o.kind = Kind::Pad;
    else if (args[0] == "mouse")
        o.kind = Kind::Mouse;
    else if (args[0] == "keyboard")
        o.kind = Kind::Keyboard;
    else
        return "unknown device kind '" + args[0] + "' (expected pad, mouse or keyboard)";

    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--sync") {
            o.sync = true;
            continue;
        }
        if (a != "--variant" && a != "--fields" && a != "--frames" && a != "--trigger-at")
            return "unknown argument '" + a + "'";
        if (!hasValue)
            return "missing value after " + a;
        const std::string& v = args[++i];
        if (a == "--variant") {
            const auto n = parseNumber(v, 2);
            if (!n)
                return "--variant must be 0, 1 or 2, not '" + v + "'";
            o.variant = static_cast<unsigned>(*n);
            o.variantGiven = true;
        } else if (a == "--fields") {
            if (!parseFields(v, o.fields))
                return "--fields needs nine numbers 0..255 separated by commas "
                       "(slot,mode,brightness,speed,direction,multicolor,red,green,blue), not '" +
                       v + "'";
            o.fieldsGiven = true;
        } else if (a == "--frames") {
            const auto n = parseNumber(v, kMaxFrames);
            if (!n || *n == 0)
                return "--frames must be a number from 1 to " + std::to_string(kMaxFrames) +
                       ", not '" + v + "'";
            o.frames = *n;
            o.framesGiven = true;
        } else {
            const auto n = parseNumber(v, kMaxFrames);
            if (!n)
                return "--trigger-at must be a step number, not '" + v + "'";
            o.triggerAt = *n;
        }
    }
    if (!o.fieldsGiven)
        return "missing --fields";
    if (!o.framesGiven)
        return "missing --frames";
    if (o.variantGiven && o.kind != Kind::Keyboard)
        return "--variant applies to the keyboard only";
    if (o.triggerAt && *o.triggerAt >= o.frames)
        return "--trigger-at " + std::to_string(*o.triggerAt) + " is not a step of the " +
               std::to_string(o.frames) + " run (steps count from 0)";
    return {};
}

void printLine(std::ostream& out, lighting::FrameBytes frame, std::uint64_t ms) {
    static constexpr char kHex[] = "0123456789abcdef";
    if (frame.empty()) {
        out << '-';
    } else {
        std::string hex(frame.size() * 2, '0');
        for (std::size_t i = 0; i < frame.size(); ++i) {
            hex[2 * i] = kHex[frame[i] >> 4];
            hex[2 * i + 1] = kHex[frame[i] & 0xF];
        }
        out << hex;
    }
    out << ' ' << ms << '\n';
}

// What choosing the mode on the kind's page places: the animation reset
// and the mode's seed.
void chooseMode(lighting::LightingState& state, const FxOptions& o) {
    switch (o.kind) {
    case Kind::Pad:
        lighting::changePadMode(state.pad, o.fields.mode);
        break;
    case Kind::Mouse:
        lighting::changeMouseMode(state.mouse, o.fields.mode, o.fields.direction);
        break;
    case Kind::Keyboard:
        lighting::changeKeyboardMode(state.keyboard, o.variant, o.fields.mode);
        break;
    }
}

lighting::FrameBytes syncStep(lighting::LightingState& state, const FxOptions& o,
                              lighting::Pacer& pacer, lighting::FrameBuffers& buffers) {
    const lighting::SyncTargets targets{o.kind == Kind::Keyboard, o.kind == Kind::Mouse,
                                        o.kind == Kind::Pad};
    lighting::syncIteration(state, o.fields, targets, pacer);
    // The worker waits 1 ms for each kind it does not drive.
    pacer.sleepMs(2);
    switch (o.kind) {
    case Kind::Pad:
        lighting::buildPadFrame(state.pad.cells, buffers.pad);
        return buffers.pad;
    case Kind::Mouse:
        lighting::buildMouseFrame(state.mouse.cells, buffers.mouse);
        return buffers.mouse;
    case Kind::Keyboard:
        break;
    }
    return lighting::syncKeyboardFrame(state, o.variant, buffers);
}

} // namespace

int runFx(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        out << fxUsage();
        return 0;
    }
    FxOptions o;
    if (const std::string problem = parse(args, o); !problem.empty()) {
        err << "quellixctl fx: " << problem << "\n" << fxUsage();
        return 2;
    }

    auto state = std::make_unique<lighting::LightingState>();
    auto buffers = std::make_unique<lighting::FrameBuffers>();
    platform::SharedArray<40> record; // byte 9, the cycle counter, starts at 0
    lighting::writeLightingFields(o.fields, record.span());
    const lighting::SlotRecordView view(record.span());
    const lighting::CustomColours noCustomColours{};
    // Time passes as the steps request it, so the flash sees the same time
    // as on a device and the run takes no real time.
    platform::ManualClock clock;
    lighting::ClockPacer pacer(clock);

    chooseMode(*state, o);
    for (unsigned long step = 0; step < o.frames; ++step) {
        if (o.triggerAt && *o.triggerAt == step)
            lighting::triggerFlashes(*state);
        const std::uint64_t stepStart = clock.tickCount();
        lighting::FrameBytes frame;
        if (o.sync) {
            frame = syncStep(*state, o, pacer, *buffers);
        } else {
            switch (o.kind) {
            case Kind::Pad:
                frame = lighting::padIteration(*state, view, false, pacer, clock, *buffers);
                break;
            case Kind::Mouse:
                frame = lighting::mouseIteration(*state, view, false, pacer, clock, *buffers);
                break;
            case Kind::Keyboard:
                frame = lighting::keyboardIteration(*state, o.variant, view, noCustomColours, false,
                                                    pacer, clock, *buffers);
                break;
            }
        }
        printLine(out, frame, clock.tickCount() - stepStart);
    }
    return out ? 0 : 1;
}

} // namespace quellix::tools
