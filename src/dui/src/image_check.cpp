#include "quellix/dui/image_check.h"

#include <fstream>

#include "quellix/dui/backend.h"

namespace quellix::dui {

std::string_view PictureFormatOf(std::string_view bytes) {
    struct Signature {
        std::string_view magic;
        std::string_view format;
    };
    static constexpr Signature kSignatures[] = {
        {"\x89PNG\r\n\x1a\n", "png"},
        {"\xff\xd8\xff", "jpeg"},
        {"GIF87a", "gif"},
        {"GIF89a", "gif"},
        {"BM", "bmp"},
    };
    for (const auto& signature : kSignatures) {
        if (bytes.starts_with(signature.magic)) {
            return signature.format;
        }
    }
    // An SVG is text: an XML declaration or comment, then an <svg element.
    const auto start = bytes.find_first_not_of(" \t\r\n");
    if (start != std::string_view::npos &&
        (bytes.substr(start).starts_with("<?xml") || bytes.substr(start).starts_with("<svg")) &&
        bytes.find("<svg") != std::string_view::npos) {
        return "svg";
    }
    return {};
}

bool Backend::canLoadImage(const CDuiString& path, CDuiString& why) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        why = "the file cannot be read";
        return false;
    }
    char head[512] = {};
    in.read(head, sizeof head);
    if (in.gcount() == 0) {
        why = "the file is empty or cannot be read";
        return false;
    }
    if (PictureFormatOf(std::string_view(head, std::size_t(in.gcount()))).empty()) {
        why = "the file is not a picture";
        return false;
    }
    return true;
}

} // namespace quellix::dui
