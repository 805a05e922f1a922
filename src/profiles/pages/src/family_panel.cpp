#include "quellix/profiles/pages/family_panel.h"

#include "family_effects.h"

#include "quellix/dui/file_dialog.h"
#include "quellix/platform/debug.h"
#include "quellix/profiles/profile_file.h"
#include "quellix/ui/failure_message.h"
#include "quellix/ui/msg_wnd.h"

#include <algorithm>
#include <cerrno>

namespace quellix::profiles::pages {

namespace {

// The open and save dialogs' options: hide read-only, prompt on overwrite.
constexpr dui::DWORD kDialogOptions = dui::OFN_HIDEREADONLY | dui::OFN_OVERWRITEPROMPT;
constexpr int kItemHeight = 25;
constexpr const char* kItemStyle = "listex_item_style";

std::string withSuffix(std::string_view prefix, std::string_view suffix) {
    return std::string(prefix) + std::string(suffix);
}

// "led" for ".led".
std::string_view bareExtension(std::string_view extension) {
    return extension.substr(extension.find_first_not_of('.'));
}

} // namespace

FamilyPanel::FamilyPanel(Family family, ProfileHost& host) : family_(family), host_(host) {}

// ------------------------------------------------------------ controls

dui::CComboUI* FamilyPanel::List() const {
    return dynamic_cast<dui::CComboUI*>(host_.FindControl(std::string(controls().list)));
}

dui::CControlUI* FamilyPanel::Control(std::string_view suffix) const {
    return host_.FindControl(withSuffix(controls().prefix, suffix));
}

int FamilyPanel::ItemCount() const {
    const auto* list = List();
    return list != nullptr ? list->GetCount() : 0;
}

int FamilyPanel::Selection() const {
    const auto* list = List();
    return list != nullptr ? list->GetCurSel() : -1;
}

std::string FamilyPanel::ItemName(int position) const {
    const auto* list = List();
    if (list == nullptr || position < 0 || position >= list->GetCount()) {
        return {};
    }
    return list->GetItemAt(position)->GetUserData();
}

std::vector<std::string> FamilyPanel::ItemNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < ItemCount(); ++i) {
        names.push_back(ItemName(i));
    }
    return names;
}

void FamilyPanel::AppendItem(const std::string& name, bool styled) {
    auto* list = List();
    if (list == nullptr) {
        return;
    }
    auto* item = new dui::CListLabelElementUI;
    if (styled) {
        item->SetFixedHeight(kItemHeight);
        item->SetAttribute("style", kItemStyle);
    }
    item->SetText(name);
    item->SetUserData(name);
    list->Add(item);
}

bool FamilyPanel::SelectQuietly(int position) {
    auto* list = List();
    if (list == nullptr) {
        return false;
    }
    const int before = list->GetCurSel();
    list->SelectItem(position, false, true);
    return list->GetCurSel() != before;
}

Catalogue FamilyPanel::catalogue() const {
    return Catalogue(family_, host_.DataDirectory(family_));
}

void FamilyPanel::ShowMessage(const char* key) {
    if (postMessages_) {
        ui::CMsgWnd::PostMessageBox(host_.Window(), key);
    } else {
        ui::CMsgWnd::MessageBox(host_.Window(), key);
    }
}

void FamilyPanel::ShowFailure(const char* key, const Result& result) {
    ui::ShowFailure(host_.Window(), key, result, !postMessages_);
}

// ------------------------------------------------------------ files

std::filesystem::path FamilyPanel::FileOf(const std::string& name) const {
    const Catalogue cat = catalogue();
    const std::filesystem::path exact = cat.profilePath(name);
    if (exact.empty()) {
        return {};
    }
    return resolveNoCase(cat.directory(), exact.filename().string());
}

std::optional<std::vector<std::uint8_t>>
FamilyPanel::ReadForTransfer(const std::filesystem::path& path, std::size_t bytes) {
    const FamilyInfo& info = familyInfo(family_);
    std::vector<std::uint8_t> payload(bytes != 0 ? bytes : info.payloadBytes, 0);
    const Result result = path.empty()
                              ? Result::failure(Status::FileError, "no file", ENOENT)
                              : readProfileFile(path, ReadMode::Lenient, info.kind, payload);
    if (result) {
        return payload;
    }
    platform::debugOutput(std::string(readDiagnostic(result)) + " " + path.string());
    ShowFailure(result == Status::BadFile ? "message_text_9" : "message_text_8", result);
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> FamilyPanel::ReadDefault(std::size_t bytes) {
    const std::string_view name = defaultFileName(family_, host_.KeyboardVariant());
    return ReadForTransfer(resolveNoCase(host_.DefaultsDirectory(), name), bytes);
}

bool FamilyPanel::NameUsable(const std::string& name) {
    const NameProblem problem = checkProfileName(name, familyInfo(family_).extension);
    if (problem == NameProblem::None) {
        return true;
    }
    platform::debugOutput("profile name refused (" + std::string(describe(problem)) + ")");
    ShowMessage(kBadNameMessage);
    return false;
}

std::optional<std::string> FamilyPanel::AskForFile(bool save, std::string_view extension) {
    const std::string bare(bareExtension(extension));
    const std::string filter = "(*." + bare + ") | *." + bare + " ||";
    const auto request =
        dui::MakeFileDialogRequest(save, filter, bare, "*." + bare, kDialogOptions);
    return dui::ShowFileDialog(request);
}

// ------------------------------------------------------------ Fill

bool FamilyPanel::Fill() {
    auto* list = List();
    if (list == nullptr) {
        platform::debugOutput("profile list " + std::string(controls().list) + " is missing");
        return true;
    }
    list->RemoveAll();
    const Catalogue cat = catalogue();
    const CatalogueView view = cat.read();
    if (view.count != 0) {
        for (const std::string& name : view.names) {
            AppendItem(name, true);
        }
        return true;
    }
    // First run: the first profile is made from the factory default.  The
    // start-up sequence goes on while a box says what is missing.
    postMessages_ = true;
    const auto payload = ReadDefault();
    postMessages_ = false;
    if (!payload) {
        return false;
    }
    const std::string first = "profile1";
    FirstFailure failure;
    failure.note(writeProfileFile(cat.profilePath(first), familyInfo(family_).kind, *payload));
    AppendItem(first, true);
    failure.note(cat.setCount(1));
    failure.note(cat.setLinkFlag(0, "0"));
    failure.note(cat.setName(0, first));
    failure.note(cat.setSelection(0));
    postMessages_ = true;
    ShowFailure(kSaveFailedMessage, failure.result());
    postMessages_ = false;
    return true;
}

// ------------------------------------------------------------ Select

void FamilyPanel::Select(int position) {
    if (position < 0 || position >= ItemCount()) {
        return;
    }
    const Catalogue cat = catalogue();
    if (auto* edit = Control("_profile_name_edit")) {
        edit->SetText(ItemName(position));
    }
    // The profile still applies when the choice cannot be remembered; the
    // write logs why.
    ignoreResult(cat.setSelection(position));
    if (cat.linkFlag(position) != 0) {
        const std::string program = cat.program(position);
        if (hasDirectory(program)) {
            ShowLinked(program);
            SetCheck(true, false);
        } else {
            // A damaged entry names no program: shown as not linked, and
            // the profile is applied all the same.
            platform::debugOutput(cat.file().string() + ": link " + std::to_string(position) +
                                  " names no program");
            ShowUnlinked();
            SetCheck(false, false);
        }
    } else {
        ShowUnlinked();
        SetCheck(false, true);
    }
    host_.Load(family_, position);
    AfterSelect();
}

void FamilyPanel::AfterSelect() {
    const Effects& e = selectEffects(family_);
    const device::DeviceKind page = controls().page;
    if (e.hiddenPanel != nullptr) {
        HidePanel(e.hiddenPanel);
    }
    if (e.wheelSpeed) {
        host_.ApplyWheelSpeed();
    }
    if (e.refresh != ui::Feature::Count) {
        host_.RefreshPage(e.refresh, page);
    }
    if (e.lightingChanged) {
        host_.SetLightingChanged(page);
    }
    if (e.keyLabels) {
        host_.RefreshPage(ui::Feature::KeyAssignment, page);
    }
    if (e.keyPage) {
        ShowFailure("message_device_failed", host_.WriteKeyPage(family_));
    }
}

// ------------------------------------------------------------ Add

void FamilyPanel::Add() {
    const std::string name = nextFreeName(ItemNames());
    AppendItem(name, true);
    const int position = ItemCount() - 1;
    const Catalogue cat = catalogue();
    FirstFailure failure;
    failure.note(cat.setCount(ItemCount()));
    failure.note(cat.setName(position, name));
    failure.note(cat.setLinkFlag(position, "0"));
    const std::filesystem::path file = cat.profilePath(name);
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    const auto payload = ReadDefault();
    if (!payload) {
        return; // the entry stays, without a file, as the user sees it
    }
    if (family_ == Family::KeyboardLighting) {
        host_.PlaceKeyboardLighting(*payload);
    }
    failure.note(writeProfileFile(file, familyInfo(family_).kind, *payload));
    ShowFailure(kSaveFailedMessage, failure.result());
    SelectQuietly(position);
}

// ------------------------------------------------------------ Delete

void FamilyPanel::Delete() {
    if (ItemCount() == 1) {
        ShowMessage("message_text_11");
        return;
    }
    if (ui::CMsgWnd::MessageBox(host_.Window(), "message_text_12") != ui::CMsgWnd::kResultConfirm) {
        return;
    }
    const int removed = Selection();
    auto* list = List();
    if (removed < 0 || list == nullptr) {
        return;
    }
    const Catalogue cat = catalogue();
    std::vector<LinkEntry> links;
    for (int i = 0; i < ItemCount(); ++i) {
        links.push_back(cat.link(i));
    }
    if (const auto file = FileOf(ItemName(removed)); !file.empty()) {
        std::error_code ignored;
        std::filesystem::remove(file, ignored);
    }
    list->RemoveAt(removed);
    const int n = ItemCount();
    FirstFailure failure;
    failure.note(cat.setCount(n));
    const std::vector<LinkEntry> moved = linksAfterDelete(links, removed);
    for (int i = 0; i < n; ++i) {
        failure.note(cat.setName(i, ItemName(i)));
        failure.note(cat.setLink(i, moved[static_cast<std::size_t>(i)]));
    }
    ShowFailure(kSaveFailedMessage, failure.result());
    SelectQuietly(n - 1);
}

// ------------------------------------------------------------ Copy

void FamilyPanel::Copy() {
    const int source = Selection();
    if (source < 0) {
        return;
    }
    const std::string name = copyName(ItemName(source), ItemNames());
    if (!NameUsable(name)) {
        return;
    }
    const auto payload = ReadForTransfer(FileOf(ItemName(source)));
    if (!payload) {
        return;
    }
    const Catalogue cat = catalogue();
    if (Result written =
            writeProfileFile(cat.profilePath(name), familyInfo(family_).kind, *payload);
        !written) {
        ShowFailure(kSaveFailedMessage, written); // no entry for a copy that has no file
        return;
    }
    AppendItem(name, false);
    const int position = ItemCount() - 1;
    FirstFailure failure;
    failure.note(cat.setCount(ItemCount()));
    failure.note(cat.setName(position, name));
    // A copy starts unlinked: the position may hold the link of a profile
    // deleted earlier.
    failure.note(cat.setLink(position, {"0", std::string(kNoProgram)}));
    ShowFailure(kSaveFailedMessage, failure.result());
    SelectQuietly(position);
}

// ------------------------------------------------------------ Rename

void FamilyPanel::Rename() {
    auto* edit = Control("_profile_name_edit");
    const std::string name = edit != nullptr ? edit->GetText() : std::string();
    if (name.empty()) {
        ShowMessage("message_text_14");
        return;
    }
    const auto* list = List();
    for (int i = 0; i < ItemCount(); ++i) {
        if (equalsNoCase(list->GetItemAt(i)->GetText(), name)) {
            ShowMessage("message_text_15");
            return;
        }
    }
    if (!NameUsable(name)) {
        return;
    }
    const int position = Selection();
    if (position < 0) {
        return;
    }
    // Nothing is lost on the way: the new file is written and read back
    // before the catalogue names it, and the old file goes last.
    const std::string old = ItemName(position);
    const std::filesystem::path oldFile = FileOf(old);
    const auto payload = ReadForTransfer(oldFile);
    if (!payload) {
        return;
    }
    const Catalogue cat = catalogue();
    const FamilyInfo& info = familyInfo(family_);
    const std::filesystem::path newFile = cat.profilePath(name);
    const Result renamed = [&] {
        std::vector<std::uint8_t> check(payload->size(), 0);
        if (Result written = writeProfileFile(newFile, info.kind, *payload); !written) {
            return written;
        }
        if (Result back = readProfileFile(newFile, ReadMode::Exact, info.kind, check); !back) {
            return back;
        }
        if (check != *payload) {
            return Result::failure(Status::BadFile, "read back differently, " + newFile.string());
        }
        if (Result named = cat.setName(position, name); !named) {
            return named;
        }
        if (cat.name(position) != name) {
            return Result::failure(Status::BadFile,
                                   "the catalogue kept another name, " + cat.file().string());
        }
        return Result::success();
    }();
    if (!renamed) {
        platform::debugOutput("rename of profile " + old + " to " + name + " failed; kept " + old);
        // Back to the old name; the box below already names the failure.
        ignoreResult(cat.setName(position, old));
        std::error_code ignored;
        if (newFile != oldFile) {
            std::filesystem::remove(newFile, ignored);
        }
        ShowFailure(kSaveFailedMessage, renamed);
        return;
    }
    std::error_code ignored;
    std::filesystem::remove(oldFile, ignored);
    auto* item = List()->GetItemAt(position);
    item->SetText(name);
    item->SetUserData(name);
    edit->SetText(name);
    List()->Invalidate();
}

// ------------------------------------------------------------ Import, Export

void FamilyPanel::Import() {
    const int position = Selection();
    if (position < 0) {
        return;
    }
    const auto chosen = AskForFile(false, familyInfo(family_).extension);
    if (!chosen) {
        return;
    }
    const auto payload = ReadForTransfer(*chosen);
    if (!payload) {
        return;
    }
    if (Result written =
            writeProfileFile(FileOf(ItemName(position)), familyInfo(family_).kind, *payload);
        !written) {
        ShowFailure(kSaveFailedMessage, written); // the profile keeps its contents
        return;
    }
    // Away and back, so Select loads the imported payload.
    SelectQuietly(position - 1);
    SelectQuietly(position);
}

void FamilyPanel::Export() {
    const int position = Selection();
    if (position < 0) {
        return;
    }
    const auto chosen = AskForFile(true, familyInfo(family_).extension);
    if (!chosen) {
        return;
    }
    const auto payload = ReadForTransfer(FileOf(ItemName(position)));
    if (!payload) {
        return;
    }
    ShowFailure(kSaveFailedMessage, writeProfileFile(*chosen, familyInfo(family_).kind, *payload));
}

// ------------------------------------------------------------ Reset

void FamilyPanel::Reset() {
    if (const char* name = panelHiddenBeforeReset(family_)) {
        HidePanel(name);
    }
    const auto defaults = ReadDefault(resetDefaultBytes(family_));
    if (!defaults) {
        return;
    }
    ShowFailure(kSaveFailedMessage, host_.ResetToDefault(family_, *defaults));
    AfterReset();
}

void FamilyPanel::HidePanel(const char* name) {
    if (auto* panel = host_.FindControl(name); panel != nullptr && panel->IsVisible()) {
        panel->SetVisible(false);
        panel->SetEnabled(false);
    }
}

void FamilyPanel::AfterReset() {
    const Effects& e = resetEffects(family_);
    if (e.refresh != ui::Feature::Count) {
        host_.RefreshPage(e.refresh, controls().page);
    }
    if (e.lightingChanged) {
        host_.SetLightingChanged(controls().page);
    }
}

void FamilyPanel::ToggleEditRow() {
    if (auto* row = Control("_profile_edit")) {
        row->SetVisible(!row->IsVisible());
    }
}

} // namespace quellix::profiles::pages
