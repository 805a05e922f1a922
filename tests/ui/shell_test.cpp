// The pieces of the shell that need no window: the observer, the language
// values and the background option.

#include <gtest/gtest.h>

#include "quellix/dui/image_check.h"
#include "quellix/ui/shell_settings.h"
#include "quellix/ui/skin_observer.h"

namespace quellix::ui {
namespace {

class Recorder : public ReceiverImpl<int, std::string> {
public:
    explicit Recorder(std::vector<std::string>& log, std::string name)
        : log_(log), name_(std::move(name)) {}
    bool Receive(std::string message) override {
        log_.push_back(name_ + ":" + message);
        return true;
    }
    bool Respond(std::string message, ObserverImplBase<int, std::string>*) override {
        log_.push_back(name_ + " responds " + message);
        return true;
    }

private:
    std::vector<std::string>& log_;
    std::string name_;
};

TEST(SkinObserver, BroadcastsInRegistrationOrderAndForgetsReceiversThatGo) {
    std::vector<std::string> log;
    ObserverImpl<int, std::string> observer;
    Recorder first(log, "first");
    {
        Recorder second(log, "second");
        observer.AddReceiver(&first);
        observer.AddReceiver(&second);
        observer.Broadcast("a");
        observer.Notify("b");
        EXPECT_EQ(log, (std::vector<std::string>{"first:a", "second:a", "first responds b",
                                                 "second responds b"}));
    }
    // The second receiver left the observer when it went.
    EXPECT_EQ(observer.ReceiverCount(), 1u);
    log.clear();
    observer.RemoveReceiver(&first);
    observer.Broadcast("c");
    EXPECT_TRUE(log.empty());
}

TEST(ShellSettings, LanguageValues) {
    struct Case {
        std::optional<std::string> store;
        std::string_view ini;
    };
    for (const auto& c : {Case{"2020", "1"}, Case{" 2020", "1"}, Case{"2020xyz", "1"},
                          Case{"1010", "0"}, Case{"20200", "0"}, Case{"", "0"},
                          Case{std::nullopt, "0"}, Case{"99999999999999999999999", "0"}}) {
        EXPECT_EQ(IniLanguageFromStore(c.store), c.ini) << c.store.value_or("(absent)");
    }
    EXPECT_EQ(LanguageForIniValue(0)->languageFile, "lan_en.xml");
    EXPECT_EQ(LanguageForIniValue(1)->resourceLanguage, "cn_zh");
    EXPECT_EQ(LanguageForIniValue(2), nullptr);
    EXPECT_EQ(LanguageForMenuItem("lan_cn")->storeValue, "2020");
    EXPECT_EQ(LanguageForMenuItem("lan_en")->storeValue, "1010");
    EXPECT_EQ(LanguageForMenuItem("exit"), nullptr);
}

TEST(ShellSettings, BackgroundOption) {
    const SkinChangedParam colour = BackgroundFromOption("#FF1A2230");
    EXPECT_TRUE(colour.bColor);
    EXPECT_EQ(colour.bkcolor, 0xFF1A2230u);
    EXPECT_EQ(BackgroundFromOption("#1A2230").bkcolor, 0xFF1A2230u);
    for (const char* picture : {"skin/bg_ember.png", "/tmp/#FF1A2230", "#FF1A22ZZ"}) {
        const SkinChangedParam p = BackgroundFromOption(picture);
        EXPECT_FALSE(p.bColor) << picture;
        EXPECT_EQ(p.bgimage, picture);
    }
}

TEST(PictureCheck, KnowsPicturesByTheirFirstBytes) {
    struct Case {
        std::string bytes;
        std::string_view format;
    };
    for (const auto& c :
         {Case{std::string("\x89PNG\r\n\x1a\n\0\0", 10), "png"}, Case{"\xff\xd8\xff\xe0", "jpeg"},
          Case{"GIF89a..", "gif"}, Case{"BM....", "bmp"},
          Case{"<?xml version='1.0'?><svg/>", "svg"}, Case{"  <svg xmlns='x'/>", "svg"},
          Case{"<?xml?><html/>", ""}, Case{"not a picture", ""}, Case{"", ""}}) {
        EXPECT_EQ(dui::PictureFormatOf(c.bytes), c.format) << c.bytes;
    }
}

} // namespace
} // namespace quellix::ui
