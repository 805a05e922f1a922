// The buttons laid over the device pictures: one per key or LED, numbered as
// the lighting and key tables number them, inside the picture and not
// overlapping one another.

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "skin_tree.h"

namespace quellix::skintest {
namespace {

struct Rect {
    int left, top, right, bottom;
};

Rect parsePos(const std::string& pos) {
    Rect r{};
    char comma;
    std::istringstream in(pos);
    in >> r.left >> comma >> r.top >> comma >> r.right >> comma >> r.bottom;
    return r;
}

bool overlap(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Picture indexes of the keyboard's keys: those with an LED in at least one
// keyboard variant's picture-to-LED map (the others are unused positions).
std::set<int> keyboardKeys() {
    std::set<int> keys;
    const std::pair<int, int> ranges[] = {{0, 15},  {21, 61}, {63, 78},
                                          {80, 80}, {84, 99}, {105, 119}};
    for (auto [from, to] : ranges) {
        for (int i = from; i <= to; ++i) {
            keys.insert(i);
        }
    }
    return keys;
}

struct Picture {
    const char* file;
    const char* prefix;
    std::set<int> numbers;
};

std::set<int> upTo(int count) {
    std::set<int> out;
    for (int i = 0; i < count; ++i) {
        out.insert(i);
    }
    return out;
}

class KeyPicture : public ::testing::TestWithParam<Picture> {};

TEST_P(KeyPicture, ButtonsMatchTheTablesAndFitThePicture) {
    const Picture& p = GetParam();
    Control container = loadLayout(p.file);
    int width = std::stoi(container.attr("width"));
    int height = std::stoi(container.attr("height"));
    std::set<int> numbers;
    std::vector<std::pair<std::string, Rect>> rects;
    for (const auto& button : container.children) {
        std::string name = button.name();
        ASSERT_EQ(name.rfind(p.prefix, 0), 0u) << name;
        numbers.insert(std::stoi(name.substr(std::string(p.prefix).size())));
        EXPECT_EQ(button.attr("float"), "true") << name;
        Rect r = parsePos(button.attr("pos"));
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height &&
                    r.left < r.right && r.top < r.bottom)
            << name << " at " << button.attr("pos");
        rects.emplace_back(name, r);
    }
    EXPECT_EQ(numbers, p.numbers);
    for (size_t i = 0; i < rects.size(); ++i) {
        for (size_t j = i + 1; j < rects.size(); ++j) {
            EXPECT_FALSE(overlap(rects[i].second, rects[j].second))
                << rects[i].first << " overlaps " << rects[j].first;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Devices, KeyPicture,
                         ::testing::Values(Picture{"kb/keys_light.xml", "kb_dkey_", keyboardKeys()},
                                           Picture{"kb/keys_assign.xml", "kb_key_", keyboardKeys()},
                                           Picture{"ms/leds.xml", "ms_dkey_", upTo(20)},
                                           Picture{"mp/leds.xml", "mp_dkey_", upTo(15)}));

} // namespace
} // namespace quellix::skintest
