#include "quellix/dui/types.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace quellix::dui {

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

std::string Quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

} // namespace

DWORD ParseColor(std::string_view text) {
    std::string_view t = Trim(text);
    int base = 10;
    if (!t.empty() && t.front() == '#') {
        t.remove_prefix(1);
        base = 16;
    } else if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        t.remove_prefix(2);
        base = 16;
    }
    if (t.empty() || (base == 16 && t.size() != 6 && t.size() != 8))
        throw ParseError("bad colour " + Quoted(text) + " (expected #AARRGGBB)");
    std::uint64_t value = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value, base);
    if (ec != std::errc() || end != t.data() + t.size() || value > 0xFFFFFFFFull)
        throw ParseError("bad colour " + Quoted(text) + " (expected #AARRGGBB)");
    if (base == 16 && t.size() == 6)
        value |= 0xFF000000u;
    return static_cast<DWORD>(value);
}

int ParseInt(std::string_view text) {
    std::string_view t = Trim(text);
    if (!t.empty() && t.front() == '+')
        t.remove_prefix(1);
    int value = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size())
        throw ParseError("bad number " + Quoted(text));
    return value;
}

RECT ParseRect(std::string_view text) {
    int values[4] = {0, 0, 0, 0};
    std::string_view rest = text;
    for (int i = 0; i < 4 && !Trim(rest).empty(); ++i) {
        auto comma = rest.find(',');
        values[i] = ParseInt(rest.substr(0, comma));
        if (comma == std::string_view::npos) {
            rest = {};
            break;
        }
        rest.remove_prefix(comma + 1);
        if (i == 3)
            throw ParseError("bad rectangle " + Quoted(text) + " (expected l,t,r,b)");
    }
    if (!Trim(rest).empty())
        throw ParseError("bad rectangle " + Quoted(text) + " (expected l,t,r,b)");
    return {values[0], values[1], values[2], values[3]};
}

SIZE ParseSize(std::string_view text) {
    auto comma = text.find(',');
    if (comma == std::string_view::npos)
        throw ParseError("bad size " + Quoted(text) + " (expected cx,cy)");
    return {ParseInt(text.substr(0, comma)), ParseInt(text.substr(comma + 1))};
}

bool ParseBool(std::string_view text) {
    std::string t = ToLower(Trim(text));
    if (t == "true" || t == "1")
        return true;
    if (t == "false" || t == "0")
        return false;
    throw ParseError("bad flag " + Quoted(text) + " (expected true or false)");
}

std::string ToLower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace quellix::dui
