#include "control_protocol.h"

#include <algorithm>
#include <charconv>
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

} // namespace quellix::sim
