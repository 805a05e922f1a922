// The udev rule the build writes from the device table: every line is a
// well-formed hidraw rule, and together they name exactly the products the
// program accepts, each once.

#include "quellix/device/device_kind.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <utility>

namespace {

using Ids = std::set<std::pair<unsigned, unsigned>>;

struct ParsedRule {
    Ids ids;
    std::vector<std::string> badLines;
    int ruleLines = 0;
    int commentLines = 0;
};

ParsedRule parseRule(const std::string& file) {
    std::ifstream in(file);
    EXPECT_TRUE(in) << "cannot read " << file;
    static const std::regex line(R"re(SUBSYSTEM=="hidraw", ATTRS\{idVendor\}=="([0-9a-f]{4})", )re"
                                 R"re(ATTRS\{idProduct\}=="([0-9a-f]{4})", TAG\+="uaccess")re");
    ParsedRule rule;
    for (std::string text; std::getline(in, text);) {
        std::smatch match;
        if (!text.empty() && text[0] == '#') {
            ++rule.commentLines;
        } else if (std::regex_match(text, match, line)) {
            ++rule.ruleLines;
            rule.ids.emplace(std::stoul(match[1], nullptr, 16), std::stoul(match[2], nullptr, 16));
        } else {
            rule.badLines.push_back(text);
        }
    }
    return rule;
}

TEST(UdevRule, NamesEveryAcceptedProductOnce) {
    const ParsedRule rule = parseRule(QUELLIX_UDEV_RULE_FILE);
    EXPECT_TRUE(rule.badLines.empty()) << "first bad line: " << rule.badLines.front();
    EXPECT_GT(rule.commentLines, 0);

    Ids table;
    for (const auto& info : quellix::device::kDeviceKinds) {
        for (const auto& product : info.products) {
            table.emplace(info.vendorId, product.productId);
        }
    }
    EXPECT_EQ(rule.ids, table);
    EXPECT_EQ(rule.ruleLines, static_cast<int>(rule.ids.size())) << "a product is named twice";
}

} // namespace
