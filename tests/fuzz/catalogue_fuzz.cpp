// Any bytes given as a catalogue: every family's read must keep its
// promises (a bounded count, one name and one link per position), a pass
// must choose a listed position, the names must be refused or make a plain
// file name, and a delete must move the links as it says.
#include "fuzz_check.h"
#include "quellix/platform/ini.h"
#include "quellix/platform/ini_document.h"
#include "quellix/profiles/catalogue.h"
#include "quellix/profiles/watcher.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using quellix::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quellix::profiles;
    const std::string bytes = quellix::fuzz::inputText(data, size);
    const auto document = quellix::platform::IniDocument::parse(bytes);
    for (std::size_t f = 0; f < kFamilyCount; ++f) {
        const auto family = static_cast<Family>(f);
        const CatalogueView view = readCatalogue(document, family);
        require(view.count >= 0 && view.count <= kMaxCatalogueEntries);
        require(view.names.size() == static_cast<std::size_t>(view.count));
        require(view.links.size() == static_cast<std::size_t>(view.count));

        // Every linked program, and one no entry names, as the program in
        // front: the choice is a listed position, linked when not remembered.
        std::vector<std::string> programs{"/usr/bin/none"};
        for (const LinkEntry& link : view.links) {
            if (programs.size() < 8 && quellix::platform::leadingInteger(link.flag) == 1) {
                programs.push_back(link.program);
            }
        }
        for (const std::string& program : programs) {
            const auto choice = watcherChoice(view.count, view.links, program, view.selection);
            if (!choice) {
                continue;
            }
            require(*choice >= 0 && *choice < view.count);
            const LinkEntry& chosen = view.links[static_cast<std::size_t>(*choice)];
            require(*choice == view.selection ||
                    quellix::platform::leadingInteger(chosen.flag) == 1);
        }

        const Catalogue catalogue(family, "/data");
        for (const std::string& name : view.names) {
            const auto path = catalogue.profilePath(name);
            if (checkProfileName(name, familyInfo(family).extension) != NameProblem::None) {
                require(path.empty());
                continue;
            }
            require(!path.empty() && name.find('/') == std::string::npos);
            require(path.parent_path() == "/data");
        }

        if (view.count > 0) {
            const int removed = view.count / 2;
            const auto moved = linksAfterDelete(view.links, removed);
            require(moved.size() + 1 == view.links.size());
            for (std::size_t i = 0; i < moved.size(); ++i) {
                const std::size_t from = i < static_cast<std::size_t>(removed) ? i : i + 1;
                require(moved[i] == view.links[from]);
            }
        }
    }
    return 0;
}
