#pragma once
// Reads the skin's layout files the way the window builds them: Include
// elements and the sub-layouts that the main window creates for its custom
// class names are expanded in place, so tests see the whole control tree.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <pugixml.hpp>

namespace quellix::skintest {

std::filesystem::path skinDir();

// All layout and resource files of the skin (every *.xml outside src/ and tools/),
// relative to the skin folder.
std::vector<std::filesystem::path> skinXmlFiles();

// Sub-layout file the main window builds for a class name, compared without
// regard to case; none for other names.
std::optional<std::string> subLayoutFor(const std::string& className);

struct Control {
    std::string className; // element name as written
    std::map<std::string, std::string> attributes;
    std::vector<Control> children;
    std::string file; // layout file the element comes from

    std::string attr(const std::string& key) const;
    std::string name() const { return attr("name"); }
};

// Builds the control tree of a layout file. Throws std::runtime_error for a
// file that is missing or not well-formed, or an Include cycle.
Control loadLayout(const std::string& file);

// Every control of the tree, depth first, the root first.
std::vector<const Control*> flatten(const Control& root);

// The first control with the given name, or none.
const Control* findByName(const Control& root, const std::string& name);

// Parses a skin file; fails the calling test through the returned result.
pugi::xml_parse_result parseFile(const std::filesystem::path& path, pugi::xml_document& doc);

} // namespace quellix::skintest
