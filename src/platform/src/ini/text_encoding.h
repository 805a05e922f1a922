#pragma once
// Conversions between the encodings INI files come in and the UTF-8 text the
// program works with.

#include "quellix/platform/ini_document.h"

#include <string>
#include <string_view>

namespace quellix::platform::ini_detail {

struct DecodedText {
    TextEncoding encoding;
    std::string utf8;
    std::string trailingByte; // the odd last byte of a UTF-16 file
};

// Recognises the BOM; text without one is taken as UTF-8 and kept byte for
// byte.  UTF-16 becomes UTF-8 in which an unpaired surrogate is written as
// its own three-byte sequence, so that encoding it back restores it.
DecodedText decodeText(std::string_view bytes);

// The inverse of decodeText (BOM included).  Bytes that are not UTF-8 turn
// into U+FFFD when written as UTF-16.
std::string encodeText(std::string_view utf8, TextEncoding encoding);

} // namespace quellix::platform::ini_detail

namespace quellix::platform::ini_detail {
// Decodes the UTF-8 sequence at `i` and moves `i` past it; one invalid byte
// gives U+FFFD and moves one byte.  Surrogate code points are accepted.
char32_t nextCodePoint(std::string_view utf8, std::size_t& i);
} // namespace quellix::platform::ini_detail
