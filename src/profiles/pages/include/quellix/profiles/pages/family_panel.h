#pragma once
// One profile family's panel: its list of profiles (a combo whose items
// hold the profile names), the operations of its buttons and the controls
// that link a profile to a program.  Everything runs on the UI thread.
//
// The list's item at position i is the catalogue's profile i; an item's
// text and user data both hold the profile's name, which is also the base
// name of its file in the family's data directory.

#include "quellix/dui/list.h"
#include "quellix/profiles/catalogue.h"
#include "quellix/profiles/families.h"
#include "quellix/profiles/pages/profile_host.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quellix::profiles::pages {

// The controls and dialogs of a family.
struct FamilyControls {
    std::string_view list;   // "mp_deng_profile_combo"
    std::string_view prefix; // "mp_deng": name edit, link controls
    std::string_view button; // "mp_pro_deng": operation buttons
    device::DeviceKind page; // the device page the family belongs to
    // The link button accepts a program another profile of the family
    // links already.
    bool linkButtonSharesPrograms;
    // The family has a cancel-link button (prefix + "_cancle_link_btn").
    bool cancelLinkButton;
};
const FamilyControls& familyControls(Family family);

// The language key of the message shown for a name that cannot be a
// profile name.
inline constexpr const char* kBadNameMessage = "pro_bad_name_text";
// ... and for a profile file that could not be written where the user
// must know (a rename that was given up).
inline constexpr const char* kSaveFailedMessage = "pro_save_failed_text";
// ... and for a chosen program that is not an executable file.
inline constexpr const char* kNotProgramMessage = "pro_not_program_text";

class FamilyPanel {
public:
    FamilyPanel(Family family, ProfileHost& host);

    Family family() const { return family_; }
    const FamilyControls& controls() const { return familyControls(family_); }

    // --- what the profile watchers use (UI thread) ---
    // The list control exists in the window.
    bool HasList() const { return List() != nullptr; }
    // Items in the list (0 while the list control is missing).
    int ItemCount() const;
    // Selects the item at `position` without taking the focus; when that
    // changes the selection, Select runs before the call returns.  A
    // position below 0 clears the selection (no Select).  True when the
    // selection changed.
    bool SelectQuietly(int position);
    // The family's catalogue (its file and sections).
    Catalogue catalogue() const;

    // --- the operations ---
    // Builds the list from the catalogue; on a first run creates "profile1"
    // from the factory default.  False when that default could not be read.
    bool Fill();
    // The list's selection changed to `position`.
    void Select(int position);
    void Add();
    void Delete();
    void Copy();
    void Rename();
    void Import();
    void Export();
    void Reset();
    // Shows or hides the rename row.
    void ToggleEditRow();

    // --- the link controls ---
    void LinkCheckChanged();
    void LinkButtonClicked();
    void CancelLinkClicked();

    // The names the list holds (user data), in list order.
    std::vector<std::string> ItemNames() const;

private:
    dui::CComboUI* List() const;
    dui::CControlUI* Control(std::string_view suffix) const;
    int Selection() const;
    std::string ItemName(int position) const;
    void AppendItem(const std::string& name, bool styled);

    // Reads a profile file leniently into a zero-filled buffer of `bytes`
    // (the family's payload size unless given); shows "message_text_8" or
    // "message_text_9" and gives nothing when it cannot.
    std::optional<std::vector<std::uint8_t>> ReadForTransfer(const std::filesystem::path& path,
                                                             std::size_t bytes = 0);
    std::optional<std::vector<std::uint8_t>> ReadDefault(std::size_t bytes = 0);
    // The file of a listed profile (the name's file in any letter case).
    std::filesystem::path FileOf(const std::string& name) const;
    bool NameUsable(const std::string& name);
    void ShowMessage(const char* key);
    // The message of `key` with the failure's reason; nothing for success.
    void ShowFailure(const char* key, const Result& result);
    std::optional<std::string> AskForFile(bool save, std::string_view extension);
    // The effects of a selection or a reset on the other pages.
    void AfterSelect();
    void AfterReset();
    // Hides and disables the named panel when it is shown.
    void HidePanel(const char* name);

    // Link controls.
    void ShowLinked(const std::string& program);
    void ShowUnlinked();
    void SetCheck(bool on, bool notify);
    std::optional<std::string> AskForProgram();
    bool LinkedElsewhere(const std::string& program) const;
    void StoreLink(int position, const std::string& program);
    // A chosen path that is no executable file is refused with a message.
    bool IsProgram(const std::string& path);
    // Links the profile at `position` to `program` and shows it.
    void Link(int position, const std::string& program);

    Family family_;
    ProfileHost& host_;
    bool postMessages_ = false;
};

} // namespace quellix::profiles::pages
