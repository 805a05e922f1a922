#include "quellix/profiles/catalogue.h"

#include "quellix/platform/atomic_file.h"
#include "quellix/platform/debug.h"
#include "quellix/platform/ini.h"
#include "quellix/platform/ini_document.h"

#include <algorithm>
#include <climits>
#include <map>

namespace quellix::profiles {

namespace {

constexpr CatalogueSections kSections[kFamilyCount] = {
    {"PROFILEDENGCOUNT", "PROFILEDENGNAME", "PROFILEDENGSELECT", "PROFILELIKEDENGEXE",
     "DENGPROCESS"},
    {"PROFILEDENGCOUNT", "PROFILEDENGNAME", "PROFILEDENGSELECT", "PROFILELIKEDENGEXE",
     "DENGPROCESS"},
    {"PROFILECOUNT", "PROFILENAME", "PROFILESELECT", "PROFILELIKEEXE", "PROCESS"},
    {"PROFILEDEVICECOUNT", "PROFILEDEVICENAME", "PROFILEDEVICESELECT", "PROFILELIKEDEVICEEXE",
     "DEVICEPROCESS"},
    {"PROFILEDENGCOUNT", "PROFILEDENGNAME", "PROFILEDENGSELECT", "PROFILELIKEDENGEXE",
     "DENGPROCESS"},
    {"PROFILECOUNT", "PROFILENAME", "PROFILESELECT", "PROFILELIKEEXE", "PROCESS"},
};

// A catalogue file is a few kilobytes; anything far larger is not one.
constexpr std::size_t kLargestCatalogue = platform::kProfileMaxFileBytes;

// As a 260-character read buffer returns a value.
std::string asRead(std::string_view value) {
    return std::string(platform::truncateToUtf16Units(value, platform::kProfileBufferChars - 1));
}

// A section's values by key, the first entry of a key winning, as the
// private-profile reads find them.
std::map<std::string, std::string, std::less<>> sectionValues(const platform::IniDocument& doc,
                                                              std::string_view section) {
    std::map<std::string, std::string, std::less<>> values;
    for (auto& [key, value] : doc.entries(section)) {
        values.emplace(key, asRead(value));
    }
    return values;
}

std::string valueAt(const std::map<std::string, std::string, std::less<>>& values, int position) {
    const auto it = values.find(std::to_string(position));
    return it != values.end() ? it->second : std::string(kAbsentValue);
}

int intValue(const platform::IniDocument& doc, std::string_view section, std::string_view key) {
    const auto value = doc.value(section, key);
    return value ? platform::leadingInteger(asRead(*value)) : 0;
}

bool isControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

} // namespace

const CatalogueSections& catalogueSections(Family family) {
    return kSections[static_cast<std::size_t>(family)];
}

bool LinkEntry::links(std::string_view executable) const {
    return platform::leadingInteger(flag) == 1 && equalsNoCase(program, executable);
}

CatalogueView readCatalogue(const platform::IniDocument& doc, Family family) {
    const CatalogueSections& s = catalogueSections(family);
    CatalogueView view;
    const int count = intValue(doc, s.count, kCountKey);
    view.cut = count > kMaxCatalogueEntries;
    view.count = std::clamp(count, 0, kMaxCatalogueEntries);
    view.selection = intValue(doc, s.selection, kSelectKey);
    const auto names = sectionValues(doc, s.name);
    const auto flags = sectionValues(doc, s.link);
    const auto programs = sectionValues(doc, s.program);
    view.names.reserve(static_cast<std::size_t>(view.count));
    view.links.reserve(static_cast<std::size_t>(view.count));
    for (int i = 0; i < view.count; ++i) {
        view.names.push_back(valueAt(names, i));
        view.links.push_back({valueAt(flags, i), valueAt(programs, i)});
    }
    return view;
}

CatalogueView readCatalogueFile(const std::filesystem::path& file, Family family) {
    std::string bytes;
    if (!platform::readWholeFile(file, kLargestCatalogue, bytes)) {
        return readCatalogue(platform::IniDocument(), family);
    }
    const CatalogueView view = readCatalogue(platform::IniDocument::parse(bytes), family);
    if (view.cut) {
        platform::debugOutputf("%s: the %s count is larger than %d; the rest is not listed",
                               file.string().c_str(), std::string(familyInfo(family).name).c_str(),
                               kMaxCatalogueEntries);
    }
    return view;
}

// ---------------------------------------------------------------- Catalogue

Catalogue::Catalogue(Family family, std::filesystem::path directory)
    : family_(family), directory_(std::move(directory)),
      file_(directory_ / familyInfo(family).catalogue) {}

CatalogueView Catalogue::read() const {
    return readCatalogueFile(file_, family_);
}

std::string Catalogue::read(std::string_view section, std::string_view key) const {
    return platform::getPrivateProfileString(section, key, kAbsentValue, file_);
}

Result Catalogue::write(std::string_view section, std::string_view key,
                        std::string_view value) const {
    Result written = platform::writeProfileString(section, key, value, file_);
    if (!written) {
        platform::debugOutput(file_.string() + ": [" + std::string(section) + "] " +
                              std::string(key) + " not written: " + written.describe());
    }
    return written;
}

int Catalogue::count() const {
    return std::clamp(platform::leadingInteger(read(sections().count, kCountKey)), 0,
                      kMaxCatalogueEntries);
}

int Catalogue::selection() const {
    return platform::leadingInteger(read(sections().selection, kSelectKey));
}

std::string Catalogue::name(int position) const {
    return read(sections().name, std::to_string(position));
}

int Catalogue::linkFlag(int position) const {
    return platform::leadingInteger(read(sections().link, std::to_string(position)));
}

std::string Catalogue::program(int position) const {
    return read(sections().program, std::to_string(position));
}

LinkEntry Catalogue::link(int position) const {
    return {read(sections().link, std::to_string(position)), program(position)};
}

Result Catalogue::setCount(int n) const {
    return write(sections().count, kCountKey, std::to_string(n));
}

Result Catalogue::setName(int position, std::string_view name) const {
    return write(sections().name, std::to_string(position), name);
}

Result Catalogue::setSelection(int position) const {
    return write(sections().selection, kSelectKey, std::to_string(position));
}

Result Catalogue::setLinkFlag(int position, std::string_view flag) const {
    return write(sections().link, std::to_string(position), flag);
}

Result Catalogue::setProgram(int position, std::string_view program) const {
    return write(sections().program, std::to_string(position), program);
}

Result Catalogue::setLink(int position, const LinkEntry& link) const {
    FirstFailure failure;
    failure.note(setLinkFlag(position, link.flag));
    failure.note(setProgram(position, link.program));
    return failure.take();
}

std::filesystem::path Catalogue::profilePath(std::string_view name) const {
    const std::string_view extension = familyInfo(family_).extension;
    if (checkProfileName(name, extension) != NameProblem::None) {
        return {};
    }
    return directory_ / (std::string(name) + std::string(extension));
}

// ---------------------------------------------------------------- names

NameProblem checkProfileName(std::string_view name, std::string_view extension) {
    if (name.empty()) {
        return NameProblem::Empty;
    }
    if (name == "." || name == "..") {
        return NameProblem::DotName;
    }
    if (name.find('/') != std::string_view::npos) {
        return NameProblem::Separator;
    }
    if (std::any_of(name.begin(), name.end(),
                    [](char c) { return isControl(static_cast<unsigned char>(c)); })) {
        return NameProblem::ControlCharacter;
    }
    // The catalogue trims blanks around a value and drops a pair of quotes
    // around it: such a name would come back as another file's name.
    const char first = name.front();
    const char last = name.back();
    if (first == ' ' || last == ' ' ||
        (name.size() >= 2 && first == last && (first == '"' || first == '\''))) {
        return NameProblem::EdgeBlankOrQuote;
    }
    if (name.size() + extension.size() > NAME_MAX) {
        return NameProblem::TooLong;
    }
    return NameProblem::None;
}

std::string_view describe(NameProblem problem) {
    switch (problem) {
    case NameProblem::None:
        return "a usable name";
    case NameProblem::Empty:
        return "the name is empty";
    case NameProblem::DotName:
        return "\".\" and \"..\" name directories";
    case NameProblem::Separator:
        return "the name holds a directory separator";
    case NameProblem::ControlCharacter:
        return "the name holds a control character";
    case NameProblem::EdgeBlankOrQuote:
        return "the name starts or ends with a blank, or is quoted";
    case NameProblem::TooLong:
        return "the name is longer than a file name may be";
    }
    return {};
}

namespace {

bool taken(std::span<const std::string> names, std::string_view candidate) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& n) { return equalsNoCase(n, candidate); });
}

} // namespace

std::string nextFreeName(std::span<const std::string> names) {
    for (std::size_t k = 1;; ++k) {
        std::string candidate = "profile" + std::to_string(k);
        if (!taken(names, candidate)) {
            return candidate;
        }
    }
}

std::string copyName(std::string_view source, std::span<const std::string> names) {
    std::string candidate = std::string(source) + " copy";
    while (taken(names, candidate)) {
        candidate += " copy";
    }
    return candidate;
}

std::vector<LinkEntry> linksAfterDelete(std::span<const LinkEntry> links, int removed) {
    std::vector<LinkEntry> after;
    if (links.empty()) {
        return after;
    }
    const auto n = links.size() - 1;
    after.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const bool before = removed >= 0 && i < static_cast<std::size_t>(removed);
        after.push_back(before ? links[i] : links[i + 1]);
    }
    return after;
}

bool hasDirectory(std::string_view path) {
    return path.find('/') != std::string_view::npos;
}

std::string_view programFileName(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

} // namespace quellix::profiles
