// The dialog windows, the background chooser and the menus hold the controls
// and items the program acts on.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin_tree.h"

namespace quellix::skintest {
namespace {

struct NamedControls {
    const char* file;
    std::vector<std::string> names;
};

std::vector<std::string> presetButtons() {
    std::vector<std::string> out;
    for (int n = 0; n < 30; ++n) {
        out.push_back("ms_dpi_color_png_" + std::to_string(n));
    }
    return out;
}

class DialogLayout : public ::testing::TestWithParam<NamedControls> {};

TEST_P(DialogLayout, HoldsTheControlsTheProgramUses) {
    const NamedControls& p = GetParam();
    Control tree = loadLayout(p.file);
    for (const std::string& name : p.names) {
        EXPECT_NE(findByName(tree, name), nullptr) << p.file << ": " << name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Windows, DialogLayout,
    ::testing::Values(
        NamedControls{"msg.xml",
                      {"MessageText", "MessageTitle", "confirm_btn", "cancel_btn", "closebtn"}},
        NamedControls{"GmPalletDialog.xml",
                      [] {
                          auto names = presetButtons();
                          names.insert(names.end(),
                                       {"Pallet", "color_show_btn", "okbtn", "closebtn",
                                        "Pallet_BTN_OK", "Pallet_BTN_CANCEL"});
                          return names;
                      }()},
        NamedControls{"CopyRight.xml", {"NetText", "closebtn"}},
        NamedControls{"skin.xml",
                      {"skin_tab", "skin_image", "skin_color", "skin_image_btn", "skin_color_btn",
                       "skin_reset", "skin_Custom"}},
        NamedControls{"menu.xml", {"lan_en", "lan_cn", "About_setting"}},
        NamedControls{"menu1.xml", {"lan_en", "lan_cn", "About_setting"}}));

TEST(DialogLayouts, PaletteIsAColourPalette) {
    Control tree = loadLayout("GmPalletDialog.xml");
    ASSERT_NE(findByName(tree, "Pallet"), nullptr);
    EXPECT_EQ(findByName(tree, "Pallet")->className, "ColorPalette");
}

// The skin chooser's picture buttons carry the picture they apply as user
// data; the skin tab's pages are pictures (0) and colours (1).
TEST(DialogLayouts, SkinChooserButtonsCarryTheirBackground) {
    Control tree = loadLayout("skin.xml");
    int pictures = 0;
    int colours = 0;
    for (const Control* c : flatten(tree)) {
        if (c->name() == "skin_image_btn") {
            ++pictures;
            EXPECT_FALSE(c->attr("userdata").empty());
        } else if (c->name() == "skin_color_btn") {
            ++colours;
            EXPECT_EQ(c->attr("bkcolor").size(), 9u) << c->attr("bkcolor");
        }
    }
    EXPECT_GE(pictures, 2);
    EXPECT_GE(colours, 2);
    EXPECT_EQ(findByName(tree, "skin_tab")->children.size(), 2u);
}

} // namespace
} // namespace quellix::skintest
