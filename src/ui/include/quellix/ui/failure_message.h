#pragma once
// Failures the user caused, shown to the user with their reason: what could
// not be done (a language key), why (the result's status in the user's
// language) and the detail that names the device step or the file.

#include "quellix/dui/types.h"
#include "quellix/platform/result.h"

#include <string>
#include <string_view>

namespace quellix::ui {

// The language key of a status's reason: "result_no_reply", ...
std::string_view ReasonKey(Status status);

// "<text of whatKey> <reason>." plus the system's error text and the detail
// in brackets, in the current language.
std::string FailureText(std::string_view whatKey, const Result& result);

// Shows FailureText in the message box: modally on the UI thread, posted
// (without waiting) from any other thread or when `wait` is false (a step
// that must go on while the box is up).  Nothing for a success.
void ShowFailure(dui::HWND parent, std::string_view whatKey, const Result& result,
                 bool wait = true);

} // namespace quellix::ui
