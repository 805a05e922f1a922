#pragma once
// The profile panels on a small window built from the shipped skin's panel
// layouts, on the headless backend, with a host that records what the
// panels ask of the application.

#include "quellix/dui/dui.h"
#include "quellix/dui/headless.h"
#include "quellix/dui/resource_manager.h"
#include "quellix/profiles/pages/profile_pages.h"
#include "quellix/profiles/profile_file.h"
#include "quellix/ui/custom_controls.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quellix::profiles {
inline void PrintTo(const LinkEntry& link, std::ostream* out) {
    *out << "{" << link.flag << ", \"" << link.program << "\"}";
}
} // namespace quellix::profiles

namespace quellix::profiles::pages::test {

class PanelWindow final : public dui::WindowImplBase {
public:
    dui::CDuiString GetWindowClassName() const override { return "ProfilePanelsTest"; }
    dui::CDuiString GetSkinFile() override { return PROFILES_TEST_DATA "/profile_panels.xml"; }
    // As the main window routes them: both pages filter what is theirs.
    void Notify(dui::TNotifyUI& msg) override {
        if (profiles) {
            profiles->OnNotify(msg);
        }
        if (links) {
            links->OnNotify(msg);
        }
        WindowImplBase::Notify(msg);
    }
    std::unique_ptr<ProfilesPage> profiles;
    std::unique_ptr<ProfileLinksPage> links;
};

class RecordingHost final : public ProfileHost {
public:
    RecordingHost(PanelWindow& window, std::filesystem::path data, std::filesystem::path defaults)
        : window_(window), data_(std::move(data)), defaults_(std::move(defaults)) {}

    dui::CControlUI* FindControl(const std::string& name) override {
        return window_.FindControl(name);
    }
    dui::HWND Window() override { return window_.GetHWND(); }
    std::filesystem::path DataDirectory(Family) override { return data_; }
    std::filesystem::path DefaultsDirectory() override { return defaults_; }
    int KeyboardVariant() override { return variant; }
    bool Load(Family family, int position) override {
        // What the load would read: the payload's first byte tells which.
        const auto& info = familyInfo(family);
        std::vector<std::uint8_t> payload(info.payloadBytes, 0);
        const auto path = loadPath(family, data_, position);
        const bool ok =
            !path.empty() && readProfileFile(path, ReadMode::Exact, info.kind, payload).ok();
        add("load " + std::to_string(position) +
            (ok ? " byte " + std::to_string(payload[0]) : std::string(" missing")));
        return ok;
    }
    Result ResetToDefault(Family, std::span<const std::uint8_t> defaults) override {
        add("reset " + std::to_string(defaults.size()) + " byte " + std::to_string(defaults[0]));
        return Result::success();
    }
    void PlaceKeyboardLighting(std::span<const std::uint8_t> payload) override {
        add("place " + std::to_string(payload.size()));
    }
    Result WriteKeyPage(Family) override {
        add("key page");
        return Result::success();
    }
    void ApplyWheelSpeed() override { add("wheel"); }
    void RefreshPage(ui::Feature feature, device::DeviceKind page) override {
        add("refresh " + std::string(ui::featureName(feature)) + " " +
            std::to_string(device::kindIndex(page)));
    }
    void SetLightingChanged(device::DeviceKind page) override {
        add("changed " + std::to_string(device::kindIndex(page)));
    }

    std::vector<std::string> calls;
    int variant = 0;

private:
    void add(std::string call) { calls.push_back(std::move(call)); }
    PanelWindow& window_;
    std::filesystem::path data_;
    std::filesystem::path defaults_;
};

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto& resources = toolkit_.resources();
        resources.SetResourcePath(SHIPPED_SKIN_DIR);
        ASSERT_TRUE(resources.LoadResource("res.xml"));
        ui::registerCustomControls(toolkit_.factory());
        window_.profiles = std::make_unique<ProfilesPage>(panels_);
        window_.links = std::make_unique<ProfileLinksPage>(panels_);
        ASSERT_NE(window_.Create(dui::kNullWindow, "panels", 0, 0, 0, 0, 800, 1600),
                  dui::kNullWindow);
        window_.ShowWindow(true);
        backend_.Pump();
    }
    void TearDown() override {
        if (dui::IsWindow(window_.GetHWND())) {
            window_.DestroyWindow();
        }
    }

    // A profile file whose payload is all `fill`.
    void writeProfile(const std::filesystem::path& path, Family family, std::uint8_t fill) {
        const auto& info = familyInfo(family);
        ASSERT_TRUE(
            writeProfileFile(path, info.kind, std::vector<std::uint8_t>(info.payloadBytes, fill)));
    }
    void writeDefault(Family family, std::uint8_t fill, int variant = 0) {
        writeProfile(defaults_ / std::string(defaultFileName(family, variant)), family, fill);
    }
    // The first payload byte of a profile in the data directory, -1 when
    // it cannot be read.
    int payloadOf(const std::string& name, Family family) {
        const auto& info = familyInfo(family);
        std::vector<std::uint8_t> payload(info.payloadBytes, 0);
        const auto path = data_ / (name + std::string(info.extension));
        return readProfileFile(path, ReadMode::Lenient, info.kind, payload) ? payload[0] : -1;
    }
    // A catalogue of the given names (and links), as a user left it.
    void writeCatalogue(Family family, const std::vector<std::string>& names,
                        const std::vector<LinkEntry>& links = {}, int selection = 0) {
        const Catalogue cat(family, data_.path());
        ASSERT_TRUE(cat.setCount(static_cast<int>(names.size())));
        for (std::size_t i = 0; i < names.size(); ++i) {
            ASSERT_TRUE(cat.setName(static_cast<int>(i), names[i]));
            ASSERT_TRUE(cat.setLink(static_cast<int>(i),
                                    i < links.size() ? links[i] : LinkEntry{"0", " "}));
            writeProfile(cat.profilePath(names[i]), family, static_cast<std::uint8_t>(i + 1));
        }
        ASSERT_TRUE(cat.setSelection(selection));
    }
    FamilyPanel& panel(Family family) { return panels_->Panel(family); }
    dui::CComboUI& list(Family family) {
        return *window_.FindControl<dui::CComboUI>(std::string(familyControls(family).list));
    }
    std::vector<std::string> texts(Family family) {
        std::vector<std::string> out;
        for (int i = 0; i < list(family).GetCount(); ++i) {
            out.push_back(list(family).GetItemAt(i)->GetText());
        }
        return out;
    }
    std::string text(const std::string& control) { return window_.FindControl(control)->GetText(); }
    bool visible(const std::string& control) {
        return window_.FindControl(control)->IsOwnVisible();
    }
    bool checked(Family family) {
        return window_
            .FindControl<dui::COptionUI>(std::string(familyControls(family).prefix) +
                                         "_profile_link_check")
            ->IsSelected();
    }
    // Clicks a control as the user does.
    bool click(const std::string& control) {
        return dui::UserDriver(window_, backend_).Click(control);
    }
    // The message boxes shown since the last call, by language key.
    std::vector<std::string> boxes() {
        std::vector<std::string> keys;
        const auto& history = backend_.ModalHistory();
        for (std::size_t i = seenBoxes_; i < history.size(); ++i) {
            // A failure's box is its message's text with the reason after
            // it: the key (shown as is, no language being loaded) comes first.
            const std::string& text = history[i].messageText;
            keys.push_back(text.substr(0, text.find(' ')));
        }
        seenBoxes_ = history.size();
        return keys;
    }
    std::vector<std::string> takeCalls() { return std::exchange(host_.calls, {}); }

    dui::HeadlessBackend backend_;
    dui::Toolkit toolkit_{backend_};
    platform::test::TempDir data_;
    platform::test::TempDir defaults_;
    PanelWindow window_;
    RecordingHost host_{window_, data_.path(), defaults_.path()};
    std::shared_ptr<ProfilePanels> panels_ = std::make_shared<ProfilePanels>(host_);
    std::size_t seenBoxes_ = 0;
};

} // namespace quellix::profiles::pages::test
