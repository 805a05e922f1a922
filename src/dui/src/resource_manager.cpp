#include "quellix/dui/resource_manager.h"

#include "skin_file.h"

#include "quellix/dui/toolkit.h"
#include "quellix/platform/debug.h"
#include "quellix/platform/paths.h"

#include <pugixml.hpp>

#include <system_error>

namespace quellix::dui {

namespace fs = std::filesystem;

namespace {

int LineOf(const std::string& text, std::ptrdiff_t offset) {
    int line = 1;
    for (std::ptrdiff_t i = 0; i < offset && i < static_cast<std::ptrdiff_t>(text.size()); ++i)
        if (text[static_cast<std::size_t>(i)] == '\n')
            ++line;
    return line;
}

} // namespace

fs::path DefaultResourcePath() {
    return platform::programData().skinDir;
}

CResourceManager* CResourceManager::GetInstance() {
    return &Toolkit::get().resources();
}

bool CResourceManager::LoadResource(const CDuiString& file) {
    const fs::path path = ResolveFile(file);
    std::string text;
    if (const Result read = ReadSkinFile(path, text); !read) {
        lastError_ =
            "resource list '" + path.string() + "' cannot be read (" + read.describe() + ")";
        platform::debugOutput(lastError_);
        return false;
    }
    pugi::xml_document doc;
    pugi::xml_parse_result parsed = doc.load_buffer(text.data(), text.size());
    if (!parsed) {
        lastError_ = path.string() + ":" + std::to_string(LineOf(text, parsed.offset)) + ": " +
                     parsed.description();
        platform::debugOutput(lastError_);
        return false;
    }
    pugi::xml_node root = doc.document_element();
    if (!EqualsNoCase(root.name(), "Res")) {
        lastError_ = path.string() + ": the root element must be <Res>";
        platform::debugOutput(lastError_);
        return false;
    }
    std::map<CDuiString, CDuiString> ids;
    for (pugi::xml_node node : root.children()) {
        if (node.type() != pugi::node_element)
            continue;
        const CDuiString id = node.attribute("id").value();
        const CDuiString target = node.attribute("file").value();
        if (id.empty() || target.empty()) {
            lastError_ = path.string() + ":" + std::to_string(LineOf(text, node.offset_debug())) +
                         ": <" + node.name() + "> needs both id and file";
            platform::debugOutput(lastError_);
            return false;
        }
        ids[id] = target;
    }
    for (auto& [id, target] : ids)
        resourceIds_[id] = target;
    lastError_.clear();
    return true;
}

std::optional<CDuiString> CResourceManager::GetXmlFile(const CDuiString& id) const {
    auto it = resourceIds_.find(id);
    if (it == resourceIds_.end())
        return std::nullopt;
    return it->second;
}

fs::path CResourceManager::ResolveLayout(const CDuiString& nameOrId) const {
    if (auto file = GetXmlFile(nameOrId))
        return ResolveFile(*file);
    return ResolveFile(nameOrId);
}

fs::path CResourceManager::ResolveFile(const CDuiString& file) const {
    fs::path path(file);
    if (path.is_absolute())
        return path;
    return resourcePath_ / path;
}

bool CResourceManager::LoadLanguage(const CDuiString& file) {
    const fs::path path = ResolveFile(file);
    std::string text;
    if (const Result read = ReadSkinFile(path, text); !read) {
        lastError_ =
            "language file '" + path.string() + "' cannot be read (" + read.describe() + ")";
        platform::debugOutput(lastError_);
        return false;
    }
    return LoadLanguageText(text, path.string());
}

bool CResourceManager::LoadLanguageText(const CDuiString& xml, const CDuiString& sourceName) {
    pugi::xml_document doc;
    pugi::xml_parse_result parsed = doc.load_buffer(xml.data(), xml.size());
    auto fail = [&](std::ptrdiff_t offset, const CDuiString& why) {
        lastError_ = sourceName + ":" + std::to_string(LineOf(xml, offset)) + ": " + why;
        platform::debugOutput(lastError_);
        return false;
    };
    if (!parsed)
        return fail(parsed.offset, parsed.description());
    pugi::xml_node root = doc.document_element();
    if (!EqualsNoCase(root.name(), "Language"))
        return fail(root.offset_debug(), "the root element must be <Language>");
    std::map<CDuiString, CDuiString> texts;
    for (pugi::xml_node node : root.children()) {
        if (node.type() != pugi::node_element)
            continue;
        if (!EqualsNoCase(node.name(), "Text"))
            return fail(node.offset_debug(),
                        CDuiString("unexpected element <") + node.name() + ">");
        const CDuiString key = node.attribute("key").value();
        if (key.empty())
            return fail(node.offset_debug(), "<Text> without a key");
        if (!texts.emplace(key, node.text().get()).second)
            return fail(node.offset_debug(), "key '" + key + "' appears twice");
    }
    texts_ = std::move(texts);
    languageFileId_ = root.attribute("id").value();
    lastError_.clear();
    return true;
}

std::optional<CDuiString> CResourceManager::FindText(const CDuiString& key,
                                                     const CDuiString& type) const {
    if (auto it = texts_.find(key); it != texts_.end())
        return it->second;
    if (query_ != nullptr)
        return query_->QueryControlText(key, type);
    return std::nullopt;
}

CDuiString CResourceManager::GetText(const CDuiString& key, const CDuiString& type) const {
    if (auto text = FindText(key, type))
        return *text;
    return key;
}

void CResourceManager::ReloadText() {
    // Texts are resolved whenever they are read; showing them again is a repaint.
    if (Toolkit* toolkit = Toolkit::current())
        toolkit->invalidateAll();
}

} // namespace quellix::dui
