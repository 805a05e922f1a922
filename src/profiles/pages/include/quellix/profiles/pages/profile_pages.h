#pragma once
// The feature pages of the profile panels: "Profiles" takes the lists'
// selections and the operation buttons, "ProfileLinks" the link controls.
// Both work on one set of six family panels, which the start-up fills in
// the order keyboard, mouse, mouse pad.

#include "quellix/profiles/pages/family_panel.h"
#include "quellix/ui/feature_page.h"

#include <array>
#include <memory>

namespace quellix::profiles::pages {

class ProfilePanels {
public:
    explicit ProfilePanels(ProfileHost& host);

    FamilyPanel& Panel(Family family) { return panels_[static_cast<std::size_t>(family)]; }
    // The panel whose list, button or link control has this name.
    FamilyPanel* PanelOfControl(std::string_view name);
    // Fill of every family; a kind whose first run failed for one family
    // leaves its later families empty until the next start.
    void FillAll();

private:
    std::array<FamilyPanel, kFamilyCount> panels_;
};

class ProfilesPage final : public ui::FeaturePage {
public:
    explicit ProfilesPage(std::shared_ptr<ProfilePanels> panels) : panels_(std::move(panels)) {}
    void OnNotify(dui::TNotifyUI& msg) override;
    void StartUp(ui::StartUpStep step) override;
    // The six panels, for whoever selects profiles besides the user.
    ProfilePanels& Panels() { return *panels_; }

private:
    std::shared_ptr<ProfilePanels> panels_;
};

class ProfileLinksPage final : public ui::FeaturePage {
public:
    explicit ProfileLinksPage(std::shared_ptr<ProfilePanels> panels) : panels_(std::move(panels)) {}
    void OnNotify(dui::TNotifyUI& msg) override;

private:
    std::shared_ptr<ProfilePanels> panels_;
};

} // namespace quellix::profiles::pages
