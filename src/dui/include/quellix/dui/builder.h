#pragma once
// CDialogBuilder: builds a control tree from a layout.
//
// Element class names are matched without regard to case.  For each
// element the builder tries, in order: the built-in classes, the window's
// CreateControl callback (which may return a custom control or a whole
// sub-layout built with another CDialogBuilder), then the control factory
// (the name as given, then "C<name>UI").  An element nobody knows is an
// error.  <Include source="file.xml"/> builds that file in place.
//
// Errors (missing file, XML syntax, unknown element, bad attribute value)
// are collected with the file and line; a bad attribute value leaves that
// attribute unapplied and the build goes on, anything else fails the build
// (Create returns nullptr).

#include "quellix/dui/types.h"

#include <vector>

namespace quellix::dui {

class CControlUI;
class CPaintManagerUI;

class IDialogBuilderCallback {
public:
    virtual ~IDialogBuilderCallback() = default;
    // A control for a class name the toolkit does not know, or nullptr.
    virtual CControlUI* CreateControl(const CDuiString& className) = 0;
};

class CDialogBuilder {
public:
    // `xml` is a res.xml resource id ("XML_MAIN"), a file name relative to
    // the skin folder, or XML text (starting with '<').  The tree's root
    // control is returned; the caller owns it (usually by attaching it to a
    // paint manager or adding it to a container).  <Window>, <Font>,
    // <Default> and <Style> elements configure `manager` when given.
    CControlUI* Create(const CDuiString& xml, const CDuiString& type = {},
                       IDialogBuilderCallback* callback = nullptr,
                       CPaintManagerUI* manager = nullptr, CControlUI* parent = nullptr);

    const std::vector<CDuiString>& GetErrors() const { return errors_; }
    CDuiString GetLastErrorMessage() const {
        return errors_.empty() ? CDuiString{} : errors_.back();
    }

private:
    std::vector<CDuiString> errors_;
    int includeDepth_ = 0;
    friend struct BuildRun;
};

} // namespace quellix::dui
