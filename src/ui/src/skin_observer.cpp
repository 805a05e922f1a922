#include "quellix/ui/skin_observer.h"

namespace quellix::ui {

SkinChangedParam BackgroundFromOption(const std::string& text) {
    const bool colour = (text.size() == 7 || text.size() == 9) && text[0] == '#' &&
                        text.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos;
    if (colour) {
        return {true, dui::ParseColor(text), {}};
    }
    return {false, 0, text};
}

SkinChangedObserver& SkinObserver() {
    // Lives to the end of the process, so receivers may leave it at any time.
    static auto* observer = new SkinChangedObserver;
    return *observer;
}

} // namespace quellix::ui
