#pragma once
// CResourceManager: where layouts and images are found, the res.xml
// resource ids, and the language texts.
//
// Text of a key: the loaded language file's text when it has the key;
// else the text-query callback's answer; else nothing (the caller shows
// the key literally).  Loading a language file replaces the texts only
// when the whole file parsed; a bad file keeps the texts already loaded.

#include "quellix/dui/types.h"

#include <filesystem>
#include <map>
#include <optional>

namespace quellix::dui {

class IQueryControlText {
public:
    virtual ~IQueryControlText() = default;
    // The text for a key the language file does not have, or nothing.
    virtual std::optional<CDuiString> QueryControlText(const CDuiString& key,
                                                       const CDuiString& type) = 0;
};

class CResourceManager {
public:
    // The current toolkit's manager (throws std::logic_error without one).
    static CResourceManager* GetInstance();

    // Folder of layouts, images and language files; defaults to "skin/"
    // beside the executable.
    void SetResourcePath(const std::filesystem::path& path) { resourcePath_ = path; }
    const std::filesystem::path& GetResourcePath() const { return resourcePath_; }

    // Loads the resource list (res.xml); false with an error message when
    // the file is missing or malformed (the ids loaded before stay).
    bool LoadResource(const CDuiString& file = "res.xml");
    // The file a resource id names, or nothing.
    std::optional<CDuiString> GetXmlFile(const CDuiString& id) const;
    // The full path of a layout given by resource id or file name.
    std::filesystem::path ResolveLayout(const CDuiString& nameOrId) const;
    // The full path of a file relative to the resource folder (absolute paths pass).
    std::filesystem::path ResolveFile(const CDuiString& file) const;

    // Language id ("en", "cn_zh"), kept for callers; texts come from the file.
    void SetLanguage(const CDuiString& id) { language_ = id; }
    const CDuiString& GetLanguage() const { return language_; }
    // Loads "lan_en.xml" style files from the resource folder.
    bool LoadLanguage(const CDuiString& file);
    // Parses language XML text; on success replaces the texts.
    bool LoadLanguageText(const CDuiString& xml, const CDuiString& sourceName = "<text>");
    // The language file's id attribute.
    const CDuiString& GetLanguageFileId() const { return languageFileId_; }
    std::size_t GetTextCount() const { return texts_.size(); }

    std::optional<CDuiString> FindText(const CDuiString& key, const CDuiString& type = {}) const;
    // The text of a key, or the key itself when nothing knows it.
    CDuiString GetText(const CDuiString& key, const CDuiString& type = {}) const;

    void SetTextQueryInterface(IQueryControlText* query) { query_ = query; }
    IQueryControlText* GetTextQueryInterface() const { return query_; }
    // Re-shows every text of every window after a language change.
    void ReloadText();

    // Why the last load failed.
    const CDuiString& GetLastError() const { return lastError_; }

private:
    std::filesystem::path resourcePath_;
    std::map<CDuiString, CDuiString> resourceIds_;
    std::map<CDuiString, CDuiString> texts_;
    CDuiString language_;
    CDuiString languageFileId_;
    IQueryControlText* query_ = nullptr;
    CDuiString lastError_;
};

// The skin folder of the running program (platform::programData()).
std::filesystem::path DefaultResourcePath();

} // namespace quellix::dui
