#pragma once
// The four custom control classes layouts can name, and their registration
// with the control factory.

#include <memory>
#include <string>
#include <vector>

#include "quellix/dui/control_factory.h"
#include "quellix/dui/controls.h"
#include "quellix/ui/canvas.h"
#include "quellix/ui/custom_paint.h"

namespace quellix::ui {

Rect toRect(const dui::RECT& rc);

// Registers "CCircleProgressUI", "CChartViewUI", "CWndUI" and
// "CDeviceKeyButtonUI" with the factory.
void registerCustomControls(dui::CControlFactory& factory);

// A progress control drawn as a ring filled clockwise from six o'clock in
// the foreground colour over the background colour.  The ring uses the
// control's "bkcolor" and the foreground colour "forecolor" (its text colour
// when none is given).
class CCircleProgressUI : public dui::CProgressUI, public ICustomPainted {
public:
    dui::CDuiString GetClass() const override { return "CircleProgress"; }
    dui::DWORD GetForeColor() const { return foreColor_; }
    void SetForeColor(dui::DWORD color);
    void SetAttribute(const dui::CDuiString& name, const dui::CDuiString& value) override;

    Mode paintMode() const override { return Mode::ReplaceBody; }
    void paint(ICanvas& canvas, const Rect& paintRect) override;

private:
    dui::DWORD foreColor_ = 0;
};

// A key of a device picture: a button that can show a coloured light (the
// lighting previews) and a key-set mark over its pictures.
class CDeviceKeyButtonUI : public dui::CButtonUI, public ICustomPainted {
public:
    static constexpr std::uint32_t kDefaultLightColour = 0x000000FF;
    static constexpr int kDefaultLightLevel = 200;

    dui::CDuiString GetClass() const override { return "DeviceKeyButton"; }
    void DoInit() override {}
    // "lightimage", "keysetimage" (any case) and "gmnametextcolor" (a hex
    // number after an optional '#'; accepted, it colours nothing); every
    // other attribute is the button's.
    void SetAttribute(const dui::CDuiString& name, const dui::CDuiString& value) override;

    const std::string& GetLightImage() const { return lightImage_; }
    const std::string& GetKeySetImage() const { return keySetImage_; }
    bool IsLightOn() const { return lightOn_; }
    void SetLightOn(bool on);
    std::uint32_t GetLightColor() const { return lightColour_; }
    void SetLightColor(std::uint32_t rgb);
    int GetLightLevel() const { return lightLevel_; }
    void SetLightLevel(int level);
    bool IsKeySetHidden() const { return keySetHidden_; }
    void SetKeySetHidden(bool hidden);
    std::uint32_t GetNameTextColor() const { return nameTextColour_; }

    Mode paintMode() const override { return Mode::Overlay; }
    void paint(ICanvas& canvas, const Rect& paintRect) override;

private:
    std::string lightImage_;
    std::string keySetImage_;
    bool lightOn_ = false;
    std::uint32_t lightColour_ = kDefaultLightColour;
    int lightLevel_ = kDefaultLightLevel;
    bool keySetHidden_ = true;
    std::uint32_t nameTextColour_ = 0;
};

// A native window placed over a control.  On this platform the hosted
// window is whatever implements this interface (a view widget, or a test
// double); the control only keeps it where the control is.
class IHostedWindow {
public:
    virtual ~IHostedWindow() = default;
    // Whether the window is a child of the given top-level window (then
    // it is placed in that window's client coordinates, else on the screen).
    virtual bool isChildOf(dui::HWND window) const = 0;
    virtual void place(const dui::RECT& rect) = 0;
    virtual void setShown(bool shown) = 0;
};

class CWndUI : public dui::CControlUI {
public:
    dui::CDuiString GetClass() const override { return "Wnd"; }
    // The control does not own the hosted window.
    void Attach(IHostedWindow* window);
    IHostedWindow* GetHostedWindow() const { return hosted_; }

    void SetPos(dui::RECT rc, bool needInvalidate = true) override;
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;

private:
    void FollowControl();
    IHostedWindow* hosted_ = nullptr;
};

// A pie or histogram chart.  Items are (name, value) pairs; the program
// itself adds none, so charts show their background and, as histograms,
// their base picture.
class CChartViewUI : public dui::CControlUI, public ICustomPainted {
public:
    enum class View { Pie, Histogram };

    // Every attribute goes to the control first; then the chart reads
    // "view" ("pie" or "histpgram"), "shadowimage", "shadowimageheight",
    // "pillarimage", "pillarimagewidth", "showhtml", "showtext" and "font".
    void SetAttribute(const dui::CDuiString& name, const dui::CDuiString& value) override;

    View GetView() const { return view_; }
    const HistogramImages& GetHistogramImages() const { return images_; }
    const ChartStyle& GetChartStyle() const { return style_; }
    void AddItem(const std::string& name, double value);
    void ClearItems();
    const std::vector<ChartItem>& GetItems() const { return items_; }

    Mode paintMode() const override { return Mode::Overlay; }
    void paint(ICanvas& canvas, const Rect& paintRect) override;

private:
    View view_ = View::Pie;
    HistogramImages images_;
    ChartStyle style_;
    std::vector<ChartItem> items_;
};

} // namespace quellix::ui
