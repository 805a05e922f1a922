#include "quellix/app/profile_watchers.h"

#include "quellix/dui/toolkit.h"
#include "quellix/platform/foreground_program.h"
#include "quellix/profiles/pages/profile_pages.h"

#include <memory>
#include <mutex>

namespace quellix::app {

namespace {

using profiles::pages::FamilyPanel;

// The family's panel, reached on the UI thread.  The work is posted and
// waited for together with the watcher's stop event, so that a watcher never
// holds up the shutdown waiting for a UI thread that no longer runs tasks:
// work that has not started when the stop comes is dropped.
class PanelList final : public profiles::WatchedList {
public:
    PanelList(CMainWnd& window, dui::Dispatcher& dispatcher, FamilyPanel* panel,
              platform::Event& stop)
        : window_(window), dispatcher_(dispatcher), panel_(panel), stop_(stop) {}

    bool exclusive(const std::function<void()>& work) override {
        struct Handoff {
            platform::Event done{platform::Event::Reset::Manual};
            std::mutex running; // held while the work runs, taken to cancel it
            bool cancelled = false;
            bool windowThere = false;
        };
        if (dispatcher_.isShutDown()) {
            return false;
        }
        auto handoff = std::make_shared<Handoff>();
        dispatcher_.post([handoff, &work, this] {
            std::lock_guard hold(handoff->running);
            if (handoff->cancelled) {
                return;
            }
            handoff->windowThere = window_.GetHWND() != dui::kNullWindow;
            if (handoff->windowThere) {
                work();
            }
            handoff->done.set();
        });
        if (platform::waitAny({&handoff->done, &stop_}, platform::kInfinite) != 0) {
            std::lock_guard hold(handoff->running);
            handoff->cancelled = true;
            if (!handoff->done.isSignalled()) {
                return false;
            }
        }
        return handoff->windowThere;
    }
    std::optional<int> itemCount() override {
        if (panel_ == nullptr || !panel_->HasList()) {
            return std::nullopt;
        }
        return panel_->ItemCount();
    }
    bool selectQuietly(int position) override { return panel_->SelectQuietly(position); }

private:
    CMainWnd& window_;
    dui::Dispatcher& dispatcher_;
    FamilyPanel* panel_;
    platform::Event& stop_;
};

FamilyPanel* panelOf(CMainWnd& window, profiles::Family family) {
    auto* page = dynamic_cast<profiles::pages::ProfilesPage*>(&window.Page(ui::Feature::Profiles));
    return page != nullptr ? &page->Panels().Panel(family) : nullptr;
}

} // namespace

std::function<void(platform::Event&)> profileWatcherWorker(CMainWnd& window,
                                                           const profiles::WatcherInfo& watcher,
                                                           const ProfileWatcherSetup& setup) {
    FamilyPanel* panel = panelOf(window, watcher.family);
    // The data directory does not change while the program runs.
    auto catalogue = std::make_shared<profiles::Catalogue>(
        panel != nullptr ? panel->catalogue()
                         : profiles::Catalogue(watcher.family, std::filesystem::path()));
    dui::Dispatcher& dispatcher = dui::Toolkit::current()->dispatcher();
    return [&window, &dispatcher, &watcher, panel, catalogue, setup](platform::Event& stop) {
        PanelList list(window, dispatcher, panel, stop);
        // Each watcher has its own connection to the display.
        const std::unique_ptr<platform::ForegroundProgram> foreground = setup.openForeground();
        profiles::runWatcher(watcher, list, *catalogue, *foreground, stop, setup.timing);
    };
}

} // namespace quellix::app
