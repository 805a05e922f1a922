#pragma once
// A family's catalogue: the INI sections that list its profiles by position
// (count, names, the remembered selection, and each profile's program
// link), and the rules for the names that become file names.
//
// The reader never trusts the file: a count beyond kMaxCatalogueEntries is
// cut to it, absent values read as "0", values are cut as a 260-character
// read buffer cuts them.  Every write replaces the whole file atomically
// (one INI call each), so a crash leaves the file before or after a write.

#include "quellix/profiles/families.h"

#include "quellix/platform/result.h"

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quellix::platform {
class IniDocument;
}

namespace quellix::profiles {

struct CatalogueSections {
    std::string_view count;     // "PROFILEDENGCOUNT", ...
    std::string_view name;      // "PROFILEDENGNAME", ...
    std::string_view selection; // "PROFILEDENGSELECT", ...
    std::string_view link;      // "PROFILELIKEDENGEXE", ...: "1" linked, "0" not
    std::string_view program;   // "DENGPROCESS", ...: the program's path, " " when not linked
};
const CatalogueSections& catalogueSections(Family family);

// The keys of the count and selection sections.
inline constexpr std::string_view kCountKey = "count";
inline constexpr std::string_view kSelectKey = "select";
// What an absent value reads as.
inline constexpr std::string_view kAbsentValue = "0";
// The value of the program entry of a profile without a link.
inline constexpr std::string_view kNoProgram = " ";

// No user keeps this many profiles in one family; a larger count is taken
// for a damaged catalogue and cut, so a hostile file cannot make the lists
// grow without end.
inline constexpr int kMaxCatalogueEntries = 10000;

struct LinkEntry {
    std::string flag = std::string(kAbsentValue);
    std::string program = std::string(kAbsentValue);
    friend bool operator==(const LinkEntry&, const LinkEntry&) = default;
    // The entry links `program`: its flag reads exactly 1 and its path is
    // the program's, letter case ignored.
    bool links(std::string_view executable) const;
};

// A family's entries as one read of the catalogue sees them.
struct CatalogueView {
    int count = 0;     // after the cut
    bool cut = false;  // the file's count was larger than kMaxCatalogueEntries
    int selection = 0; // absent: 0
    std::vector<std::string> names;
    std::vector<LinkEntry> links;
};
// Pure: from a parsed document.
CatalogueView readCatalogue(const platform::IniDocument& document, Family family);
// From the file; an absent or unreadable file reads as empty.
CatalogueView readCatalogueFile(const std::filesystem::path& file, Family family);

// One family's catalogue in a data directory.
class Catalogue {
public:
    Catalogue(Family family, std::filesystem::path directory);

    Family family() const { return family_; }
    const std::filesystem::path& directory() const { return directory_; }
    // directory + "mpProfile.ini", ...
    const std::filesystem::path& file() const { return file_; }
    const CatalogueSections& sections() const { return catalogueSections(family_); }

    CatalogueView read() const;
    int count() const;
    int selection() const;
    std::string name(int position) const;
    int linkFlag(int position) const;
    std::string program(int position) const;
    LinkEntry link(int position) const;

    // Each write is one atomic replacement of the file; a failed one leaves
    // the old file and says why.
    Result setCount(int n) const;
    Result setName(int position, std::string_view name) const;
    Result setSelection(int position) const;
    Result setLinkFlag(int position, std::string_view flag) const;
    Result setProgram(int position, std::string_view program) const;
    Result setLink(int position, const LinkEntry& link) const;

    // The profile file of a name: directory + name + the family's extension;
    // empty when the name cannot be a file base name.
    std::filesystem::path profilePath(std::string_view name) const;

private:
    std::string read(std::string_view section, std::string_view key) const;
    Result write(std::string_view section, std::string_view key, std::string_view value) const;

    Family family_;
    std::filesystem::path directory_;
    std::filesystem::path file_;
};

// Why a name cannot be a profile name (and so a file base name).
enum class NameProblem {
    None,
    Empty,
    DotName,          // "." or ".."
    Separator,        // holds "/"
    ControlCharacter, // NUL, line breaks and the other control characters
    EdgeBlankOrQuote, // would not read back from the catalogue as written
    TooLong,          // name + extension beyond the file system's name limit
};
NameProblem checkProfileName(std::string_view name, std::string_view extension);
std::string_view describe(NameProblem problem);

// Add: "profile1", "profile2", ... the first not used by any name (without
// case), so a gap a delete left is filled again.
std::string nextFreeName(std::span<const std::string> names);
// Copy: source + " copy", with " copy" added again while a name is taken.
std::string copyName(std::string_view source, std::span<const std::string> names);

// The links after the profile at `removed` was deleted: those before it stay,
// those after it move down one place with their profiles.
std::vector<LinkEntry> linksAfterDelete(std::span<const LinkEntry> links, int removed);

// A program is known by its executable's full path; the link edit shows its
// file name.  A path without a directory separator names no program.
bool hasDirectory(std::string_view path);
std::string_view programFileName(std::string_view path);

} // namespace quellix::profiles
