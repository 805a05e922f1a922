#include "fx_command.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quellix::tools {
namespace {

struct FxRun {
    int code;
    std::string out;
    std::string err;
};

FxRun fx(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = runFx(args, out, err);
    return {code, out.str(), err.str()};
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

std::string repeat(const std::string& s, int n) {
    std::string r;
    for (int i = 0; i < n; ++i)
        r += s;
    return r;
}

TEST(FxCommand, PadStaticAtBrightnessTwo) {
    const FxRun r = fx({"pad", "--fields", "0,3,2,0,0,0,255,0,0", "--frames", "2"});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string line = repeat("400000", 11) + " 9";
    EXPECT_EQ(lines(r.out), (std::vector<std::string>{line, line}));
}

TEST(FxCommand, FrameLengthsPerKind) {
    struct Case {
        std::vector<std::string> args;
        std::size_t hexChars;
    };
    const Case cases[] = {
        {{"mouse", "--fields", "0,1,4,0,1,0,0,0,0"}, 120},
        {{"keyboard", "--fields", "0,0,4,0,1,1,0,0,0"}, 756},
        {{"keyboard", "--variant", "1", "--fields", "0,10,4,0,1,0,0,0,0"}, 216},
        {{"keyboard", "--variant", "1", "--fields", "0,2,4,0,1,0,0,0,0"}, 252},
        {{"keyboard", "--variant", "2", "--fields", "0,15,4,0,1,0,0,0,0"}, 1}, // "-"
        {{"pad", "--sync", "--fields", "0,0,4,2,1,1,0,0,0"}, 66},
    };
    for (const Case& c : cases) {
        auto args = c.args;
        args.insert(args.end(), {"--frames", "3"});
        const FxRun r = fx(args);
        ASSERT_EQ(r.code, 0) << r.err;
        for (const std::string& line : lines(r.out))
            EXPECT_EQ(line.find(' '), c.hexChars) << line;
    }
}

TEST(FxCommand, SleepsIncludeTheModesOwnSleeps) {
    // Keyboard rings at speed 1: T = 15, plus 10 inside the step.
    const FxRun rings = fx({"keyboard", "--fields", "0,13,4,1,1,0,0,0,0", "--frames", "1"});
    EXPECT_EQ(rings.out.substr(rings.out.find(' ')), " 25\n");
    // Synchronised: the raw speed plus 1 ms for each kind not driven.
    const FxRun sync = fx({"pad", "--sync", "--fields", "0,3,4,3,0,0,1,2,3", "--frames", "1"});
    EXPECT_EQ(sync.out.substr(sync.out.find(' ')), " 5\n");
}

TEST(FxCommand, TriggerLightsTheFlash) {
    const FxRun r =
        fx({"pad", "--fields", "0,8,4,4,0,0,0,255,0", "--frames", "6", "--trigger-at", "2"});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto l = lines(r.out);
    const std::string dark = repeat("000000", 11) + " 65";
    const std::string lit = repeat("00fe00", 11) + " 65";
    EXPECT_EQ(l, (std::vector<std::string>{dark, dark, lit, lit, lit, dark}));
}

TEST(FxCommand, BadArgumentsAreRefusedWithAMessage) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"lamp", "--fields", "0,0,0,0,0,0,0,0,0", "--frames", "1"},
        {"pad", "--frames", "1"},
        {"pad", "--fields", "0,0,0,0,0,0,0,0,0"},
        {"pad", "--fields", "0,0,0,0,0,0,0,0", "--frames", "1"},
        {"pad", "--fields", "0,0,0,0,0,0,0,0,256", "--frames", "1"},
        {"pad", "--fields", "0,0,0,0,0,0,0,0,x", "--frames", "1"},
        {"pad", "--fields", "0,0,0,0,0,0,0,0,0,0", "--frames", "1"},
        {"pad", "--fields", "0,0,0,0,0,0,0,0,0", "--frames", "0"},
        {"pad", "--fields", "0,0,0,0,0,0,0,0,0", "--frames", "-3"},
        {"pad", "--fields", "0,0,0,0,0,0,0,0,0", "--frames", "2", "--trigger-at", "2"},
        {"pad", "--variant", "1", "--fields", "0,0,0,0,0,0,0,0,0", "--frames", "1"},
        {"keyboard", "--variant", "3", "--fields", "0,0,0,0,0,0,0,0,0", "--frames", "1"},
        {"pad", "--fields", "0,0,0,0,0,0,0,0,0", "--frames", "1", "--colour"},
        {"pad", "--fields"},
    };
    for (const auto& args : bad) {
        const FxRun r = fx(args);
        EXPECT_NE(r.code, 0) << ::testing::PrintToString(args);
        EXPECT_NE(r.err.find("quellixctl fx: "), std::string::npos);
        EXPECT_TRUE(r.out.empty());
    }
}

} // namespace
} // namespace quellix::tools
