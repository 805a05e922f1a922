#include "quellix/dui/image_desc.h"

#include <cctype>

namespace quellix::dui {

namespace {

bool IsBareFileName(std::string_view text) {
    return text.find('=') == std::string_view::npos;
}

} // namespace

ImageDescription ParseImageDescription(std::string_view text) {
    ImageDescription desc;
    if (IsBareFileName(text)) {
        std::size_t b = 0, e = text.size();
        while (b < e && std::isspace(static_cast<unsigned char>(text[b])))
            ++b;
        while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1])))
            --e;
        desc.file = std::string(text.substr(b, e - b));
        return desc;
    }
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
        if (i >= text.size())
            break;
        auto eq = text.find('=', i);
        if (eq == std::string_view::npos)
            throw ParseError("bad image description '" + std::string(text) + "': '" +
                             std::string(text.substr(i)) + "' has no value");
        std::string key = ToLower(text.substr(i, eq - i));
        while (!key.empty() && std::isspace(static_cast<unsigned char>(key.back())))
            key.pop_back();
        i = eq + 1;
        if (i >= text.size() || (text[i] != '\'' && text[i] != '"'))
            throw ParseError("bad image description '" + std::string(text) + "': value of '" + key +
                             "' must be quoted");
        char quote = text[i];
        auto close = text.find(quote, i + 1);
        if (close == std::string_view::npos)
            throw ParseError("bad image description '" + std::string(text) +
                             "': unterminated quote");
        std::string_view value = text.substr(i + 1, close - i - 1);
        i = close + 1;
        if (key == "file" || key == "res")
            desc.file = std::string(value);
        else if (key == "source")
            desc.source = ParseRect(value);
        else if (key == "corner")
            desc.corner = ParseRect(value);
        else if (key == "dest")
            desc.dest = ParseRect(value);
        else if (key == "fade")
            desc.fade = ParseInt(value);
        else if (key == "mask")
            desc.mask = ParseColor(value);
        else if (key == "xtiled")
            desc.xtiled = ParseBool(value);
        else if (key == "ytiled")
            desc.ytiled = ParseBool(value);
        else if (key == "hole")
            desc.hole = ParseBool(value);
        // Other keys (restype, hsl, ...) do not change what is drawn here.
    }
    if (desc.fade < 0 || desc.fade > 255)
        throw ParseError("bad image description '" + std::string(text) + "': fade must be 0..255");
    return desc;
}

} // namespace quellix::dui
