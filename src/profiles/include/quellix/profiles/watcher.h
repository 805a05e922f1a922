#pragma once
// The profile watchers: one thread per family (mouse lighting has none)
// that selects a profile linked to the program in front and brings the
// user's own selection back when that program leaves the front.
//
// A pass decides from the list's item count, the catalogue and the program
// in front alone; the watchers keep no state between passes except what the
// list and the catalogue hold.  The list belongs to the UI thread: a pass
// reaches it through WatchedList, which runs the list work where the user's
// own selections cannot interleave with it.

#include "quellix/profiles/catalogue.h"
#include "quellix/profiles/families.h"

#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

namespace quellix::platform {
class Event;
class ForegroundProgram;
struct ProgramInFront;
} // namespace quellix::platform

namespace quellix::profiles {

struct WatcherInfo {
    std::string_view name; // names the watcher in diagnostic lines
    Family family;
};
// The five watchers in their start order.
inline constexpr std::array<WatcherInfo, 5> kWatchers = {{
    {"keyboard lighting profile watcher", Family::KeyboardLighting},
    {"keyboard key profile watcher", Family::KeyboardKeys},
    {"mouse device profile watcher", Family::MouseDevice},
    {"mouse key profile watcher", Family::MouseKeys},
    {"mouse pad lighting profile watcher", Family::PadLighting},
}};

// Pure: the position a pass selects.  The lowest of the first `itemCount`
// positions whose link flag reads 1 and whose program is `executable`
// (letter case ignored) wins; without a match the remembered selection
// comes back.  Nothing when that position is not an item of the list (an
// empty list, a damaged selection key).
std::optional<int> watcherChoice(int itemCount, std::span<const LinkEntry> links,
                                 std::string_view executable, int remembered);

// The family's list as a pass sees it.
class WatchedList {
public:
    virtual ~WatchedList() = default;
    // Runs `work` where the user's own selections cannot run meanwhile (the
    // UI thread) and returns after it ran; false, without running it, when
    // the window is gone (or a stop ended the wait for the UI thread).
    virtual bool exclusive(const std::function<void()>& work) = 0;
    // Within exclusive(): the items of the list; nothing when the list
    // control cannot be found.
    virtual std::optional<int> itemCount() = 0;
    // Within exclusive(): selects `position` without taking the focus;
    // when that changes the selection, the family's Select runs (it loads
    // and applies the profile and writes the selection key).  True when the
    // selection changed.
    virtual bool selectQuietly(int position) = 0;
};

struct WatcherTiming {
    std::chrono::milliseconds afterSelect{100};
    std::chrono::milliseconds betweenPasses{2000};
};

enum class PassResult { Continue, ListGone };

// One pass with the program found in front.  The selection key is read,
// the choice selected and the key written back within one exclusive() call,
// so a profile the user selects while a linked program is in front stays
// the remembered one.  An unknown program in front changes nothing: the
// user's selection stays and nothing is written.
PassResult watcherPass(WatchedList& list, const Catalogue& catalogue,
                       const platform::ProgramInFront& program);

// The thread body: a pass, the pause after it, and again, until `stop` is
// signalled (every pause is a wait on it) or the list is gone.  Writes a
// diagnostic line naming the watcher when it ends.
void runWatcher(const WatcherInfo& watcher, WatchedList& list, const Catalogue& catalogue,
                platform::ForegroundProgram& foreground, platform::Event& stop,
                WatcherTiming timing = {});

} // namespace quellix::profiles
