#pragma once
// The leaf controls: labels, texts, buttons, options, check boxes, edits,
// progress bars, sliders and colour palettes.
//
// Notifications follow the DuiLib rules the program was written against:
// user input raises them; programmatic setters raise them only where stated
// (COptionUI::Selected and the list/combo SelectItem take a flag).

#include "quellix/dui/control.h"

namespace quellix::dui {

// Horizontal and vertical text alignment ("align" attribute).
enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Center, Bottom };

class CLabelUI : public CControlUI {
public:
    CDuiString GetClass() const override { return "Label"; }
    DWORD GetTextColor() const { return textColor_; }
    void SetTextColor(DWORD color);
    DWORD GetDisabledTextColor() const { return disabledTextColor_; }
    void SetDisabledTextColor(DWORD color);
    int GetFont() const { return font_; }
    void SetFont(int index);
    HAlign GetHAlign() const { return hAlign_; }
    VAlign GetVAlign() const { return vAlign_; }
    RECT GetTextPadding() const { return textPadding_; }
    void SetTextPadding(RECT padding);
    bool IsShowHtml() const { return showHtml_; }
    void SetAttribute(const CDuiString& name, const CDuiString& value) override;

protected:
    DWORD textColor_ = 0;
    DWORD disabledTextColor_ = 0;
    int font_ = -1;
    HAlign hAlign_ = HAlign::Left;
    VAlign vAlign_ = VAlign::Center;
    RECT textPadding_{};
    bool showHtml_ = false;
};

// Multi-line text.
class CTextUI : public CLabelUI {
public:
    CDuiString GetClass() const override { return "Text"; }
};

// Raises "click" when pressed and released over it.
class CButtonUI : public CLabelUI {
public:
    CDuiString GetClass() const override { return "Button"; }
    bool Activate() override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(const CDuiString& name, const CDuiString& value) override;

    const CDuiString& GetNormalImage() const { return normalImage_; }
    void SetNormalImage(const CDuiString& image);
    const CDuiString& GetHotImage() const { return hotImage_; }
    void SetHotImage(const CDuiString& image);
    const CDuiString& GetPushedImage() const { return pushedImage_; }
    void SetPushedImage(const CDuiString& image);
    const CDuiString& GetDisabledImage() const { return disabledImage_; }
    void SetDisabledImage(const CDuiString& image);
    const CDuiString& GetForeImage() const { return foreImage_; }
    void SetForeImage(const CDuiString& image);
    DWORD GetHotTextColor() const { return hotTextColor_; }
    void SetHotTextColor(DWORD color);
    DWORD GetHotBkColor() const { return hotBkColor_; }

    bool IsHot() const { return hot_; }
    bool IsPushed() const { return pushed_; }

protected:
    CDuiString normalImage_, hotImage_, pushedImage_, disabledImage_, foreImage_;
    DWORD hotTextColor_ = 0;
    DWORD hotBkColor_ = 0;
    bool hot_ = false;
    bool pushed_ = false;
};

// A button with a selected state, optionally in a group of which one is
// selected.  A click raises "click", then selects it (grouped) or toggles it.
class COptionUI : public CButtonUI {
public:
    ~COptionUI() override;
    CDuiString GetClass() const override { return "Option"; }
    bool IsSelected() const { return selected_; }
    // Changes the state; with triggerEvent "selectchanged" is raised for the
    // option whose state changed (in a group only for the newly selected
    // one; others of the group are cleared quietly).  Nothing happens when
    // the state is already the asked one.
    virtual void Selected(bool selected, bool triggerEvent = true);
    const CDuiString& GetGroup() const { return group_; }
    void SetGroup(const CDuiString& group);
    bool Activate() override;
    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
    void SetAttribute(const CDuiString& name, const CDuiString& value) override;

    const CDuiString& GetSelectedImage() const { return selectedImage_; }
    void SetSelectedImage(const CDuiString& image);
    const CDuiString& GetSelectedHotImage() const { return selectedHotImage_; }
    DWORD GetSelectedTextColor() const { return selectedTextColor_; }
    void SetSelectedTextColor(DWORD color);
    DWORD GetSelectedBkColor() const { return selectedBkColor_; }

protected:
    bool selected_ = false;
    CDuiString group_;
    CDuiString selectedImage_, selectedHotImage_;
    DWORD selectedTextColor_ = 0;
    DWORD selectedBkColor_ = 0;
};

class CCheckBoxUI : public COptionUI {
public:
    CDuiString GetClass() const override { return "CheckBox"; }
    bool GetCheck() const { return IsSelected(); }
    void SetCheck(bool check, bool triggerEvent = true) { Selected(check, triggerEvent); }
};

// A single-line edit.  SetText is quiet; typing raises "textchanged";
// focus changes raise "setfocus" and "killfocus".  Resource text is off:
// what is typed is shown as typed.
class CEditUI : public CLabelUI {
public:
    CEditUI();
    CDuiString GetClass() const override { return "Edit"; }
    bool IsReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool IsNumberOnly() const { return numberOnly_; }
    void SetNumberOnly(bool numberOnly) { numberOnly_ = numberOnly; }
    UINT GetMaxChar() const { return maxChar_; }
    void SetMaxChar(UINT maxChar) { maxChar_ = maxChar; }
    bool IsPasswordMode() const { return password_; }
    // What the user typed replaces the text (as the view's editor reports
    // it); input the edit refuses (read-only, non-digits in a number edit)
    // is dropped, text beyond the maximum length is cut.  Raises
    // "textchanged" when the text changed.  Returns the text now shown.
    CDuiString UserInput(const CDuiString& text);
    void DoEvent(TEventUI& event) override;
    void SetAttribute(const CDuiString& name, const CDuiString& value) override;

private:
    bool readOnly_ = false;
    bool numberOnly_ = false;
    bool password_ = false;
    UINT maxChar_ = 255;
};

class CProgressUI : public CLabelUI {
public:
    CDuiString GetClass() const override { return "Progress"; }
    int GetMinValue() const { return min_; }
    void SetMinValue(int min);
    int GetMaxValue() const { return max_; }
    void SetMaxValue(int max);
    int GetValue() const { return value_; }
    // Quiet; the value is kept within [min, max].
    void SetValue(int value);
    bool IsHorizontal() const { return horizontal_; }
    void SetAttribute(const CDuiString& name, const CDuiString& value) override;

protected:
    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
    bool horizontal_ = true;
};

// A progress bar the user can drag: "movevaluechanged" while the thumb
// moves, "valuechanged" when it is released (or the track is clicked).
class CSliderUI : public CProgressUI {
public:
    CDuiString GetClass() const override { return "Slider"; }
    int GetChangeStep() const { return step_; }
    void SetChangeStep(int step) { step_ = step; }
    const CDuiString& GetThumbImage() const { return thumbImage_; }
    SIZE GetThumbSize() const { return thumbSize_; }
    bool IsDragging() const { return dragging_; }
    // Value under a point of the track (client coordinates).
    int ValueAt(POINT point) const;
    // User dragging, as the view or a test reports it.
    void BeginDrag();
    void DragTo(int value);
    void EndDrag();
    void DoEvent(TEventUI& event) override;
    void SetAttribute(const CDuiString& name, const CDuiString& value) override;

private:
    int step_ = 1;
    CDuiString thumbImage_;
    SIZE thumbSize_{10, 10};
    bool dragging_ = false;
};

// A hue/saturation/brightness colour picker.  SetSelectColor is quiet; a
// pick by the user raises "colorchanged".
class CColorPaletteUI : public CControlUI {
public:
    CDuiString GetClass() const override { return "ColorPalette"; }
    DWORD GetSelectColor() const { return color_; }
    void SetSelectColor(DWORD color);
    // The user picked a colour (the view computes it from the pointer).
    void UserPick(DWORD color);
    int GetPalletHeight() const { return palletHeight_; }
    int GetBarHeight() const { return barHeight_; }
    void SetAttribute(const CDuiString& name, const CDuiString& value) override;

private:
    DWORD color_ = 0xFF000000;
    int palletHeight_ = 200;
    int barHeight_ = 10;
};

} // namespace quellix::dui
