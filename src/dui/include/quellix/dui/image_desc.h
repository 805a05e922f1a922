#pragma once
// Image descriptions as layouts and code give them:
//   "file='ms/key_left_normal.png' source='0,0,20,20' corner='2,2,2,2'"
// or just a bare file name.  Paths are relative to the skin folder.

#include "quellix/dui/types.h"

namespace quellix::dui {

struct ImageDescription {
    CDuiString file;           // empty: no image
    RECT source{};             // part of the file to draw; empty = all of it
    RECT corner{};             // nine-patch corners kept unscaled
    RECT dest{};               // where inside the control; empty = the whole control
    int fade = 255;            // 0..255 opacity
    std::optional<DWORD> mask; // colour drawn transparent
    bool xtiled = false;
    bool ytiled = false;
    bool hole = false;

    bool empty() const { return file.empty(); }
    friend bool operator==(const ImageDescription&, const ImageDescription&) = default;
};

// Throws ParseError on an unterminated quote or a malformed number.
ImageDescription ParseImageDescription(std::string_view text);

} // namespace quellix::dui
