#include "text_encoding.h"

#include "quellix/platform/ini.h"

#include <cstdint>

namespace quellix::platform::ini_detail {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void appendUtf16(std::string& out, std::uint16_t unit, bool bigEndian) {
    char lo = static_cast<char>(unit & 0xFF);
    char hi = static_cast<char>(unit >> 8);
    if (bigEndian) {
        out += hi;
        out += lo;
    } else {
        out += lo;
        out += hi;
    }
}

bool isHighSurrogate(std::uint32_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool isLowSurrogate(std::uint32_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

std::string decodeUtf16(std::string_view body, bool bigEndian) {
    std::string out;
    out.reserve(body.size());
    auto unitAt = [&](std::size_t i) -> std::uint16_t {
        auto b0 = static_cast<unsigned char>(body[i]);
        auto b1 = static_cast<unsigned char>(body[i + 1]);
        return static_cast<std::uint16_t>(bigEndian ? (b0 << 8) | b1 : (b1 << 8) | b0);
    };
    const std::size_t units = body.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        std::uint16_t unit = unitAt(2 * i);
        if (isHighSurrogate(unit) && i + 1 < units && isLowSurrogate(unitAt(2 * i + 2))) {
            std::uint16_t low = unitAt(2 * i + 2);
            appendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (low - 0xDC00));
            ++i;
        } else {
            appendUtf8(out, unit); // unpaired surrogates pass through
        }
    }
    return out;
}

} // namespace

// Decodes one UTF-8 sequence (surrogate code points accepted, see above);
// returns the code point and advances `i`, or U+FFFD for one invalid byte.
char32_t nextCodePoint(std::string_view s, std::size_t& i) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char b = byte(i);
    std::size_t length = b < 0x80           ? 1
                         : (b >> 5) == 0x6  ? 2
                         : (b >> 4) == 0xE  ? 3
                         : (b >> 3) == 0x1E ? 4
                                            : 0;
    if (length == 0 || i + length > s.size()) {
        ++i;
        return kReplacement;
    }
    char32_t cp = length == 1 ? b : b & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[length] || cp > 0x10FFFF) {
        ++i;
        return kReplacement;
    }
    i += length;
    return cp;
}

namespace {

std::string encodeUtf16(std::string_view utf8, bool bigEndian) {
    std::string out(bigEndian ? kUtf16BeBom : kUtf16LeBom);
    out.reserve(2 + utf8.size() * 2);
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp = nextCodePoint(utf8, i);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            appendUtf16(out, static_cast<std::uint16_t>(0xD800 + (cp >> 10)), bigEndian);
            appendUtf16(out, static_cast<std::uint16_t>(0xDC00 + (cp & 0x3FF)), bigEndian);
        } else {
            appendUtf16(out, static_cast<std::uint16_t>(cp), bigEndian);
        }
    }
    return out;
}

} // namespace

DecodedText decodeText(std::string_view bytes) {
    if (bytes.starts_with(kUtf16LeBom) || bytes.starts_with(kUtf16BeBom)) {
        bool bigEndian = bytes.starts_with(kUtf16BeBom);
        std::string_view body = bytes.substr(2);
        std::string trailing = body.size() % 2 ? std::string(body.substr(body.size() - 1)) : "";
        return {bigEndian ? TextEncoding::Utf16BeBom : TextEncoding::Utf16LeBom,
                decodeUtf16(body, bigEndian), std::move(trailing)};
    }
    if (bytes.starts_with(kUtf8Bom))
        return {TextEncoding::Utf8Bom, std::string(bytes.substr(kUtf8Bom.size())), ""};
    return {TextEncoding::Utf8, std::string(bytes), ""};
}

std::string encodeText(std::string_view utf8, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return std::string(utf8);
    case TextEncoding::Utf8Bom:
        return std::string(kUtf8Bom) + std::string(utf8);
    case TextEncoding::Utf16LeBom:
        return encodeUtf16(utf8, false);
    case TextEncoding::Utf16BeBom:
        return encodeUtf16(utf8, true);
    }
    return std::string(utf8);
}

} // namespace quellix::platform::ini_detail

namespace quellix::platform {

std::string_view truncateToUtf16Units(std::string_view utf8, std::size_t maxUnits) {
    std::size_t units = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t next = i;
        char32_t cp = ini_detail::nextCodePoint(utf8, next);
        std::size_t width = cp >= 0x10000 ? 2 : 1;
        if (units + width > maxUnits)
            break;
        units += width;
        i = next;
    }
    return utf8.substr(0, i);
}

} // namespace quellix::platform
