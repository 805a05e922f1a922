#include "skin_tree.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <set>
#include <stdexcept>

namespace fs = std::filesystem;

namespace quellix::skintest {
namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// Class names the main window answers with a sub-layout.
const std::map<std::string, std::string>& subLayouts() {
    static const std::map<std::string, std::string> table = {
        {"kb_key_ui", "keyboard_key.xml"},     {"kb_deng_ui", "keyboard_deng.xml"},
        {"kb_macro_ui", "keyboard_macro.xml"}, {"ms_deng_ui", "Mouse_deng.xml"},
        {"ms_macro_ui", "Mouse_macro.xml"},    {"ms_key_ui", "Mouse_key.xml"},
        {"mp_deng_ui", "MousePad_deng.xml"},   {"ms_dpi_ui", "Mouse_DPI.xml"},
        {"ms_cursor_ui", "Mouse_cursor.xml"},  {"kb_cursor_ui", "Mouse_cursor.xml"},
    };
    return table;
}

Control build(const pugi::xml_node& node, const std::string& file, std::vector<std::string>& stack);

// Fonts, default attributes and styles configure the window, they are no controls.
bool isResourceElement(const pugi::xml_node& node) {
    std::string n = node.name();
    return n == "Font" || n == "Default" || n == "Style";
}

std::vector<Control> buildFile(const std::string& file, std::vector<std::string>& stack) {
    if (std::find(stack.begin(), stack.end(), file) != stack.end()) {
        throw std::runtime_error("include cycle through " + file);
    }
    pugi::xml_document doc;
    auto result = parseFile(skinDir() / file, doc);
    if (!result) {
        throw std::runtime_error(file + ": " + result.description());
    }
    stack.push_back(file);
    std::vector<Control> out;
    pugi::xml_node root = doc.document_element();
    if (std::string(root.name()) == "Window") {
        // A window file: its first control element is the root control.
        for (pugi::xml_node child : root.children()) {
            if (child.type() == pugi::node_element && !isResourceElement(child)) {
                out.push_back(build(child, file, stack));
            }
        }
    } else {
        out.push_back(build(root, file, stack));
    }
    stack.pop_back();
    return out;
}

Control build(const pugi::xml_node& node, const std::string& file,
              std::vector<std::string>& stack) {
    Control c;
    c.className = node.name();
    c.file = file;
    for (pugi::xml_attribute a : node.attributes()) {
        c.attributes[a.name()] = a.value();
    }
    if (c.className == "Include") {
        auto included = buildFile(c.attr("source"), stack);
        if (included.size() != 1) {
            throw std::runtime_error(file + ": include must hold one root control");
        }
        return included.front();
    }
    if (auto sub = subLayoutFor(c.className)) {
        auto built = buildFile(*sub, stack);
        c.children = std::move(built);
        return c;
    }
    for (pugi::xml_node child : node.children()) {
        if (child.type() == pugi::node_element && !isResourceElement(child)) {
            c.children.push_back(build(child, file, stack));
        }
    }
    return c;
}

} // namespace

fs::path skinDir() {
    return fs::path(QUELLIX_SKIN_DIR);
}

std::vector<fs::path> skinXmlFiles() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(skinDir())) {
        if (!entry.is_regular_file() || entry.path().extension() != ".xml") {
            continue;
        }
        fs::path rel = fs::relative(entry.path(), skinDir());
        std::string top = rel.begin()->string();
        if (top != "src" && top != "tools") {
            files.push_back(rel);
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::optional<std::string> subLayoutFor(const std::string& className) {
    auto it = subLayouts().find(lower(className));
    if (it == subLayouts().end()) {
        return std::nullopt;
    }
    return it->second;
}

std::string Control::attr(const std::string& key) const {
    auto it = attributes.find(key);
    return it == attributes.end() ? std::string() : it->second;
}

Control loadLayout(const std::string& file) {
    std::vector<std::string> stack;
    auto roots = buildFile(file, stack);
    if (roots.size() != 1) {
        throw std::runtime_error(file + ": expected one root control");
    }
    return roots.front();
}

std::vector<const Control*> flatten(const Control& root) {
    std::vector<const Control*> out;
    std::function<void(const Control&)> walk = [&](const Control& c) {
        out.push_back(&c);
        for (const auto& child : c.children) {
            walk(child);
        }
    };
    walk(root);
    return out;
}

const Control* findByName(const Control& root, const std::string& name) {
    for (const Control* c : flatten(root)) {
        if (c->name() == name) {
            return c;
        }
    }
    return nullptr;
}

pugi::xml_parse_result parseFile(const fs::path& path, pugi::xml_document& doc) {
    return doc.load_file(path.c_str(), pugi::parse_default | pugi::parse_comments);
}

} // namespace quellix::skintest
