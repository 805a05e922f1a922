#pragma once
// An initialisation file held in memory: the parse, look-up and edit rules
// behind the private-profile functions of ini.h, without any file I/O.
//
// Rules (those of the Windows private-profile functions):
// - "[name]" starts a section; the name lies between the '[' and the last
//   ']' of the line, trimmed.  "key=value" is an entry of the section above
//   it: the key is the text before the first '=', the value the text after
//   it, both trimmed of blanks.  Blank lines, ";" comments and lines that
//   fit neither form are kept as they are but take no part in look-ups.
// - Section and key names are matched without regard to ASCII case (other
//   bytes, e.g. Chinese UTF-8, must be equal); the first matching section
//   and, inside it, the first matching key win.  Names given by the caller
//   are trimmed like the names in the file.
// - A value enclosed in a pair of double or single quotes is returned
//   without them.
// - Edits change only the lines they concern; every other line, including
//   comments, malformed lines and line ends, is written back byte for byte.
//   New lines end like the file's first line (CRLF in a new file).
//
// Text is UTF-8 inside.  Files are read as UTF-16LE or UTF-16BE with BOM,
// or UTF-8 with or without BOM; serialize() writes the encoding the text
// was read in.  Unpaired UTF-16 surrogates survive a read-write round trip.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quellix::platform {

enum class TextEncoding { Utf8, Utf8Bom, Utf16LeBom, Utf16BeBom };

class IniDocument {
public:
    // An empty document that will be written in `encoding`.
    explicit IniDocument(TextEncoding encoding = TextEncoding::Utf16LeBom) : encoding_(encoding) {}

    // Never fails: any bytes give a document (unusable lines are skipped).
    static IniDocument parse(std::string_view fileBytes);
    std::string serialize() const;

    TextEncoding encoding() const { return encoding_; }

    // The value as the private-profile read returns it (trimmed, quotes
    // removed), not yet cut to a read buffer; nullopt when absent.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // Section names in file order (a name that occurs twice is listed once).
    std::vector<std::string> sectionNames() const;
    // Keys of the first matching section, in file order.
    std::vector<std::string> keys(std::string_view section) const;
    // Key and value (as value() returns it) of each entry of the first
    // matching section, in file order.
    std::vector<std::pair<std::string, std::string>> entries(std::string_view section) const;

    // Creates the section and the key as needed; an existing key keeps its
    // spelling and position.  False (document unchanged) when a name or the
    // value could not be written so that it reads back: an empty key, a key
    // with '=' or starting with '[' or ';', or any text with a line break or
    // a NUL character.
    bool setValue(std::string_view section, std::string_view key, std::string_view value);
    // True when an entry was removed.
    bool removeKey(std::string_view section, std::string_view key);
    // Removes the first matching section with all its lines; true when found.
    bool removeSection(std::string_view section);

    static bool isWritableSectionName(std::string_view section);
    static bool isWritableKey(std::string_view key);
    static bool isWritableValue(std::string_view value);

private:
    struct SectionRange {
        std::size_t header; // index of the "[name]" line
        std::size_t end;    // one past its last line
    };
    std::optional<SectionRange> findSection(std::string_view section) const;
    std::optional<std::size_t> findKey(const SectionRange& range, std::string_view key) const;
    // A line to add, ended like the file's first line.
    std::string newLine(std::string text) const;

    TextEncoding encoding_;
    std::vector<std::string> lines_; // without '\n', with any '\r'
    bool crlf_ = true;
    bool finalNewline_ = false;
    std::string trailingByte_; // odd last byte of a UTF-16 file, kept as is
};

} // namespace quellix::platform
