// Text forms of descriptors: the one-line-per-collection summary and the
// loader that accepts binary files or hex text.

#include "quellix/hid/descriptor.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace quellix::hid {

namespace {

constexpr std::size_t kMaxDescriptorFileBytes = 1 << 20;

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool looksLikeText(const std::string& content) {
    for (unsigned char c : content) {
        if (c == '\n' || c == '\r' || c == '\t')
            continue;
        if (c < 0x20 || c > 0x7E)
            return false;
    }
    return true;
}

// Tokens of one or two hex digits, optionally prefixed "0x", separated by
// white space, commas or semicolons; comments run from '#' or "//" to the
// end of the line.
ParseResult parseHexText(const std::string& text, std::vector<std::uint8_t>& bytes) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '\n') {
            ++line, ++i;
            continue;
        }
        if (std::isspace(static_cast<unsigned char>(c)) || c == ',' || c == ';') {
            ++i;
            continue;
        }
        if (c == '#' || (c == '/' && i + 1 < text.size() && text[i + 1] == '/')) {
            while (i < text.size() && text[i] != '\n')
                ++i;
            continue;
        }
        if (c == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X'))
            i += 2;
        std::size_t end = i;
        while (end < text.size() && hexDigit(text[end]) >= 0)
            ++end;
        const std::size_t digits = end - i;
        const bool separated =
            end == text.size() || std::isspace(static_cast<unsigned char>(text[end])) ||
            text[end] == ',' || text[end] == ';' || text[end] == '#' || text[end] == '/';
        if (digits == 0 || digits > 2 || !separated)
            return {false, "line " + std::to_string(line) + ": expected a hex byte"};
        int value = 0;
        for (std::size_t k = i; k < end; ++k)
            value = value * 16 + hexDigit(text[k]);
        bytes.push_back(static_cast<std::uint8_t>(value));
        i = end;
    }
    return {true, {}};
}

} // namespace

ParseResult loadDescriptorFile(const std::string& fileName, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return {false, "cannot be opened"};
    std::string content;
    content.resize(kMaxDescriptorFileBytes + 1);
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    if (in.bad())
        return {false, "read error"};
    content.resize(static_cast<std::size_t>(in.gcount()));
    if (content.size() > kMaxDescriptorFileBytes)
        return {false, "larger than 1 MiB, not a report descriptor"};
    if (content.empty())
        return {false, "empty"};

    if (!looksLikeText(content)) {
        bytes.assign(content.begin(), content.end());
        return {true, {}};
    }
    // Messages say what is wrong in the file; the caller names the file.
    ParseResult result = parseHexText(content, bytes);
    if (!result.ok)
        bytes.clear();
    else if (bytes.empty())
        return {false, "no bytes"};
    return result;
}

std::string describeCollections(const ParsedDescriptor& descriptor) {
    std::string text;
    char line[256];
    for (std::size_t i = 0; i < descriptor.collections.size(); ++i) {
        const Caps& c = descriptor.collections[i].caps;
        std::snprintf(line, sizeof line,
                      "col %zu usage_page 0x%04x usage 0x%04x input %u output %u feature %u "
                      "caps input %u/%u output %u/%u feature %u/%u\n",
                      i + 1, c.usagePage, c.usage, c.inputReportByteLength,
                      c.outputReportByteLength, c.featureReportByteLength, c.numberInputButtonCaps,
                      c.numberInputValueCaps, c.numberOutputButtonCaps, c.numberOutputValueCaps,
                      c.numberFeatureButtonCaps, c.numberFeatureValueCaps);
        text += line;
    }
    return text;
}

} // namespace quellix::hid
