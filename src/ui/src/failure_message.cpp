#include "quellix/ui/failure_message.h"

#include "quellix/dui/resource_manager.h"
#include "quellix/dui/toolkit.h"
#include "quellix/platform/debug.h"
#include "quellix/ui/msg_wnd.h"

#include <array>
#include <system_error>
#include <utility>

namespace quellix::ui {

namespace {

constexpr std::array<std::pair<Status, std::string_view>, 13> kReasonKeys = {{
    {Status::Ok, "result_ok"},
    {Status::NotConnected, "result_not_connected"},
    {Status::OpenFailed, "result_open_failed"},
    {Status::HungUp, "result_hung_up"},
    {Status::NoReply, "result_no_reply"},
    {Status::WriteFailed, "result_write_failed"},
    {Status::Rejected, "result_rejected"},
    {Status::Malformed, "result_malformed"},
    {Status::BadArgument, "result_bad_argument"},
    {Status::Unsupported, "result_unsupported"},
    {Status::Cancelled, "result_cancelled"},
    {Status::FileError, "result_file_error"},
    {Status::BadFile, "result_bad_file"},
}};

std::string textOf(std::string_view key) {
    const std::string k(key);
    if (dui::Toolkit* toolkit = dui::Toolkit::current()) {
        const std::string text = toolkit->resources().GetText(k);
        if (!text.empty()) {
            return text;
        }
    }
    return k;
}

} // namespace

std::string_view ReasonKey(Status status) {
    for (const auto& [s, key] : kReasonKeys) {
        if (s == status) {
            return key;
        }
    }
    return kReasonKeys[0].second;
}

std::string FailureText(std::string_view whatKey, const Result& result) {
    std::string text = textOf(whatKey) + " " + textOf(ReasonKey(result.status()));
    if (result.errorNumber() != 0) {
        text += " " + std::generic_category().message(result.errorNumber()) + ".";
    }
    if (!result.detail().empty()) {
        text += " [" + result.detail() + "]";
    }
    return text;
}

void ShowFailure(dui::HWND parent, std::string_view whatKey, const Result& result, bool wait) {
    if (result.ok()) {
        return;
    }
    platform::debugOutput(std::string(whatKey) + ": " + result.describe());
    const std::string text = FailureText(whatKey, result);
    dui::Toolkit* toolkit = dui::Toolkit::current();
    if (wait && toolkit != nullptr && toolkit->dispatcher().isUiThread()) {
        CMsgWnd::MessageBox(parent, text, false);
    } else {
        CMsgWnd::PostMessageText(parent, text);
    }
}

} // namespace quellix::ui
