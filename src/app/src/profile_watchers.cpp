#include "quellix/app/profile_watchers.h"

#include "quellix/dui/toolkit.h"
#include "quellix/platform/foreground_program.h"
#include "quellix/profiles/pages/profile_pages.h"

#include <memory>

namespace quellix::app {

namespace {

using profiles::pages::FamilyPanel;

// The family's panel, reached on the UI thread with a blocking send.
class PanelList final : public profiles::WatchedList {
public:
    PanelList(CMainWnd& window, dui::Dispatcher& dispatcher, FamilyPanel* panel)
        : window_(window), dispatcher_(dispatcher), panel_(panel) {}

    bool exclusive(const std::function<void()>& work) override {
        bool windowThere = false;
        const bool ran = dispatcher_.send([&] {
            windowThere = window_.GetHWND() != dui::kNullWindow;
            if (windowThere) {
                work();
            }
        });
        return ran && windowThere;
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
};

FamilyPanel* panelOf(CMainWnd& window, profiles::Family family) {
    auto* page = dynamic_cast<profiles::pages::ProfilesPage*>(&window.Page(ui::Feature::Profiles));
    return page != nullptr ? &page->Panels().Panel(family) : nullptr;
}

} // namespace

std::function<void(platform::Event&)> profileWatcherWorker(CMainWnd& window,
                                                           const profiles::WatcherInfo& watcher) {
    FamilyPanel* panel = panelOf(window, watcher.family);
    // The data directory does not change while the program runs.
    auto catalogue = std::make_shared<profiles::Catalogue>(
        panel != nullptr ? panel->catalogue()
                         : profiles::Catalogue(watcher.family, std::filesystem::path()));
    dui::Dispatcher& dispatcher = dui::Toolkit::current()->dispatcher();
    return [&window, &dispatcher, &watcher, panel, catalogue](platform::Event& stop) {
        PanelList list(window, dispatcher, panel);
        // Each watcher has its own connection to the display.
        const std::unique_ptr<platform::ForegroundProgram> foreground =
            platform::openForegroundProgram();
        profiles::runWatcher(watcher, list, *catalogue, *foreground, stop);
    };
}

} // namespace quellix::app
