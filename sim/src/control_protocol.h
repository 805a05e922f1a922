#pragma once
// Text commands of <dir>/control.sock, one per packet, e.g. "plug keyboard
// 0x763E".  The answer is one packet: "ok", "ok\n<text>" or "error: <why>".

#include "quellix/sim/simulator.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace quellix::sim {

struct ControlCommand {
    std::string verb;
    std::optional<Model> model;
    std::vector<unsigned long> numbers;
};

// Parses one command line; on failure returns the error text.
std::variant<ControlCommand, std::string> parseControlCommand(std::string_view line);

// Decimal or 0x-prefixed hexadecimal, the whole text, at most `max`.
std::optional<unsigned long> parseNumber(std::string_view text, unsigned long max);

// One line per command, for usage texts.
std::string controlCommandSummary();

// The faults a served device has been told to show; the control verbs set
// them and the server consumes them reply by reply.
struct FaultSettings {
    std::optional<std::chrono::microseconds> latency;
    int dropCount = 0;
    int statusCount = 0;
    std::uint8_t injectedStatus = 0;
    int unplugAfter = 0; // frames left until the unplug; 0: none
    int spikeCount = 0;  // replies still to be held back by `spike`
    std::chrono::microseconds spike{0};
    int shortCount = 0; // replies still to be cut to `shortLength` bytes
    std::size_t shortLength = 0;
};

// What a server offers the control commands.  Its calls may throw; the
// executor answers the exception's text as the error.
class ControlTarget {
public:
    virtual ~ControlTarget() = default;
    // Plugged devices with their product ids, in model order.
    virtual std::vector<std::pair<Model, std::uint16_t>> plugged() const = 0;
    virtual void plug(Model model, std::uint16_t keyboardProductId) = 0;
    virtual void unplug(Model model) = 0;
    virtual void notify(Model model, std::uint16_t usage) = 0;
    // The dump text (formatDump); throws for a device it cannot describe.
    virtual std::string dump(Model model) = 0;
    virtual FaultSettings& faults(Model model) = 0;
    // Whether the server can show the fault a verb asks for ("spike",
    // "short"); the others every server has.
    virtual bool offers(std::string_view /*verb*/) const { return true; }
};

// Parses and runs one command against `target`; returns the answer packet.
std::string executeControlCommand(ControlTarget& target, std::string_view line);

} // namespace quellix::sim
