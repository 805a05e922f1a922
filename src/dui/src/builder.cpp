#include "quellix/dui/builder.h"

#include "skin_file.h"

#include "quellix/dui/container.h"
#include "quellix/dui/control_factory.h"
#include "quellix/dui/paint_manager.h"
#include "quellix/dui/resource_manager.h"
#include "quellix/dui/toolkit.h"
#include "quellix/platform/debug.h"

#include <pugixml.hpp>

#include <cctype>
#include <memory>

namespace quellix::dui {

namespace {

constexpr int kMaxIncludeDepth = 16;

bool IsXmlText(const CDuiString& xml) {
    for (char c : xml) {
        if (std::isspace(static_cast<unsigned char>(c)))
            continue;
        return c == '<';
    }
    return false;
}

} // namespace

// One layout being built: its source text (for line numbers) and the
// builder's settings.
struct BuildRun {
    CDialogBuilder& builder;
    IDialogBuilderCallback* callback;
    CPaintManagerUI* manager;
    CDuiString source;
    std::string text;

    int Line(const pugi::xml_node& node) const {
        int line = 1;
        const std::ptrdiff_t offset = node.offset_debug();
        for (std::ptrdiff_t i = 0; i < offset && i < static_cast<std::ptrdiff_t>(text.size()); ++i)
            if (text[static_cast<std::size_t>(i)] == '\n')
                ++line;
        return line;
    }

    void Error(const pugi::xml_node& node, const CDuiString& what) {
        CDuiString message = source + ":" + std::to_string(Line(node)) + ": <" + node.name();
        if (auto name = node.attribute("name"); !name.empty())
            message += CDuiString(" name=\"") + name.value() + "\"";
        message += ">: " + what;
        builder.errors_.push_back(message);
        platform::debugOutput(message);
    }

    static bool Is(const pugi::xml_node& node, const char* name) {
        return EqualsNoCase(node.name(), name);
    }

    // <Font>, <Default>, <Style> and the <Window> attributes configure the manager.
    bool ApplyResourceElement(const pugi::xml_node& node) {
        if (Is(node, "Font")) {
            if (manager == nullptr)
                return true;
            try {
                TFontInfo font;
                font.name = node.attribute("name").as_string("DejaVu Sans");
                font.size = ParseInt(node.attribute("size").as_string("12"));
                font.bold = ParseBool(node.attribute("bold").as_string("false"));
                font.underline = ParseBool(node.attribute("underline").as_string("false"));
                font.italic = ParseBool(node.attribute("italic").as_string("false"));
                const bool isDefault = ParseBool(node.attribute("default").as_string("false"));
                const int id =
                    node.attribute("id").empty() ? -1 : ParseInt(node.attribute("id").value());
                manager->AddFont(id, font, isDefault);
            } catch (const ParseError& e) {
                Error(node, e.what());
            }
            return true;
        }
        if (Is(node, "Default") || Is(node, "Style")) {
            const CDuiString name = node.attribute("name").value();
            if (name.empty()) {
                Error(node, "needs a name");
                return true;
            }
            if (manager != nullptr) {
                if (Is(node, "Default"))
                    manager->AddDefaultAttributeList(name, node.attribute("value").value());
                else
                    manager->AddStyle(name, node.attribute("value").value());
            }
            return true;
        }
        return false;
    }

    void ApplyAttributes(CControlUI& control, const pugi::xml_node& node) {
        if (manager != nullptr) {
            const CDuiString defaults = manager->GetDefaultAttributeList(control.GetClass());
            if (!defaults.empty()) {
                try {
                    control.ApplyAttributeList(defaults);
                } catch (const ParseError& e) {
                    Error(node, CDuiString("default attributes of ") + control.GetClass() + ": " +
                                    e.what());
                }
            }
        }
        for (pugi::xml_attribute attribute : node.attributes()) {
            try {
                control.SetAttribute(attribute.name(), attribute.value());
            } catch (const ParseError& e) {
                Error(node, CDuiString("attribute ") + attribute.name() + ": " + e.what());
            }
        }
    }

    CControlUI* CreateFor(const CDuiString& className) {
        if (CControlUI* control = CreateBuiltinControl(className))
            return control;
        if (callback != nullptr)
            if (CControlUI* control = callback->CreateControl(className))
                return control;
        if (Toolkit* toolkit = Toolkit::current())
            return toolkit->factory().CreateControl(className);
        return nullptr;
    }

    // Builds one element; nullptr with an error when it cannot be built.
    std::unique_ptr<CControlUI> Build(const pugi::xml_node& node) {
        if (Is(node, "Include")) {
            const CDuiString file = node.attribute("source").value();
            if (file.empty()) {
                Error(node, "needs a source");
                return nullptr;
            }
            if (builder.includeDepth_ >= kMaxIncludeDepth) {
                Error(node, "includes nest too deep (a file including itself?)");
                return nullptr;
            }
            ++builder.includeDepth_;
            CControlUI* included = builder.Create(file, {}, callback, manager);
            --builder.includeDepth_;
            if (included == nullptr)
                Error(node, "cannot build '" + file + "'");
            return std::unique_ptr<CControlUI>(included);
        }
        std::unique_ptr<CControlUI> control(CreateFor(node.name()));
        if (!control) {
            Error(node, "unknown control class");
            return nullptr;
        }
        // The manager is known before the attributes, so that styles and
        // option groups resolve; the control joins the tree later.
        if (manager != nullptr)
            control->SetManager(manager, nullptr, false);
        ApplyAttributes(*control, node);
        auto* container = dynamic_cast<CContainerUI*>(control.get());
        for (pugi::xml_node child : node.children()) {
            if (child.type() != pugi::node_element)
                continue;
            if (ApplyResourceElement(child))
                continue;
            if (container == nullptr) {
                Error(child, CDuiString("a ") + control->GetClass() + " cannot hold controls");
                return nullptr;
            }
            std::unique_ptr<CControlUI> built = Build(child);
            if (!built)
                return nullptr;
            CControlUI* raw = built.release();
            if (!container->Add(raw)) {
                Error(child, CDuiString("cannot be placed in a ") + container->GetClass());
                delete raw;
                return nullptr;
            }
        }
        return control;
    }

    CControlUI* BuildDocument(const pugi::xml_node& root) {
        pugi::xml_node top = root;
        if (Is(root, "Window")) {
            if (manager != nullptr) {
                for (pugi::xml_attribute attribute : root.attributes()) {
                    try {
                        manager->SetWindowAttribute(attribute.name(), attribute.value());
                    } catch (const ParseError& e) {
                        Error(root, CDuiString("attribute ") + attribute.name() + ": " + e.what());
                    }
                }
            }
            top = {};
            for (pugi::xml_node child : root.children()) {
                if (child.type() != pugi::node_element || ApplyResourceElement(child))
                    continue;
                if (top) {
                    Error(child, "a window holds one root control");
                    return nullptr;
                }
                top = child;
            }
            if (!top) {
                Error(root, "the window has no root control");
                return nullptr;
            }
        }
        return Build(top).release();
    }
};

CControlUI* CDialogBuilder::Create(const CDuiString& xml, const CDuiString&,
                                   IDialogBuilderCallback* callback, CPaintManagerUI* manager,
                                   CControlUI* parent) {
    if (includeDepth_ == 0)
        errors_.clear();
    BuildRun run{*this, callback, manager, {}, {}};
    if (IsXmlText(xml)) {
        run.source = "<layout text>";
        run.text = xml;
    } else {
        Toolkit* toolkit = Toolkit::current();
        const std::filesystem::path path = toolkit != nullptr
                                               ? toolkit->resources().ResolveLayout(xml)
                                               : std::filesystem::path(xml);
        run.source = path.string();
        if (const Result read = ReadSkinFile(path, run.text); !read) {
            CDuiString message =
                "layout '" + xml + "': cannot read " + path.string() + " (" + read.describe() + ")";
            errors_.push_back(message);
            platform::debugOutput(message);
            return nullptr;
        }
    }
    pugi::xml_document doc;
    pugi::xml_parse_result parsed = doc.load_buffer(run.text.data(), run.text.size());
    if (!parsed) {
        int line = 1;
        for (std::ptrdiff_t i = 0;
             i < parsed.offset && i < static_cast<std::ptrdiff_t>(run.text.size()); ++i)
            if (run.text[static_cast<std::size_t>(i)] == '\n')
                ++line;
        CDuiString message = run.source + ":" + std::to_string(line) + ": " + parsed.description();
        errors_.push_back(message);
        platform::debugOutput(message);
        return nullptr;
    }
    CControlUI* root = run.BuildDocument(doc.document_element());
    if (root != nullptr && parent != nullptr) {
        if (auto* container = dynamic_cast<CContainerUI*>(parent))
            container->Add(root);
    }
    return root;
}

} // namespace quellix::dui
