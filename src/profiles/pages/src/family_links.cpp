// The link controls of a family's panel: the check that links the selected
// profile to a program, the button that chooses another program, and the
// cancel-link button.

#include "quellix/profiles/pages/family_panel.h"

#include "quellix/dui/file_dialog.h"
#include "quellix/platform/debug.h"
#include "quellix/ui/msg_wnd.h"

#include <unistd.h>

namespace quellix::profiles::pages {

namespace {

// Programs are chosen where most of them live.
constexpr const char* kProgramDirectory = "/usr/bin";

bool isExecutableFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

} // namespace

void FamilyPanel::ShowLinked(const std::string& program) {
    if (auto* edit = Control("_profile_link_edit")) {
        edit->SetText(std::string(programFileName(program)));
    }
    if (auto* row = Control("_profile_link_name_hor")) {
        row->SetVisible(true);
    }
}

void FamilyPanel::ShowUnlinked() {
    if (auto* edit = Control("_profile_link_edit")) {
        edit->SetText(std::string(kNoProgram));
    }
    if (auto* row = Control("_profile_link_name_hor")) {
        row->SetVisible(false);
    }
}

void FamilyPanel::SetCheck(bool on, bool notify) {
    if (auto* check = dynamic_cast<dui::COptionUI*>(Control("_profile_link_check"))) {
        check->Selected(on, notify);
        check->Invalidate();
    }
}

std::optional<std::string> FamilyPanel::AskForProgram() {
    dui::FileDialogRequest request = dui::MakeFileDialogRequest(
        false, "(*) | * ||", "", "", dui::OFN_HIDEREADONLY | dui::OFN_FILEMUSTEXIST);
    request.initialDirectory = kProgramDirectory;
    return dui::ShowFileDialog(request);
}

bool FamilyPanel::LinkedElsewhere(const std::string& program) const {
    const CatalogueView view = catalogue().read();
    for (int i = 0; i < ItemCount() && i < view.count; ++i) {
        if (view.links[static_cast<std::size_t>(i)].links(program)) {
            return true;
        }
    }
    return false;
}

void FamilyPanel::StoreLink(int position, const std::string& program) {
    const Catalogue cat = catalogue();
    const LinkEntry link =
        program.empty() ? LinkEntry{"0", std::string(kNoProgram)} : LinkEntry{"1", program};
    ShowFailure(kSaveFailedMessage, cat.setLink(position, link));
}

bool FamilyPanel::IsProgram(const std::string& path) {
    if (hasDirectory(path) && isExecutableFile(path)) {
        return true;
    }
    platform::debugOutput(path + " is not a program");
    ShowMessage(kNotProgramMessage);
    return false;
}

void FamilyPanel::Link(int position, const std::string& program) {
    ShowLinked(program);
    StoreLink(position, program);
    SetCheck(true, false);
}

void FamilyPanel::LinkCheckChanged() {
    const int position = Selection();
    auto* check = dynamic_cast<dui::COptionUI*>(Control("_profile_link_check"));
    if (position < 0 || check == nullptr) {
        return;
    }
    if (!check->IsSelected()) {
        ShowUnlinked();
        StoreLink(position, {});
        return;
    }
    const auto program = AskForProgram();
    if (!program) {
        SetCheck(false, true);
        ShowUnlinked();
        StoreLink(position, {});
        return;
    }
    // Choosing again the program this profile links removes the link.
    if (LinkedElsewhere(*program)) {
        ShowMessage("message_text_13");
        SetCheck(false, true);
        return;
    }
    if (!IsProgram(*program)) {
        SetCheck(false, true);
        ShowUnlinked();
        StoreLink(position, {});
        return;
    }
    Link(position, *program);
}

void FamilyPanel::LinkButtonClicked() {
    const int position = Selection();
    if (position < 0) {
        return;
    }
    const auto program = AskForProgram();
    if (!program) {
        return;
    }
    if (!controls().linkButtonSharesPrograms && LinkedElsewhere(*program)) {
        ShowMessage("message_text_13");
        SetCheck(false, true);
        return;
    }
    if (IsProgram(*program)) {
        Link(position, *program);
    }
}

void FamilyPanel::CancelLinkClicked() {
    SetCheck(false, true);
    if (auto* edit = Control("_profile_link_edit")) {
        edit->SetText(std::string(kNoProgram));
    }
    if (auto* row = Control("_profile_link_name_hor")) {
        row->SetVisible(true);
    }
}

} // namespace quellix::profiles::pages
