#include "quellix/dui/control_factory.h"
#include "quellix/ui/custom_controls.h"

namespace quellix::ui {

void registerCustomControls(dui::CControlFactory& factory) {
    factory.RegistControl("CCircleProgressUI", [] { return new CCircleProgressUI; });
    factory.RegistControl("CChartViewUI", [] { return new CChartViewUI; });
    factory.RegistControl("CWndUI", [] { return new CWndUI; });
    factory.RegistControl("CDeviceKeyButtonUI", [] { return new CDeviceKeyButtonUI; });
}

} // namespace quellix::ui
