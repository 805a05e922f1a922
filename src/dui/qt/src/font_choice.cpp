#include "font_choice.h"

#include <QFontDatabase>
#include <QGlyphRun>
#include <QTextLayout>
#include <set>

namespace quellix::dui::qt {

namespace {

// Families known to cover Simplified Chinese well, best first; any other
// family the font database lists for the writing system comes after them.
constexpr const char* kPreferredChineseFamilies[] = {
    "Noto Sans CJK SC",  "Source Han Sans SC",  "WenQuanYi Micro Hei",
    "WenQuanYi Zen Hei", "Droid Sans Fallback",
};

struct Audit {
    bool enabled = false;
    std::set<std::string> seen;
    std::vector<std::string> missing;
};

Audit& audit() {
    static Audit instance; // UI thread only
    return instance;
}

} // namespace

const QString& ChineseFamily() {
    static const QString family = [] {
        const QStringList available = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        for (const char* preferred : kPreferredChineseFamilies) {
            if (available.contains(QString::fromLatin1(preferred), Qt::CaseInsensitive)) {
                return QString::fromLatin1(preferred);
            }
        }
        return available.isEmpty() ? QString() : available.front();
    }();
    return family;
}

QStringList FamiliesFor(const std::string& layoutFamily, std::string_view language) {
    QStringList families{QString::fromStdString(layoutFamily)};
    const QString& chinese = ChineseFamily();
    if (!chinese.isEmpty() && chinese != families.front()) {
        if (language == "cn_zh") {
            families.prepend(chinese);
        } else {
            families.append(chinese);
        }
    }
    return families;
}

bool HasMissingGlyph(const QFont& font, const QString& text) {
    // Blanks and control characters draw nothing, so they need no glyph.
    QString visible;
    for (const QChar ch : text) {
        if (!ch.isSpace() && ch.category() != QChar::Other_Control &&
            ch.category() != QChar::Other_Format) {
            visible.append(ch);
        }
    }
    if (visible.isEmpty()) {
        return false;
    }
    QTextLayout layout(visible, font);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(1e6);
    }
    layout.endLayout();
    // A character no font of the fallback chain has is shaped to glyph 0,
    // the box.
    for (const QGlyphRun& run : layout.glyphRuns()) {
        for (const quint32 glyph : run.glyphIndexes()) {
            if (glyph == 0) {
                return true;
            }
        }
    }
    return false;
}

void SetGlyphAudit(bool enabled) {
    audit().enabled = enabled;
}

void AuditDrawnText(const QFont& font, const QString& text) {
    Audit& state = audit();
    if (!state.enabled) {
        return;
    }
    const std::string key = font.families().join(',').toStdString() + "\n" + text.toStdString();
    if (!state.seen.insert(key).second) {
        return;
    }
    if (HasMissingGlyph(font, text)) {
        state.missing.push_back("\"" + text.toStdString() + "\" in " +
                                font.families().join(", ").toStdString());
    }
}

std::vector<std::string> TextsWithMissingGlyphs() {
    return audit().missing;
}

} // namespace quellix::dui::qt
