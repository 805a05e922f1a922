// The two language files carry the same keys, each once, with real texts;
// the messages that the program formats with a number hold exactly one "%d".

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "skin_tree.h"

namespace quellix::skintest {
namespace {

struct LanguageFile {
    std::string id;
    std::map<std::string, std::string> texts;
    std::set<std::string> duplicates;
};

LanguageFile readLanguage(const std::string& file) {
    pugi::xml_document doc;
    auto result = parseFile(skinDir() / file, doc);
    EXPECT_TRUE(result) << file << ": " << result.description();
    LanguageFile out;
    pugi::xml_node root = doc.child("Language");
    out.id = root.attribute("id").value();
    for (pugi::xml_node text : root.children("Text")) {
        std::string key = text.attribute("key").value();
        if (!out.texts.emplace(key, text.text().get()).second) {
            out.duplicates.insert(key);
        }
    }
    return out;
}

TEST(LanguageFiles, CarryTheirLanguageIds) {
    EXPECT_EQ(readLanguage("lan_en.xml").id, "en");
    EXPECT_EQ(readLanguage("lan_cn.xml").id, "cn_zh");
}

TEST(LanguageFiles, HoldTheSameKeysEachOnceWithText) {
    LanguageFile en = readLanguage("lan_en.xml");
    LanguageFile cn = readLanguage("lan_cn.xml");
    EXPECT_TRUE(en.duplicates.empty()) << *en.duplicates.begin();
    EXPECT_TRUE(cn.duplicates.empty()) << *cn.duplicates.begin();
    for (const auto& [key, text] : en.texts) {
        EXPECT_TRUE(cn.texts.count(key)) << "only in lan_en.xml: " << key;
        EXPECT_FALSE(text.empty()) << "empty English text: " << key;
    }
    for (const auto& [key, text] : cn.texts) {
        EXPECT_TRUE(en.texts.count(key)) << "only in lan_cn.xml: " << key;
        EXPECT_FALSE(text.empty()) << "empty Chinese text: " << key;
    }
}

TEST(LanguageFiles, HoldEveryMessageTheProgramShows) {
    const int messages[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 20};
    LanguageFile en = readLanguage("lan_en.xml");
    for (int n : messages) {
        EXPECT_TRUE(en.texts.count("message_text_" + std::to_string(n))) << n;
    }
}

// The program formats these texts with one number; any other conversion in
// a translated text would read an argument that is not there.
TEST(LanguageFiles, FormattedMessagesHoldExactlyOneNumber) {
    for (const char* file : {"lan_en.xml", "lan_cn.xml"}) {
        LanguageFile lang = readLanguage(file);
        for (const auto& [key, text] : lang.texts) {
            size_t percents = 0;
            for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 1)) {
                ++percents;
            }
            bool formatted = key == "message_text_16" || key == "message_text_17";
            if (formatted) {
                EXPECT_EQ(percents, 1u) << file << " " << key;
                EXPECT_NE(text.find("%d"), std::string::npos) << file << " " << key;
            } else {
                EXPECT_EQ(percents, 0u) << file << " " << key << " is shown unformatted";
            }
        }
    }
}

} // namespace
} // namespace quellix::skintest
