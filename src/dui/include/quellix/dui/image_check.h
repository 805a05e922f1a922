#pragma once
// Recognises picture files by their first bytes, without decoding them.

#include <string_view>

namespace quellix::dui {

// The format whose signature the bytes begin with ("png", "jpeg", "gif",
// "bmp", "svg"), or an empty view.
std::string_view PictureFormatOf(std::string_view firstBytes);

} // namespace quellix::dui
