// Every skin file is well-formed, every picture a layout names has a source,
// every included file exists and every text key a layout uses is translated.

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "skin_tree.h"

namespace fs = std::filesystem;

namespace quellix::skintest {
namespace {

std::set<std::string> languageKeys() {
    pugi::xml_document doc;
    parseFile(skinDir() / "lan_en.xml", doc);
    std::set<std::string> keys;
    for (pugi::xml_node text : doc.child("Language").children("Text")) {
        keys.insert(text.attribute("key").value());
    }
    return keys;
}

// Picture paths of an image attribute: "file='x/y.png' source=..." or a bare name.
std::vector<std::string> picturesOf(const std::string& value) {
    static const std::regex quoted("file='([^']*)'");
    std::vector<std::string> out;
    for (std::sregex_iterator it(value.begin(), value.end(), quoted), end; it != end; ++it) {
        out.push_back((*it)[1]);
    }
    if (out.empty() && !value.empty() && value.find('=') == std::string::npos) {
        out.push_back(value);
    }
    return out;
}

bool isImageAttribute(const std::string& name) {
    return name.find("image") != std::string::npos;
}

TEST(SkinFiles, AreWellFormed) {
    auto files = skinXmlFiles();
    ASSERT_GT(files.size(), 20u);
    for (const auto& file : files) {
        pugi::xml_document doc;
        auto result = parseFile(skinDir() / file, doc);
        EXPECT_TRUE(result) << file << ": " << result.description() << " at " << result.offset;
    }
}

TEST(SkinFiles, ResourceListNamesTheMainLayoutAndTheMessageBox) {
    pugi::xml_document doc;
    ASSERT_TRUE(parseFile(skinDir() / "res.xml", doc));
    std::map<std::string, std::string> ids;
    for (pugi::xml_node layout : doc.child("Res").children("layout")) {
        ids[layout.attribute("id").value()] = layout.attribute("file").value();
    }
    EXPECT_EQ(ids["XML_MAIN"], "main.xml");
    EXPECT_EQ(ids["XML_MSG"], "msg.xml");
    for (const auto& [id, file] : ids) {
        EXPECT_TRUE(fs::exists(skinDir() / file)) << id << " -> " << file;
    }
}

// A picture is shipped either as a PNG in the skin folder or drawn as an SVG
// under src/ that the build renders to that PNG name. Paths stay inside the
// skin folder.
TEST(SkinFiles, EveryPictureALayoutNamesHasASource) {
    for (const auto& file : skinXmlFiles()) {
        pugi::xml_document doc;
        ASSERT_TRUE(parseFile(skinDir() / file, doc)) << file;
        for (pugi::xpath_node xn : doc.select_nodes("//*[@*]")) {
            for (pugi::xml_attribute a : xn.node().attributes()) {
                if (!isImageAttribute(a.name()) && std::string(a.name()) != "userdata") {
                    continue;
                }
                for (const std::string& picture : picturesOf(a.value())) {
                    if (std::string(a.name()) == "userdata" &&
                        picture.find(".png") == std::string::npos) {
                        continue;
                    }
                    fs::path rel(picture);
                    EXPECT_TRUE(rel.is_relative()) << file << ": " << picture;
                    EXPECT_EQ(picture.find(".."), std::string::npos) << file << ": " << picture;
                    EXPECT_EQ(rel.extension(), ".png") << file << ": " << picture;
                    fs::path svg = skinDir() / "src" / rel;
                    svg.replace_extension(".svg");
                    EXPECT_TRUE(fs::exists(skinDir() / rel) || fs::exists(svg))
                        << file << " names " << picture << " but neither it nor " << svg
                        << " exists";
                }
            }
        }
    }
}

// Pictures the program itself sets on controls at run time.
TEST(SkinFiles, PicturesTheProgramSetsExist) {
    const char* pictures[] = {
        "common/background.png",     "common/unuse.png",        "common/up_top_over.png",
        "ms/key_left_normal.png",    "ms/key_left_down.png",    "ms/key_wheel_normal.png",
        "ms/key_wheel_down.png",     "ms/key_right_normal.png", "ms/key_right_down.png",
        "ms/key_forward_normal.png", "ms/key_forward_down.png", "ms/key_back_normal.png",
        "ms/key_back_down.png",      "ms/key_dpi_normal.png",   "ms/key_dpi_down.png",
        "ms/key_dpi_normal1.png",    "ms/key_dpi_down1.png",
    };
    for (const char* picture : pictures) {
        fs::path svg = skinDir() / "src" / picture;
        svg.replace_extension(".svg");
        EXPECT_TRUE(fs::exists(skinDir() / picture) || fs::exists(svg)) << picture;
    }
}

// Styles the program applies to the list items it creates, defined in the
// main window's layout; pictures inside them need sources too.
TEST(SkinFiles, StylesTheProgramAppliesAreDefined) {
    pugi::xml_document doc;
    ASSERT_TRUE(parseFile(skinDir() / "main.xml", doc));
    std::map<std::string, std::string> styles;
    for (pugi::xml_node style : doc.child("Window").children("Style")) {
        styles[style.attribute("name").value()] = style.attribute("value").value();
    }
    for (const char* name :
         {"listex_item_style", "macro_label_mouse_style", "macro_label_keyboard_style",
          "macro_label_text_style", "macro_label_down_style", "macro_label_up_style"}) {
        EXPECT_TRUE(styles.count(name)) << name;
    }
    static const std::regex image("image='([^']*)'");
    for (const auto& [name, value] : styles) {
        for (std::sregex_iterator it(value.begin(), value.end(), image), end; it != end; ++it) {
            fs::path picture = (*it)[1].str();
            fs::path svg = skinDir() / "src" / picture;
            svg.replace_extension(".svg");
            EXPECT_TRUE(fs::exists(skinDir() / picture) || fs::exists(svg))
                << name << ": " << picture;
        }
    }
}

TEST(SkinFiles, IncludedFilesExistAndLoad) {
    for (const auto& file : skinXmlFiles()) {
        pugi::xml_document doc;
        ASSERT_TRUE(parseFile(skinDir() / file, doc)) << file;
        for (pugi::xpath_node xn : doc.select_nodes("//Include")) {
            std::string source = xn.node().attribute("source").value();
            EXPECT_TRUE(fs::exists(skinDir() / source)) << file << " includes " << source;
        }
    }
    for (const char* layout :
         {"main.xml", "msg.xml", "GmPalletDialog.xml", "CopyRight.xml", "skin.xml"}) {
        EXPECT_NO_THROW(loadLayout(layout)) << layout;
    }
}

// Options of one group exclude each other; a layout preselects at most one.
TEST(SkinFiles, OptionGroupsPreselectAtMostOneOption) {
    for (const auto& file : skinXmlFiles()) {
        pugi::xml_document doc;
        ASSERT_TRUE(parseFile(skinDir() / file, doc)) << file;
        std::map<std::string, int> selected;
        for (pugi::xpath_node xn : doc.select_nodes("//Option[@group]")) {
            selected[xn.node().attribute("group").value()] +=
                xn.node().attribute("selected").as_bool() ? 1 : 0;
        }
        for (const auto& [group, n] : selected) {
            EXPECT_LE(n, 1) << file << ": group " << group;
        }
    }
}

// Text and tooltip values that look like keys (identifiers with an
// underscore) must be translated; other values are literal texts.
TEST(SkinFiles, EveryTextKeyIsTranslated) {
    static const std::regex keyLike("[A-Za-z][A-Za-z0-9]*(_[A-Za-z0-9]+)+");
    auto keys = languageKeys();
    for (const auto& file : skinXmlFiles()) {
        if (file.filename().string().rfind("lan_", 0) == 0) {
            continue;
        }
        pugi::xml_document doc;
        ASSERT_TRUE(parseFile(skinDir() / file, doc)) << file;
        for (pugi::xpath_node xn : doc.select_nodes("//*[@text or @tooltip]")) {
            for (const char* attr : {"text", "tooltip"}) {
                std::string value = xn.node().attribute(attr).value();
                if (std::regex_match(value, keyLike)) {
                    EXPECT_TRUE(keys.count(value))
                        << file << ": " << attr << "=\"" << value << "\"";
                }
            }
        }
    }
}

TEST(SkinFiles, ColourChannelEditsTakeAtMostThreeDigits) {
    for (const char* file : {"MousePad_deng.xml", "Mouse_deng.xml", "keyboard_deng.xml"}) {
        const Control root = loadLayout(file);
        int edits = 0;
        for (const Control* c : flatten(root)) {
            static const std::regex channel("(mp|ms|kb)_Deng_edit_[RGB]");
            if (!std::regex_match(c->name(), channel)) {
                continue;
            }
            ++edits;
            EXPECT_EQ(c->attr("numberonly"), "true") << file << " " << c->name();
            EXPECT_EQ(c->attr("maxchar"), "3") << file << " " << c->name();
        }
        EXPECT_EQ(edits, 3) << file;
    }
}

} // namespace
} // namespace quellix::skintest
