#include "quellix/dui/control_factory.h"

#include "quellix/dui/list.h"
#include "quellix/dui/menu.h"
#include "quellix/dui/toolkit.h"

#include <memory>

namespace quellix::dui {

namespace {

template <class T> CControlUI* Make() {
    return new T();
}

struct Builtin {
    const char* name;
    CControlUI* (*create)();
};

// The toolkit's own element names (compared in lower case).
constexpr Builtin kBuiltins[] = {
    {"control", &Make<CControlUI>},
    {"container", &Make<CContainerUI>},
    {"verticallayout", &Make<CVerticalLayoutUI>},
    {"horizontallayout", &Make<CHorizontalLayoutUI>},
    {"tablayout", &Make<CTabLayoutUI>},
    {"button", &Make<CButtonUI>},
    {"option", &Make<COptionUI>},
    {"checkbox", &Make<CCheckBoxUI>},
    {"label", &Make<CLabelUI>},
    {"text", &Make<CTextUI>},
    {"edit", &Make<CEditUI>},
    {"combo", &Make<CComboUI>},
    {"list", &Make<CListUI>},
    {"listlabelelement", &Make<CListLabelElementUI>},
    {"listtextelement", &Make<CListTextElementUI>},
    {"listcontainerelement", &Make<CListContainerElementUI>},
    {"slider", &Make<CSliderUI>},
    {"progress", &Make<CProgressUI>},
    {"colorpalette", &Make<CColorPaletteUI>},
    {"menu", &Make<CMenuUI>},
    {"menuelement", &Make<CMenuElementUI>},
};

} // namespace

CControlUI* CreateBuiltinControl(const CDuiString& className) {
    const std::string key = ToLower(className);
    for (const Builtin& builtin : kBuiltins)
        if (key == builtin.name)
            return builtin.create();
    return nullptr;
}

CControlFactory* CControlFactory::GetInstance() {
    return &Toolkit::get().factory();
}

void CControlFactory::RegistControl(const CDuiString& className, Creator creator) {
    creators_[ToLower(className)] = std::move(creator);
}

CControlUI* CControlFactory::CreateControl(const CDuiString& className) const {
    auto it = creators_.find(ToLower(className));
    if (it == creators_.end())
        it = creators_.find(ToLower("C" + className + "UI"));
    return it == creators_.end() ? nullptr : it->second();
}

bool CControlFactory::IsRegistered(const CDuiString& className) const {
    return creators_.count(ToLower(className)) > 0 ||
           creators_.count(ToLower("C" + className + "UI")) > 0;
}

} // namespace quellix::dui
