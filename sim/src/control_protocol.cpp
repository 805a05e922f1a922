#include "control_protocol.h"

#include "report.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <exception>
#include <sstream>

namespace quellix::sim {
namespace {

struct VerbRule {
    std::string_view verb;
    bool takesModel;
    std::size_t minNumbers;
    std::size_t maxNumbers;
    unsigned long maxValue;
    std::string_view usage;
};

constexpr VerbRule kVerbs[] = {
    {"plug", true, 0, 1, 0xFFFF, "plug <model> [product-id]"},
    {"unplug", true, 0, 0, 0, "unplug <model>"},
    {"notify", true, 1, 1, 0xFFFF, "notify <model> <usage>"},
    {"dump", true, 0, 0, 0, "dump <model>"},
    {"drop", true, 1, 1, 1000000, "drop <model> <count>"},
    {"status", true, 1, 2, 1000000, "status <model> <status-byte> [count]"},
    {"latency", true, 1, 1, 10000000, "latency <model> <microseconds>"},
    {"spike", true, 1, 2, 10000000, "spike <model> <microseconds> [count]"},
    {"short", true, 1, 2, 1000000, "short <model> <bytes> [count]"},
    {"unplug-after", true, 1, 1, 1000000, "unplug-after <model> <frames>"},
    {"list", false, 0, 0, 0, "list"},
};

std::vector<std::string_view> splitWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t\r\n", at);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(line.find_first_of(" \t\r\n", start), line.size());
        words.push_back(line.substr(start, end - start));
        at = end;
    }
    return words;
}

} // namespace

std::optional<unsigned long> parseNumber(std::string_view text, unsigned long max) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    unsigned long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value > max) {
        return std::nullopt;
    }
    return value;
}

std::variant<ControlCommand, std::string> parseControlCommand(std::string_view line) {
    const auto words = splitWords(line);
    if (words.empty()) {
        return std::string("empty command");
    }
    const auto entry = std::find_if(std::begin(kVerbs), std::end(kVerbs),
                                    [&](const VerbRule& v) { return v.verb == words[0]; });
    if (entry == std::end(kVerbs)) {
        return "unknown command '" + std::string(words[0]) + "'";
    }
    ControlCommand command{std::string(entry->verb), std::nullopt, {}};
    std::size_t next = 1;
    if (entry->takesModel) {
        if (words.size() < 2) {
            return "usage: " + std::string(entry->usage);
        }
        command.model = parseModel(words[1]);
        if (!command.model) {
            return "unknown model '" + std::string(words[1]) + "' (mouse, pad or keyboard)";
        }
        next = 2;
    }
    const std::size_t count = words.size() - next;
    if (count < entry->minNumbers || count > entry->maxNumbers) {
        return "usage: " + std::string(entry->usage);
    }
    for (std::size_t i = next; i < words.size(); ++i) {
        const auto value = parseNumber(words[i], entry->maxValue);
        if (!value) {
            return "bad number '" + std::string(words[i]) + "' in: " + std::string(entry->usage);
        }
        command.numbers.push_back(*value);
    }
    return command;
}

std::string controlCommandSummary() {
    std::ostringstream out;
    for (const VerbRule& entry : kVerbs) {
        out << "  " << entry.usage << '\n';
    }
    return out.str();
}

std::string executeControlCommand(ControlTarget& target, std::string_view line) {
    auto parsed = parseControlCommand(line);
    if (auto* error = std::get_if<std::string>(&parsed)) {
        return "error: " + *error;
    }
    const ControlCommand& c = std::get<ControlCommand>(parsed);
    try {
        if (c.verb == "list") {
            std::string out = "ok";
            for (const auto& [model, productId] : target.plugged()) {
                char id[16];
                std::snprintf(id, sizeof id, " %04x", productId);
                out += "\n" + std::string(modelName(model)) + id;
            }
            return out;
        }
        if (!target.offers(c.verb)) {
            return "error: this simulator does not offer '" + c.verb + "'";
        }
        const Model model = *c.model;
        const auto number = [&](std::size_t i) { return c.numbers.at(i); };
        const auto countOr1 = [&] {
            return c.numbers.size() > 1 ? static_cast<int>(number(1)) : 1;
        };
        FaultSettings& f = target.faults(model);
        if (c.verb == "plug") {
            if (!c.numbers.empty() && model != Model::Keyboard) {
                return "error: only the keyboard is plugged with a chosen product id";
            }
            target.plug(model, c.numbers.empty() ? kDefaultKeyboardProductId
                                                 : static_cast<std::uint16_t>(number(0)));
        } else if (c.verb == "unplug") {
            target.unplug(model);
        } else if (c.verb == "notify") {
            target.notify(model, static_cast<std::uint16_t>(number(0)));
        } else if (c.verb == "dump") {
            return "ok\n" + target.dump(model);
        } else if (c.verb == "drop") {
            f.dropCount = static_cast<int>(number(0));
        } else if (c.verb == "status") {
            if (number(0) > 0xFF) {
                return "error: status must be a byte";
            }
            f.injectedStatus = static_cast<std::uint8_t>(number(0));
            f.statusCount = countOr1();
        } else if (c.verb == "latency") {
            f.latency = std::chrono::microseconds(number(0));
        } else if (c.verb == "spike") {
            f.spike = std::chrono::microseconds(number(0));
            f.spikeCount = countOr1();
        } else if (c.verb == "short") {
            if (number(0) == 0 || number(0) >= kReportSize) {
                return "error: a short reply has 1..63 bytes";
            }
            f.shortLength = number(0);
            f.shortCount = countOr1();
        } else if (c.verb == "unplug-after") {
            if (number(0) == 0) {
                target.unplug(model);
            } else {
                f.unplugAfter = static_cast<int>(number(0));
            }
        }
        return "ok";
    } catch (const std::exception& e) {
        return std::string("error: ") + e.what();
    }
}

} // namespace quellix::sim
