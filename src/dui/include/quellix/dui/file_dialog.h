#pragma once
// Open and save file dialogs.
//
// Filters come as the platform strings the callers were written with:
// "Profile(*.PRO)\0*.PRO\0" (pairs separated by NUL characters) or
// "(*.png) | *.png |(*.*)|*.*||" (pairs separated by '|').

#include "quellix/dui/types.h"

namespace quellix::dui {

struct FileFilter {
    CDuiString name;                  // "Profile(*.PRO)"
    std::vector<CDuiString> patterns; // {"*.PRO"}
    friend bool operator==(const FileFilter&, const FileFilter&) = default;
};

// Throws ParseError when a name has no pattern or the string is empty.
std::vector<FileFilter> ParseFileFilter(std::string_view filter);

// Option flags (values of the platform's dialog flags, kept for callers).
inline constexpr DWORD OFN_READONLY = 0x1;
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x2;
inline constexpr DWORD OFN_HIDEREADONLY = 0x4;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x1000;

struct FileDialogRequest {
    bool save = false;
    HWND owner = kNullWindow;
    std::vector<FileFilter> filters;
    CDuiString defaultExtension; // "png": added to a typed name without extension
    CDuiString initialName;      // "*.png"
    CDuiString initialDirectory;
    DWORD options = 0;
};

// Builds the request from the platform-style arguments.
FileDialogRequest MakeFileDialogRequest(bool save, std::string_view filter,
                                        std::string_view defaultExtension,
                                        std::string_view initialName, DWORD options,
                                        HWND owner = kNullWindow);

// Shows the dialog through the current toolkit's backend; the chosen full
// path, or nothing when the user cancelled.
std::optional<CDuiString> ShowFileDialog(const FileDialogRequest& request);

// Adds the default extension to a chosen path that has none.
CDuiString ApplyDefaultExtension(const CDuiString& path, const CDuiString& extension);

} // namespace quellix::dui
