// Any bytes must parse as an INI document, and the document must keep its
// promises: edits read back, untouched lines survive a round trip.
#include "fuzz_check.h"
#include "quellix/platform/ini.h"
#include "quellix/platform/ini_document.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using quellix::platform::IniDocument;

using quellix::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = quellix::fuzz::inputText(data, size);
    IniDocument doc = IniDocument::parse(bytes);

    for (const auto& section : doc.sectionNames())
        for (const auto& [key, value] : doc.entries(section)) {
            require(doc.value(section, key).has_value());
            auto shown = quellix::platform::truncateToUtf16Units(value, 259);
            require(shown.size() <= value.size());
        }

    // Serialising and parsing again gives the same document.
    const std::string once = doc.serialize();
    IniDocument again = IniDocument::parse(once);
    require(again.serialize() == once);
    require(again.sectionNames() == doc.sectionNames());

    // A write reads back, whatever was in the file before.
    if (doc.setValue("Fuzz Section", "key", "value")) {
        IniDocument edited = IniDocument::parse(doc.serialize());
        require(edited.value("fuzz section", "KEY") == "value");
    }
    doc.removeKey("Fuzz Section", "key");
    doc.removeSection("Fuzz Section");
    return 0;
}
