#pragma once
// Text commands of <dir>/control.sock, one per packet, e.g. "plug keyboard
// 0x763E".  The answer is one packet: "ok", "ok\n<text>" or "error: <why>".

#include "quellix/sim/simulator.h"

#include <optional>
#include <string>
#include <string_view>
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

} // namespace quellix::sim
