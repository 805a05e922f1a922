#pragma once
// Which fonts draw the interface's texts, and a check that they have a
// glyph for every character they are asked to draw.

#include <QFont>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace quellix::dui::qt {

// The families for a layout font in the interface language (the toolkit's
// language file id, "en" or "cn_zh"): a Chinese interface asks for a font
// made for Simplified Chinese first and the layout's family after it; any
// other language the layout's family first, with the Chinese font behind it
// for names the user typed.
QStringList FamiliesFor(const std::string& layoutFamily, std::string_view language);

// The installed family made for Simplified Chinese that the view uses, or
// an empty string when the machine has none.
const QString& ChineseFamily();

// Whether drawing `text` with `font` would show a missing-glyph box for one
// of its visible characters (after the font's own fallbacks).
bool HasMissingGlyph(const QFont& font, const QString& text);

// The glyph audit: while enabled, every text the view draws is checked and
// each one with a missing glyph is remembered once.
void SetGlyphAudit(bool enabled);
void AuditDrawnText(const QFont& font, const QString& text);
std::vector<std::string> TextsWithMissingGlyphs();

} // namespace quellix::dui::qt
