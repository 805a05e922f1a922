#pragma once
// CControlFactory: creators of control classes by name (compared without
// regard to case), for classes that layouts use and the toolkit does not
// build in ("CCircleProgressUI", ...).

#include "quellix/dui/types.h"

#include <functional>
#include <map>

namespace quellix::dui {

class CControlUI;

class CControlFactory {
public:
    using Creator = std::function<CControlUI*()>;

    // The current toolkit's factory (throws std::logic_error without one).
    static CControlFactory* GetInstance();

    void RegistControl(const CDuiString& className, Creator creator);
    // The registered name as given, then "C" + name + "UI"; nullptr when unknown.
    CControlUI* CreateControl(const CDuiString& className) const;
    bool IsRegistered(const CDuiString& className) const;

private:
    std::map<CDuiString, Creator> creators_; // key in lower case
};

// The toolkit's own classes ("Button", "VerticalLayout", ...); nullptr when
// the name is not one of them.
CControlUI* CreateBuiltinControl(const CDuiString& className);

} // namespace quellix::dui
