#include "control_protocol.h"

#include <gtest/gtest.h>

namespace quellix::sim {
namespace {

TEST(ControlProtocol, ParsesCommandsAndNamesWhatIsWrong) {
    struct Case {
        const char* line;
        const char* verbOrError; // the verb, or the start of the error text
        std::vector<unsigned long> numbers;
    };
    const Case cases[] = {
        {"plug keyboard 0x763E", "plug", {0x763E}},
        {"  notify mouse 1025\n", "notify", {1025}},
        {"status pad 0xFE 3", "status", {0xFE, 3}},
        {"list", "list", {}},
        {"spike mouse 400000", "spike", {400000}},
        {"short keyboard 8 2", "short", {8, 2}},
        {"spike mouse", "usage: spike", {}},
        {"", "empty command", {}},
        {"plug", "usage: plug", {}},
        {"plug toaster", "unknown model 'toaster'", {}},
        {"notify mouse", "usage: notify", {}},
        {"notify mouse 0x10000", "bad number '0x10000'", {}},
        {"drop pad -1", "bad number '-1'", {}},
        {"unplug pad now", "usage: unplug", {}},
        {"reboot pad", "unknown command 'reboot'", {}},
    };
    for (const Case& c : cases) {
        const auto parsed = parseControlCommand(c.line);
        if (const auto* command = std::get_if<ControlCommand>(&parsed)) {
            EXPECT_EQ(command->verb, c.verbOrError) << c.line;
            EXPECT_EQ(command->numbers, c.numbers) << c.line;
        } else {
            EXPECT_EQ(std::get<std::string>(parsed).rfind(c.verbOrError, 0), 0u)
                << c.line << " -> " << std::get<std::string>(parsed);
        }
    }
}

} // namespace
} // namespace quellix::sim
