#include "quellix/dui/controls.h"

#include "quellix/dui/paint_manager.h"

#include <algorithm>
#include <cmath>

namespace quellix::dui {

// --- CLabelUI ---

void CLabelUI::SetTextColor(DWORD color) {
    textColor_ = color;
    Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD color) {
    disabledTextColor_ = color;
    Invalidate();
}

void CLabelUI::SetFont(int index) {
    font_ = index;
    Invalidate();
}

void CLabelUI::SetTextPadding(RECT padding) {
    textPadding_ = padding;
    Invalidate();
}

void CLabelUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
    const std::string key = ToLower(name);
    if (key == "textcolor")
        SetTextColor(ParseColor(value));
    else if (key == "disabledtextcolor")
        SetDisabledTextColor(ParseColor(value));
    else if (key == "font")
        SetFont(ParseInt(value));
    else if (key == "textpadding")
        SetTextPadding(ParseRect(value));
    else if (key == "showhtml")
        showHtml_ = ParseBool(value);
    else if (key == "align" || key == "valign") {
        // Words separated by ',', '|' or spaces: left|center|right, top|vcenter|bottom.
        std::string words = ToLower(value);
        std::replace_if(
            words.begin(), words.end(), [](char c) { return c == ',' || c == '|'; }, ' ');
        std::size_t i = 0;
        while (i < words.size()) {
            while (i < words.size() && words[i] == ' ')
                ++i;
            std::size_t e = words.find(' ', i);
            std::string w = words.substr(i, e == std::string::npos ? std::string::npos : e - i);
            i = e == std::string::npos ? words.size() : e;
            if (w.empty())
                continue;
            if (w == "left")
                hAlign_ = HAlign::Left;
            else if (w == "center" && key == "align")
                hAlign_ = HAlign::Center;
            else if (w == "right")
                hAlign_ = HAlign::Right;
            else if (w == "top")
                vAlign_ = VAlign::Top;
            else if (w == "vcenter" || (w == "center" && key == "valign"))
                vAlign_ = VAlign::Center;
            else if (w == "bottom")
                vAlign_ = VAlign::Bottom;
            else
                throw ParseError("bad alignment '" + value + "'");
        }
        Invalidate();
    } else {
        CControlUI::SetAttribute(name, value);
        return;
    }
    attributes_[name] = value;
}

// --- CButtonUI ---

bool CButtonUI::Activate() {
    if (!CControlUI::Activate())
        return false;
    Notify(DUI_MSGTYPE_CLICK);
    return true;
}

void CButtonUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (IsEnabled()) {
            pushed_ = true;
            Invalidate();
        }
        return;
    case UIEVENT_MOUSEMOVE:
        return;
    case UIEVENT_BUTTONUP:
        if (pushed_) {
            pushed_ = false;
            Invalidate();
            if (pos_.contains(event.ptMouse))
                Activate();
        }
        return;
    case UIEVENT_MOUSEENTER:
        if (IsEnabled()) {
            hot_ = true;
            Invalidate();
        }
        break;
    case UIEVENT_MOUSELEAVE:
        hot_ = false;
        Invalidate();
        break;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

void CButtonUI::SetNormalImage(const CDuiString& image) {
    normalImage_ = image;
    Invalidate();
}

void CButtonUI::SetHotImage(const CDuiString& image) {
    hotImage_ = image;
    Invalidate();
}

void CButtonUI::SetPushedImage(const CDuiString& image) {
    pushedImage_ = image;
    Invalidate();
}

void CButtonUI::SetDisabledImage(const CDuiString& image) {
    disabledImage_ = image;
    Invalidate();
}

void CButtonUI::SetForeImage(const CDuiString& image) {
    foreImage_ = image;
    Invalidate();
}

void CButtonUI::SetHotTextColor(DWORD color) {
    hotTextColor_ = color;
    Invalidate();
}

void CButtonUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
    const std::string key = ToLower(name);
    if (key == "normalimage")
        SetNormalImage(value);
    else if (key == "hotimage")
        SetHotImage(value);
    else if (key == "pushedimage")
        SetPushedImage(value);
    else if (key == "disabledimage")
        SetDisabledImage(value);
    else if (key == "foreimage")
        SetForeImage(value);
    else if (key == "hottextcolor")
        SetHotTextColor(ParseColor(value));
    else if (key == "hotbkcolor")
        hotBkColor_ = ParseColor(value);
    else {
        CLabelUI::SetAttribute(name, value);
        return;
    }
    attributes_[name] = value;
}

// --- COptionUI ---

COptionUI::~COptionUI() = default;

void COptionUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    CButtonUI::SetManager(manager, parent, init);
    if (manager_ == nullptr || group_.empty())
        return;
    manager_->AddOptionGroup(group_, this);
    if (selected_) {
        // A layout may select several of a group; the last one wins, quietly.
        for (COptionUI* other : manager_->GetOptionGroup(group_))
            if (other != this)
                other->Selected(false, false);
    }
}

void COptionUI::SetGroup(const CDuiString& group) {
    if (group == group_)
        return;
    if (manager_ != nullptr && !group_.empty())
        manager_->RemoveOptionGroup(group_, this);
    group_ = group;
    if (manager_ != nullptr && !group_.empty())
        manager_->AddOptionGroup(group_, this);
}

void COptionUI::Selected(bool selected, bool triggerEvent) {
    if (selected_ == selected)
        return;
    selected_ = selected;
    if (manager_ != nullptr) {
        if (!group_.empty()) {
            if (selected_) {
                for (COptionUI* other : manager_->GetOptionGroup(group_))
                    if (other != this)
                        other->Selected(false, triggerEvent);
                if (triggerEvent)
                    Notify(DUI_MSGTYPE_SELECTCHANGED, selected_ ? 1 : 0);
            }
        } else if (triggerEvent) {
            Notify(DUI_MSGTYPE_SELECTCHANGED, selected_ ? 1 : 0);
        }
        manager_->ReportChange(this, ControlChange::State);
    }
    Invalidate();
}

bool COptionUI::Activate() {
    if (!CButtonUI::Activate())
        return false;
    if (!group_.empty())
        Selected(true);
    else
        Selected(!selected_);
    return true;
}

void COptionUI::SetSelectedImage(const CDuiString& image) {
    selectedImage_ = image;
    Invalidate();
}

void COptionUI::SetSelectedTextColor(DWORD color) {
    selectedTextColor_ = color;
    Invalidate();
}

void COptionUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
    const std::string key = ToLower(name);
    if (key == "group")
        SetGroup(value);
    else if (key == "selected")
        Selected(ParseBool(value), false); // a layout's initial state raises nothing
    else if (key == "selectedimage")
        SetSelectedImage(value);
    else if (key == "selectedhotimage")
        selectedHotImage_ = value;
    else if (key == "selectedtextcolor")
        SetSelectedTextColor(ParseColor(value));
    else if (key == "selectedbkcolor")
        selectedBkColor_ = ParseColor(value);
    else {
        CButtonUI::SetAttribute(name, value);
        return;
    }
    attributes_[name] = value;
}

// --- CEditUI ---

CEditUI::CEditUI() {
    resourceText_ = false;
}

namespace {

// Keeps at most maxChars UTF-8 characters.
CDuiString TruncateUtf8(const CDuiString& text, UINT maxChars) {
    UINT count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (count == maxChars)
                return text.substr(0, i);
            ++count;
        }
    }
    return text;
}

} // namespace

CDuiString CEditUI::UserInput(const CDuiString& text) {
    if (readOnly_ || !IsEnabled())
        return text_;
    CDuiString accepted = text;
    if (numberOnly_)
        std::erase_if(accepted, [](char c) { return c < '0' || c > '9'; });
    accepted = TruncateUtf8(accepted, maxChar_);
    if (accepted == text_)
        return text_;
    text_ = accepted;
    Invalidate();
    if (manager_ != nullptr)
        manager_->ReportChange(this, ControlChange::Value);
    Notify(DUI_MSGTYPE_TEXTCHANGED);
    return text_;
}

void CEditUI::DoEvent(TEventUI& event) {
    if (event.Type == UIEVENT_CHAR) {
        UserInput(text_ + event.text);
        return;
    }
    if (event.Type == UIEVENT_BUTTONDOWN || event.Type == UIEVENT_BUTTONUP ||
        event.Type == UIEVENT_MOUSEMOVE)
        return;
    CLabelUI::DoEvent(event);
}

void CEditUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
    const std::string key = ToLower(name);
    if (key == "readonly")
        readOnly_ = ParseBool(value);
    else if (key == "numberonly")
        numberOnly_ = ParseBool(value);
    else if (key == "maxchar")
        maxChar_ = static_cast<UINT>(std::max(0, ParseInt(value)));
    else if (key == "password")
        password_ = ParseBool(value);
    else {
        CLabelUI::SetAttribute(name, value);
        return;
    }
    attributes_[name] = value;
}

// --- CProgressUI ---

void CProgressUI::SetMinValue(int min) {
    min_ = min;
    SetValue(value_);
    Invalidate();
}

void CProgressUI::SetMaxValue(int max) {
    max_ = max;
    SetValue(value_);
    Invalidate();
}

void CProgressUI::SetValue(int value) {
    int low = std::min(min_, max_);
    int high = std::max(min_, max_);
    value = std::clamp(value, low, high);
    if (value == value_)
        return;
    value_ = value;
    Invalidate();
    if (manager_ != nullptr)
        manager_->ReportChange(this, ControlChange::Value);
}

void CProgressUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
    const std::string key = ToLower(name);
    if (key == "min")
        SetMinValue(ParseInt(value));
    else if (key == "max")
        SetMaxValue(ParseInt(value));
    else if (key == "value")
        SetValue(ParseInt(value));
    else if (key == "hor")
        horizontal_ = ParseBool(value);
    else {
        CLabelUI::SetAttribute(name, value);
        return;
    }
    attributes_[name] = value;
}

// --- CSliderUI ---

int CSliderUI::ValueAt(POINT point) const {
    int span = max_ - min_;
    if (horizontal_) {
        int usable = std::max(1, pos_.width() - thumbSize_.cx);
        int offset = std::clamp(point.x - pos_.left - thumbSize_.cx / 2, 0, usable);
        return min_ + static_cast<int>(std::lround(static_cast<double>(offset) * span / usable));
    }
    int usable = std::max(1, pos_.height() - thumbSize_.cy);
    int offset = std::clamp(pos_.bottom - point.y - thumbSize_.cy / 2, 0, usable);
    return min_ + static_cast<int>(std::lround(static_cast<double>(offset) * span / usable));
}

void CSliderUI::BeginDrag() {
    if (IsEnabled())
        dragging_ = true;
}

void CSliderUI::DragTo(int value) {
    if (!dragging_)
        return;
    int before = value_;
    SetValue(value);
    if (value_ != before)
        Notify(DUI_MSGTYPE_MOVEVALUECHANGED, static_cast<WPARAM>(value_));
}

void CSliderUI::EndDrag() {
    if (!dragging_)
        return;
    dragging_ = false;
    Notify(DUI_MSGTYPE_VALUECHANGED, static_cast<WPARAM>(value_));
}

void CSliderUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        BeginDrag();
        DragTo(ValueAt(event.ptMouse));
        return;
    case UIEVENT_MOUSEMOVE:
        if (dragging_)
            DragTo(ValueAt(event.ptMouse));
        return;
    case UIEVENT_BUTTONUP:
        if (dragging_) {
            DragTo(ValueAt(event.ptMouse));
            EndDrag();
        }
        return;
    case UIEVENT_SCROLLWHEEL:
        if (IsEnabled()) {
            int delta = static_cast<int>(static_cast<std::intptr_t>(event.wParam));
            SetValue(value_ + (delta > 0 ? step_ : -step_));
            Notify(DUI_MSGTYPE_VALUECHANGED, static_cast<WPARAM>(value_));
        }
        return;
    default:
        CProgressUI::DoEvent(event);
    }
}

void CSliderUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
    const std::string key = ToLower(name);
    if (key == "thumbimage")
        thumbImage_ = value;
    else if (key == "thumbsize")
        thumbSize_ = ParseSize(value);
    else if (key == "step")
        step_ = ParseInt(value);
    else if (key == "sendmove" || key == "thumbhotimage" || key == "thumbpushedimage")
        ; // remembered only
    else {
        CProgressUI::SetAttribute(name, value);
        return;
    }
    attributes_[name] = value;
}

// --- CColorPaletteUI ---

void CColorPaletteUI::SetSelectColor(DWORD color) {
    if (color_ == color)
        return;
    color_ = color;
    Invalidate();
    if (manager_ != nullptr)
        manager_->ReportChange(this, ControlChange::Value);
}

void CColorPaletteUI::UserPick(DWORD color) {
    if (!IsEnabled())
        return;
    SetSelectColor(color);
    Notify(DUI_MSGTYPE_COLORCHANGED, color_);
}

void CColorPaletteUI::SetAttribute(const CDuiString& name, const CDuiString& value) {
    const std::string key = ToLower(name);
    if (key == "palletheight")
        palletHeight_ = ParseInt(value);
    else if (key == "barheight")
        barHeight_ = ParseInt(value);
    else if (key == "thumbimage")
        ; // remembered only
    else {
        CControlUI::SetAttribute(name, value);
        return;
    }
    attributes_[name] = value;
}

} // namespace quellix::dui
