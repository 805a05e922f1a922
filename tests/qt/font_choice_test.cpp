// The fonts the view asks for and its missing-glyph check.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QImage>

#include "font_choice.h"
#include "quellix/dui/qt/qt_backend.h"
#include "temp_dir.h"

namespace quellix::dui::qt {
namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "font_choice_test";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static QApplication* instance = new QApplication(argc, argv);
    return *instance;
}

QFont fontFor(std::string_view language) {
    QFont font;
    font.setFamilies(FamiliesFor("DejaVu Sans", language));
    font.setPixelSize(12);
    return font;
}

class FontChoiceTest : public ::testing::Test {
protected:
    void SetUp() override { app(); }
};

TEST_F(FontChoiceTest, TheInterfaceLanguageDecidesWhichFamilyComesFirst) {
    const QString& chinese = ChineseFamily();
    if (chinese.isEmpty()) {
        GTEST_SKIP() << "no font for Simplified Chinese installed (scripts/setup.sh installs one)";
    }
    EXPECT_EQ(FamiliesFor("DejaVu Sans", "cn_zh"), (QStringList{chinese, "DejaVu Sans"}));
    EXPECT_EQ(FamiliesFor("DejaVu Sans", "en"), (QStringList{"DejaVu Sans", chinese}));
    // Both languages' texts have every glyph.
    for (const char* language : {"en", "cn_zh"}) {
        EXPECT_FALSE(HasMissingGlyph(fontFor(language),
                                     QStringLiteral("Mouse pad \u9f20\u6807\u57ab\uff1a")))
            << language;
    }
}

TEST_F(FontChoiceTest, ACharacterNoFontHasIsFound) {
    // A private-use character of the last plane: no font draws it.
    const QString box = QString::fromUcs4(U"Light \U0010FFFD");
    EXPECT_TRUE(HasMissingGlyph(fontFor("en"), box));
    EXPECT_FALSE(HasMissingGlyph(fontFor("en"), QStringLiteral("Light  \n\t")));
    EXPECT_FALSE(HasMissingGlyph(fontFor("en"), QString()));

    SetGlyphAudit(true);
    AuditDrawnText(fontFor("en"), box);
    AuditDrawnText(fontFor("en"), box); // remembered once
    AuditDrawnText(fontFor("en"), QStringLiteral("Fine"));
    SetGlyphAudit(false);
    AuditDrawnText(fontFor("en"), QString::fromUcs4(U"Off \U0010FFFD"));
    ASSERT_EQ(TextsWithMissingGlyphs().size(), 1u);
    EXPECT_NE(TextsWithMissingGlyphs()[0].find("Light"), std::string::npos);
}

TEST_F(FontChoiceTest, PicturesAreDecodedWhole) {
    platform::test::TempDir dir;
    const std::string good = (dir.path() / "good.png").string();
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(QString::fromStdString(good), "PNG"));
    // The signature alone passes the first-bytes check but is no picture.
    const std::string truncated = (dir.path() / "truncated.png").string();
    {
        QFile file(QString::fromStdString(truncated));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("\x89PNG\r\n\x1a\n", 8);
    }
    QtBackend backend;
    CDuiString why;
    EXPECT_TRUE(backend.canLoadImage(good, why)) << why;
    EXPECT_FALSE(backend.canLoadImage(truncated, why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(backend.canLoadImage((dir.path() / "missing.png").string(), why));
}

} // namespace
} // namespace quellix::dui::qt
