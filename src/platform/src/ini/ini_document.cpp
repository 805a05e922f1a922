#include "quellix/platform/ini_document.h"

#include "text_encoding.h"

#include <algorithm>

namespace quellix::platform {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char foldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return foldAscii(x) == foldAscii(y);
           });
}

enum class LineKind { Other, Section, Entry };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;  // section name or key
    std::string_view value; // entry value, trimmed
};

// What one line means; comments, blank and malformed lines are "Other".
ParsedLine parseLine(std::string_view line) {
    std::string_view text = trim(line);
    if (text.empty() || text.front() == ';')
        return {};
    if (text.front() == '[') {
        auto close = text.rfind(']');
        if (close == std::string_view::npos)
            return {};
        return {LineKind::Section, trim(text.substr(1, close - 1)), {}};
    }
    auto equals = text.find('=');
    if (equals == std::string_view::npos)
        return {};
    std::string_view key = trim(text.substr(0, equals));
    if (key.empty())
        return {};
    return {LineKind::Entry, key, trim(text.substr(equals + 1))};
}

std::string unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

bool hasLineBreakOrNul(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

} // namespace

IniDocument IniDocument::parse(std::string_view fileBytes) {
    auto decoded = ini_detail::decodeText(fileBytes);
    IniDocument doc(decoded.encoding);
    doc.trailingByte_ = std::move(decoded.trailingByte);
    std::string_view text = decoded.utf8;
    auto firstBreak = text.find('\n');
    doc.crlf_ =
        firstBreak == std::string_view::npos || (firstBreak > 0 && text[firstBreak - 1] == '\r');
    // Lines keep their '\r' (parseLine() treats it as a blank), so that a
    // file with mixed line ends is written back exactly as it was.
    while (!text.empty()) {
        auto end = text.find('\n');
        doc.lines_.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
        doc.finalNewline_ = text.empty();
    }
    return doc;
}

std::string IniDocument::serialize() const {
    std::string text;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        text += lines_[i];
        if (i + 1 < lines_.size() || finalNewline_)
            text += '\n';
    }
    return ini_detail::encodeText(text, encoding_) + trailingByte_;
}

std::string IniDocument::newLine(std::string text) const {
    if (crlf_)
        text += '\r';
    return text;
}

std::optional<IniDocument::SectionRange> IniDocument::findSection(std::string_view section) const {
    section = trim(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        ParsedLine line = parseLine(lines_[i]);
        if (line.kind != LineKind::Section || !sameName(line.name, section))
            continue;
        std::size_t end = i + 1;
        while (end < lines_.size() && parseLine(lines_[end]).kind != LineKind::Section)
            ++end;
        return SectionRange{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> IniDocument::findKey(const SectionRange& range,
                                                std::string_view key) const {
    key = trim(key);
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        ParsedLine line = parseLine(lines_[i]);
        if (line.kind == LineKind::Entry && sameName(line.name, key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::string> IniDocument::value(std::string_view section,
                                              std::string_view key) const {
    auto range = findSection(section);
    if (!range)
        return std::nullopt;
    auto index = findKey(*range, key);
    if (!index)
        return std::nullopt;
    return unquote(parseLine(lines_[*index]).value);
}

std::vector<std::string> IniDocument::sectionNames() const {
    std::vector<std::string> names;
    for (const auto& text : lines_) {
        ParsedLine line = parseLine(text);
        if (line.kind != LineKind::Section)
            continue;
        bool known = std::any_of(names.begin(), names.end(),
                                 [&](const std::string& n) { return sameName(n, line.name); });
        if (!known)
            names.emplace_back(line.name);
    }
    return names;
}

std::vector<std::string> IniDocument::keys(std::string_view section) const {
    std::vector<std::string> result;
    for (auto& [name, value] : entries(section))
        result.push_back(std::move(name));
    return result;
}

std::vector<std::pair<std::string, std::string>>
IniDocument::entries(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> result;
    auto range = findSection(section);
    if (!range)
        return result;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        ParsedLine line = parseLine(lines_[i]);
        if (line.kind == LineKind::Entry)
            result.emplace_back(std::string(line.name), unquote(line.value));
    }
    return result;
}

bool IniDocument::isWritableSectionName(std::string_view section) {
    return !hasLineBreakOrNul(section);
}

bool IniDocument::isWritableKey(std::string_view key) {
    std::string_view name = trim(key);
    return !name.empty() && !hasLineBreakOrNul(key) && name.find('=') == std::string_view::npos &&
           name.front() != '[' && name.front() != ';';
}

bool IniDocument::isWritableValue(std::string_view value) {
    return !hasLineBreakOrNul(value);
}

bool IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
    if (!isWritableSectionName(section) || !isWritableKey(key) || !isWritableValue(value))
        return false;
    section = trim(section);
    key = trim(key);
    auto range = findSection(section);
    finalNewline_ = true;
    if (!range) {
        lines_.push_back(newLine("[" + std::string(section) + "]"));
        lines_.push_back(newLine(std::string(key) + "=" + std::string(value)));
        return true;
    }
    if (auto index = findKey(*range, key)) {
        // Keep the key as the file spells it, and the line's own ending.
        std::string& line = lines_[*index];
        std::string entry = std::string(parseLine(line).name) + "=" + std::string(value);
        line = line.ends_with('\r') ? entry + '\r' : entry;
        return true;
    }
    // After the section's last non-blank line, so that blank lines that
    // separate it from the next section stay where they are.
    std::size_t insertAt = range->end;
    while (insertAt > range->header + 1 && trim(lines_[insertAt - 1]).empty())
        --insertAt;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                  newLine(std::string(key) + "=" + std::string(value)));
    return true;
}

bool IniDocument::removeKey(std::string_view section, std::string_view key) {
    auto range = findSection(section);
    if (!range)
        return false;
    auto index = findKey(*range, key);
    if (!index)
        return false;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*index));
    return true;
}

bool IniDocument::removeSection(std::string_view section) {
    auto range = findSection(section);
    if (!range)
        return false;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range->header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
    return true;
}

} // namespace quellix::platform
