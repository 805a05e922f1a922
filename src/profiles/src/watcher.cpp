#include "quellix/profiles/watcher.h"

#include "quellix/platform/debug.h"
#include "quellix/platform/event.h"
#include "quellix/platform/foreground_program.h"
#include "quellix/profiles/profile_file.h"

#include <algorithm>
#include <string>

namespace quellix::profiles {

namespace {

bool linkedAt(std::span<const LinkEntry> links, int position,
              const platform::ProgramInFront& program) {
    return position < static_cast<int>(links.size()) &&
           links[static_cast<std::size_t>(position)].links(program.executable.string());
}

} // namespace

std::optional<int> watcherChoice(int itemCount, std::span<const LinkEntry> links,
                                 std::string_view executable, int remembered) {
    const int scanned = std::min(itemCount, static_cast<int>(links.size()));
    for (int i = 0; i < scanned; ++i) {
        if (links[static_cast<std::size_t>(i)].links(executable)) {
            return i;
        }
    }
    if (remembered < 0 || remembered >= itemCount) {
        return std::nullopt;
    }
    return remembered;
}

PassResult watcherPass(WatchedList& list, const Catalogue& catalogue,
                       const platform::ProgramInFront& program) {
    bool listFound = true;
    const bool windowThere = list.exclusive([&] {
        const std::optional<int> items = list.itemCount();
        if (!items) {
            listFound = false;
            return;
        }
        if (!program.known()) {
            return;
        }
        const CatalogueView view = catalogue.read();
        const std::optional<int> choice =
            watcherChoice(*items, view.links, program.executable.string(), view.selection);
        if (!choice) {
            return;
        }
        if (list.selectQuietly(*choice)) {
            const std::string family(familyInfo(catalogue.family()).name);
            const std::string position = std::to_string(*choice);
            platform::debugOutput(linkedAt(view.links, *choice, program)
                                      ? family + " profile " + position + " selected: " +
                                            program.executable.string() + " is in front"
                                      : family + " profile " + position +
                                            " selected again: no linked program in front");
        }
        // Select wrote the position it applied; the key goes on naming the
        // profile the user chose, which comes back when the program leaves.
        // Nothing else runs on the list meanwhile, so this cannot replace a
        // choice the user made after the key was read.
        // A background step: the catalogue's write logs a failure itself.
        if (catalogue.selection() != view.selection) {
            ignoreResult(catalogue.setSelection(view.selection));
        }
    });
    return windowThere && listFound ? PassResult::Continue : PassResult::ListGone;
}

void runWatcher(const WatcherInfo& watcher, WatchedList& list, const Catalogue& catalogue,
                platform::ForegroundProgram& foreground, platform::Event& stop,
                WatcherTiming timing) {
    const std::string name(watcher.name);
    const auto pause = timing.afterSelect + timing.betweenPasses;
    // The reason last written, so that a desktop without a known program in
    // front gets one line, not one per pass.
    std::string unknownReason;
    while (!stop.wait(std::chrono::milliseconds(0))) {
        const platform::ProgramInFront program = foreground.programInFront();
        if (!program.known() && program.reason != unknownReason) {
            platform::debugOutput("文件名字访问失败");
            platform::debugOutput(name + ": program in front unknown (" + program.reason +
                                  "); the selection stays");
        }
        unknownReason = program.known() ? std::string() : program.reason;
        if (watcherPass(list, catalogue, program) == PassResult::ListGone) {
            // A list cut short by the stop is no lost list.
            if (stop.isSignalled()) {
                break;
            }
            platform::debugOutput(name + ": the profile list is gone, ending");
            return;
        }
        if (stop.wait(pause)) {
            break;
        }
    }
    platform::debugOutput(name + ": stopped");
}

} // namespace quellix::profiles
