#pragma once
// Label texts the key pages share.

namespace quellix::ui {

// The language key that labels a key whose assigned code the key tables do
// not know, on the mouse page and on the keyboard page alike, so that both
// languages show their own word for it.
inline constexpr const char* kUnknownKeyLabel = "close_text";

} // namespace quellix::ui
