#include "quellix/dui/file_dialog.h"

#include "quellix/dui/toolkit.h"

#include <cctype>
#include <filesystem>

namespace quellix::dui {

namespace {

std::string Trim(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1])))
        --e;
    return std::string(text.substr(b, e - b));
}

} // namespace

std::vector<FileFilter> ParseFileFilter(std::string_view filter) {
    const char separator = filter.find('\0') != std::string_view::npos ? '\0' : '|';
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start <= filter.size()) {
        std::size_t end = filter.find(separator, start);
        if (end == std::string_view::npos)
            end = filter.size();
        if (std::string piece = Trim(filter.substr(start, end - start)); !piece.empty())
            pieces.push_back(piece);
        start = end + 1;
    }
    if (pieces.empty())
        throw ParseError("empty file filter");
    if (pieces.size() % 2 != 0)
        throw ParseError("file filter entry '" + pieces.back() + "' has no pattern");
    std::vector<FileFilter> filters;
    for (std::size_t i = 0; i < pieces.size(); i += 2) {
        FileFilter entry{pieces[i], {}};
        std::string_view patterns = pieces[i + 1];
        std::size_t p = 0;
        while (p <= patterns.size()) {
            std::size_t semi = patterns.find(';', p);
            if (semi == std::string_view::npos)
                semi = patterns.size();
            if (std::string pattern = Trim(patterns.substr(p, semi - p)); !pattern.empty())
                entry.patterns.push_back(pattern);
            p = semi + 1;
        }
        if (entry.patterns.empty())
            throw ParseError("file filter entry '" + entry.name + "' has no pattern");
        filters.push_back(std::move(entry));
    }
    return filters;
}

FileDialogRequest MakeFileDialogRequest(bool save, std::string_view filter,
                                        std::string_view defaultExtension,
                                        std::string_view initialName, DWORD options, HWND owner) {
    FileDialogRequest request;
    request.save = save;
    request.owner = owner;
    request.filters = ParseFileFilter(filter);
    request.defaultExtension = Trim(defaultExtension);
    if (!request.defaultExtension.empty() && request.defaultExtension.front() == '.')
        request.defaultExtension.erase(0, 1);
    request.initialName = Trim(initialName);
    request.options = options;
    return request;
}

CDuiString ApplyDefaultExtension(const CDuiString& path, const CDuiString& extension) {
    if (extension.empty() || std::filesystem::path(path).has_extension())
        return path;
    return path + "." + extension;
}

std::optional<CDuiString> ShowFileDialog(const FileDialogRequest& request) {
    std::optional<CDuiString> chosen = Toolkit::get().backend().showFileDialog(request);
    if (!chosen || chosen->empty())
        return std::nullopt;
    return ApplyDefaultExtension(*chosen, request.defaultExtension);
}

} // namespace quellix::dui
