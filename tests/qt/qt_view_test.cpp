#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <thread>

#include "quellix/dui/controls.h"
#include "quellix/dui/menu.h"
#include "quellix/dui/qt/palette_geometry.h"
#include "quellix/dui/qt/qt_backend.h"
#include "quellix/dui/toolkit.h"
#include "quellix/dui/window.h"
#include "quellix/ui/custom_controls.h"

namespace quellix::dui::qt {
namespace {

QApplication& application() {
    static int argc = 1;
    static char name[] = "qt_view_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

class ViewWindow : public WindowImplBase {
public:
    std::vector<std::pair<CDuiString, CDuiString>> notifications;
    std::vector<UINT> timers;
    std::vector<CDuiString> menuCommands;
    CDuiString GetWindowClassName() const override { return "View"; }
    CDuiString GetSkinFile() override { return "view.xml"; }
    void Notify(TNotifyUI& msg) override {
        notifications.emplace_back(msg.sType, msg.pSender ? msg.pSender->GetName() : "");
    }
    LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override {
        if (msg == WM_MENUCLICK) {
            menuCommands.push_back(MenuCmdFromMessage(wParam, lParam)->szName);
            handled = true;
            return 0;
        }
        if (msg == WM_TIMER) {
            timers.push_back(UINT(wParam));
            KillTimer(UINT(wParam));
            Close(7);
        }
        return WindowImplBase::HandleCustomMessage(msg, wParam, lParam, handled);
    }
    bool Notified(const CDuiString& type, const CDuiString& name) const {
        for (const auto& [t, n] : notifications) {
            if (t == type && n == name) {
                return true;
            }
        }
        return false;
    }
};

class QtViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        application();
        backend = std::make_unique<QtBackend>();
        toolkit = std::make_unique<Toolkit>(*backend);
        toolkit->resources().SetResourcePath(QT_TEST_DATA);
        ui::registerCustomControls(toolkit->factory());
        ASSERT_NE(window.Create(kNullWindow, "view", 0, 0, 40, 40, 300, 260), kNullWindow);
        window.ShowWindow(true);
        widget = topWidget();
        ASSERT_NE(widget, nullptr);
    }
    void TearDown() override {
        if (IsWindow(window.GetHWND())) {
            window.DestroyWindow();
        }
        toolkit.reset();
        backend.reset();
        QApplication::processEvents();
    }
    static QWidget* topWidget() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->windowTitle() == "view") {
                return w;
            }
        }
        return nullptr;
    }
    // Runs the Qt loop until the condition holds (bounded so that a fault
    // fails the test instead of hanging it).
    template <class F> bool runUntil(F condition) {
        for (int i = 0; i < 500 && !condition(); ++i) {
            QTest::qWait(10);
        }
        return condition();
    }
    QPoint centreOf(const CDuiString& name) {
        const RECT rc = window.FindControl(name)->GetPos();
        return {rc.left + rc.width() / 2, rc.top + rc.height() / 2};
    }

    std::unique_ptr<QtBackend> backend;
    std::unique_ptr<Toolkit> toolkit;
    ViewWindow window;
    QWidget* widget = nullptr;
};

TEST_F(QtViewTest, PaintsTheModelsColoursAndTheRing) {
    const QImage image = widget->grab().toImage();
    EXPECT_EQ(image.size(), QSize(300, 260));
    EXPECT_EQ(image.pixelColor(centreOf("press") + QPoint(-25, -10)), QColor(255, 0, 0));
    // The ring's quarter runs clockwise from six o'clock: left of the bottom
    // point is the foreground, right of it still the background.
    const RECT ring = window.FindControl("ring")->GetPos();
    const QPoint bottom(ring.left + 50, ring.bottom - 4);
    EXPECT_EQ(image.pixelColor(bottom + QPoint(-8, -1)), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(bottom + QPoint(8, -1)), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(ring.left + 50, ring.top + 50), QColor(255, 255, 255));
}

TEST_F(QtViewTest, EditorGoesWhenItsEditIsHiddenWithoutInput) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, centreOf("edit"));
    auto* editor = widget->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->isVisible());
    // As a device's connection switching the page would.
    window.FindControl("edit")->SetVisible(false);
    for (int i = 0; i < 5 && editor->isVisible(); ++i) {
        widget->repaint();
        QCoreApplication::processEvents();
    }
    EXPECT_FALSE(editor->isVisible());
}

// A press on the caption followed by a release where it began (a quick
// click) moves nothing and leaves no move behind for the next click; the
// window follows the pointer once it has travelled the drag distance.
TEST_F(QtViewTest, CaptionMovesTheWindowOnlyWhenDragged) {
    const QPoint caption(150, 12);
    auto send = [&](QEvent::Type type, QPoint local, Qt::MouseButton button,
                    Qt::MouseButtons held) {
        QMouseEvent event(type, local, widget->mapToGlobal(local), button, held, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    };
    const QPoint start = widget->pos();
    send(QEvent::MouseButtonPress, caption, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, caption + QPoint(1, 0), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, caption + QPoint(1, 0), Qt::LeftButton, Qt::NoButton);
    send(QEvent::MouseMove, caption + QPoint(40, 40), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(widget->pos(), start);
    QTest::mouseClick(widget, Qt::LeftButton, {}, centreOf("press"));
    EXPECT_TRUE(window.Notified("click", "press"));

    const int far = QApplication::startDragDistance() + 20;
    send(QEvent::MouseButtonPress, caption, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, caption + QPoint(far, 0), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, caption + QPoint(far, 0), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(widget->pos(), start + QPoint(far, 0));
}

TEST_F(QtViewTest, ClicksAndTypingBecomeModelNotifications) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, centreOf("press"));
    EXPECT_TRUE(window.Notified("click", "press"));

    QTest::mouseClick(widget, Qt::LeftButton, {}, centreOf("check"));
    EXPECT_TRUE(window.Notified("selectchanged", "check"));
    EXPECT_FALSE(window.FindControl<CCheckBoxUI>("check")->GetCheck());

    QTest::mouseClick(widget, Qt::LeftButton, {}, centreOf("edit"));
    auto* editor = widget->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    QTest::keyClicks(editor, "42");
    EXPECT_EQ(window.FindControl("edit")->GetText(), "42");
    EXPECT_TRUE(window.Notified("textchanged", "edit"));

    const RECT slider = window.FindControl("slider")->GetPos();
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(slider.left + 2, slider.top + 10));
    EXPECT_TRUE(window.Notified("valuechanged", "slider"));
    EXPECT_LT(window.FindControl<CSliderUI>("slider")->GetValue(), 50);

    const RECT palette = window.FindControl("palette")->GetPos();
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(palette.left, palette.top));
    EXPECT_TRUE(window.Notified("colorchanged", "palette"));
    EXPECT_EQ(window.FindControl<CColorPaletteUI>("palette")->GetSelectColor(), 0xFFFF0000u);
}

TEST_F(QtViewTest, PostedWorkTimersAndModalLoopsRunOnTheQtLoop) {
    bool ran = false;
    std::thread worker([&] { PostTask([&] { ran = true; }); });
    worker.join();
    EXPECT_TRUE(runUntil([&] { return ran; }));

    // A timer that closes the window ends its modal run with the code.
    window.SetTimer(5, 20);
    EXPECT_EQ(window.ShowModal(), 7u);
    EXPECT_EQ(window.timers, std::vector<UINT>{5});
}

// A window the compositor places: a dialog with an owner is transient for
// the owner's window (Wayland compositors place it over its parent, X11
// window managers keep it above), and so is a menu popup.
TEST_F(QtViewTest, OwnedWindowsAreTransientForTheirOwner) {
    auto windowTitled = [](const QString& title) -> QWidget* {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->windowTitle() == title) {
                return w;
            }
        }
        return nullptr;
    };
    ViewWindow dialog;
    ASSERT_NE(dialog.Create(window.GetHWND(), "dialog", 0, 0, 60, 60, 200, 160), kNullWindow);
    dialog.CenterWindow();
    dialog.ShowWindow(true);
    QWidget* dialogWidget = windowTitled("dialog");
    ASSERT_NE(dialogWidget, nullptr);
    ASSERT_NE(dialogWidget->windowHandle(), nullptr);
    EXPECT_EQ(dialogWidget->windowHandle()->transientParent(), widget->windowHandle());
    EXPECT_TRUE(dialogWidget->windowFlags().testFlag(Qt::Dialog));
    // Centred over its owner, as the model places it.
    EXPECT_EQ(dialogWidget->geometry().center(), widget->geometry().center());

    ViewWindow unowned;
    ASSERT_NE(unowned.Create(kNullWindow, "unowned", 0, 0, 60, 60, 200, 160), kNullWindow);
    unowned.ShowWindow(true);
    QWidget* unownedWidget = windowTitled("unowned");
    ASSERT_NE(unownedWidget, nullptr);
    EXPECT_EQ(unownedWidget->windowHandle()->transientParent(), nullptr);

    ASSERT_NE(CMenuWnd::CreateMenu(nullptr, "menu.xml", {100, 100}, &window.GetPaintManager()),
              nullptr);
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->windowHandle()->transientParent(), widget->windowHandle());
    popup->close();
    EXPECT_TRUE(runUntil([] { return CMenuWnd::OpenMenus().empty(); }));
    dialog.DestroyWindow();
    unowned.DestroyWindow();
}

TEST_F(QtViewTest, MenuItemsReachTheOwnerAndAClickElsewhereClosesTheMenu) {
    CMenuWnd* menu =
        CMenuWnd::CreateMenu(nullptr, "menu.xml", {100, 100}, &window.GetPaintManager());
    ASSERT_NE(menu, nullptr);
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    const RECT second = menu->FindControl("second")->GetPos();
    QTest::mouseClick(popup, Qt::LeftButton, {},
                      QPoint(second.left + 5, second.top + second.height() / 2));
    EXPECT_TRUE(runUntil([&] { return !window.menuCommands.empty(); }));
    EXPECT_EQ(window.menuCommands, std::vector<CDuiString>{"second"});
    EXPECT_TRUE(CMenuWnd::OpenMenus().empty());

    // The popup closes itself on a click outside it; the model follows.
    ASSERT_NE(CMenuWnd::CreateMenu(nullptr, "menu.xml", {100, 100}, &window.GetPaintManager()),
              nullptr);
    QApplication::activePopupWidget()->close();
    EXPECT_TRUE(runUntil([] { return CMenuWnd::OpenMenus().empty(); }));
    EXPECT_EQ(window.menuCommands.size(), 1u);
}

// The accessible node whose description (the layout name) is `name`.
QAccessibleInterface* findAccessible(QAccessibleInterface* node, const QString& name) {
    for (int i = 0; node != nullptr && i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        if (child == nullptr) {
            continue;
        }
        if (child->text(QAccessible::Description) == name) {
            return child;
        }
        if (QAccessibleInterface* found = findAccessible(child, name)) {
            return found;
        }
    }
    return nullptr;
}

TEST_F(QtViewTest, TheAccessibleTreeShowsTheControlsWithoutTheirLayouts) {
    QAccessibleInterface* top = QAccessible::queryAccessibleInterface(widget);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->role(), QAccessible::Window);
    EXPECT_EQ(top->text(QAccessible::Name), "view");
    // The unnamed rows and the spacer are left out; their controls move up.
    QStringList children;
    for (int i = 0; i < top->childCount(); ++i) {
        children << top->child(i)->text(QAccessible::Description);
        EXPECT_EQ(top->indexOfChild(top->child(i)), i);
        EXPECT_EQ(top->child(i)->parent(), top);
    }
    EXPECT_EQ(children, QStringList({"caption_label", "press", "ring", "palette", "edit", "slider",
                                     "combo", "check"}));

    struct Expected {
        const char* name;
        QAccessible::Role role;
        const char* accessibleName;
        const char* value;
    };
    const Expected table[] = {
        {"caption_label", QAccessible::StaticText, "caption", ""},
        {"press", QAccessible::Button, "press", ""},
        {"ring", QAccessible::ProgressBar, "ring", "25"},
        {"palette", QAccessible::ColorChooser, "palette", "#000000"},
        {"slider", QAccessible::Slider, "slider", "50"},
        {"combo", QAccessible::ComboBox, "combo", ""},
        {"check", QAccessible::CheckBox, "check", ""},
    };
    for (const Expected& e : table) {
        QAccessibleInterface* node = findAccessible(top, e.name);
        ASSERT_NE(node, nullptr) << e.name;
        EXPECT_EQ(node->role(), e.role) << e.name;
        EXPECT_EQ(node->text(QAccessible::Name), e.accessibleName) << e.name;
        EXPECT_EQ(node->text(QAccessible::Value), e.value) << e.name;
        EXPECT_FALSE(node->state().invisible) << e.name;
    }
    QAccessibleInterface* combo = findAccessible(top, "combo");
    ASSERT_EQ(combo->childCount(), 2);
    EXPECT_EQ(combo->child(0)->role(), QAccessible::ListItem);
    EXPECT_EQ(combo->child(1)->text(QAccessible::Name), "two");
    EXPECT_TRUE(findAccessible(top, "check")->state().checked);
    const RECT press = window.FindControl("press")->GetPos();
    EXPECT_EQ(findAccessible(top, "press")->rect(),
              QRect(widget->mapToGlobal(QPoint(press.left, press.top)),
                    QSize(press.width(), press.height())));
}

TEST_F(QtViewTest, AccessibleActionsAndValuesDoWhatTheUserDoes) {
    QAccessibleInterface* top = QAccessible::queryAccessibleInterface(widget);
    QAccessibleInterface* press = findAccessible(top, "press");
    ASSERT_NE(press->actionInterface(), nullptr);
    EXPECT_EQ(press->actionInterface()->actionNames(),
              QStringList{QAccessibleActionInterface::pressAction()});
    press->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    // The press runs from the event loop, as a click arrives.
    EXPECT_FALSE(window.Notified("click", "press"));
    EXPECT_TRUE(runUntil([&] { return window.Notified("click", "press"); }));

    QAccessibleInterface* check = findAccessible(top, "check");
    check->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(runUntil([&] { return !check->state().checked; }));
    EXPECT_TRUE(window.Notified("selectchanged", "check"));

    QAccessibleInterface* slider = findAccessible(top, "slider");
    ASSERT_NE(slider->valueInterface(), nullptr);
    EXPECT_EQ(slider->valueInterface()->maximumValue().toInt(), 100);
    // A value set also runs from the event loop: the caller's reply does
    // not wait for what the change opens (a message box).
    slider->valueInterface()->setCurrentValue(70);
    EXPECT_FALSE(window.Notified("valuechanged", "slider"));
    EXPECT_TRUE(runUntil([&] { return window.Notified("valuechanged", "slider"); }));
    EXPECT_EQ(window.FindControl<CSliderUI>("slider")->GetValue(), 70);

    QAccessibleInterface* palette = findAccessible(top, "palette");
    palette->valueInterface()->setCurrentValue(0x00FF00);
    EXPECT_TRUE(runUntil([&] { return window.Notified("colorchanged", "palette"); }));
    EXPECT_EQ(window.FindControl<CColorPaletteUI>("palette")->GetSelectColor(), 0xFF00FF00u);
    EXPECT_EQ(palette->text(QAccessible::Value), "#00FF00");

    // Hidden controls keep their node and say so; removed ones lose it.
    window.FindControl("press")->SetVisible(false);
    EXPECT_TRUE(press->state().invisible);
    const QAccessible::Id id = QAccessible::uniqueId(press);
    auto* row = static_cast<CContainerUI*>(window.FindControl("press")->GetParent());
    row->Remove(window.FindControl("press"));
    EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr);
    EXPECT_EQ(findAccessible(top, "press"), nullptr);
}

TEST_F(QtViewTest, TabMovesTheFocusAndSpaceAndArrowsOperateTheControl) {
    widget->activateWindow();
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_Tab);
    EXPECT_EQ(window.GetPaintManager().GetFocus(), window.FindControl("press"));
    QTest::keyClick(widget, Qt::Key_Space);
    EXPECT_TRUE(window.Notified("click", "press"));
    QAccessibleInterface* top = QAccessible::queryAccessibleInterface(widget);
    EXPECT_EQ(top->focusChild(), findAccessible(top, "press"));

    // Palette, then the edit: its editor takes the keys; Tab leaves it.
    QTest::keyClick(widget, Qt::Key_Tab);
    QTest::keyClick(widget, Qt::Key_Tab);
    EXPECT_EQ(window.GetPaintManager().GetFocus(), window.FindControl("edit"));
    auto* editor = widget->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(window.GetPaintManager().GetFocus(), window.FindControl("slider"));
    EXPECT_FALSE(editor->isVisible());
    QTest::keyClick(widget, Qt::Key_Right);
    EXPECT_EQ(window.FindControl<CSliderUI>("slider")->GetValue(), 51);
    QTest::keyClick(widget, Qt::Key_Backtab);
    EXPECT_EQ(window.GetPaintManager().GetFocus(), window.FindControl("edit"));
}

TEST(PaletteGeometry, HsvRoundTripAndPicks) {
    for (DWORD colour : {0xFF0199CBu, 0xFFFF0000u, 0xFF00FF00u, 0xFF123456u, 0xFFFFFFFFu}) {
        EXPECT_EQ(FromHsv(ToHsv(colour)), colour) << std::hex << colour;
    }
    const PaletteLayout layout = LayoutPalette({0, 0, 361, 120}, 100, 10);
    EXPECT_EQ(layout.square, (RECT{0, 0, 361, 100}));
    EXPECT_EQ(layout.bar, (RECT{0, 104, 361, 114}));
    // Top-left of the square: pure red; a black colour becomes bright.
    EXPECT_EQ(PickColour(layout, {0, 0}, 0xFF000000, false), 0xFFFF0000u);
    // Bottom of the square: no saturation (white at full brightness).
    EXPECT_EQ(PickColour(layout, {200, 99}, 0xFFFF0000, false), 0xFFFFFFFFu);
    // Left end of the bar: black, keeping hue and saturation for later.
    EXPECT_EQ(PickColour(layout, {0, 108}, 0xFFFF0000, true), 0xFF000000u);
    // Points past the edge are clamped into the part the drag started in.
    EXPECT_EQ(PickColour(layout, {-50, 500}, 0xFF00FF00, true), 0xFF000000u);
    const POINT marker = SquareMarker(layout, 0xFFFF0000);
    EXPECT_EQ(marker.x, 0);
    EXPECT_EQ(marker.y, 0);
    EXPECT_EQ(BarMarker(layout, 0xFFFF0000), 360);
}

} // namespace
} // namespace quellix::dui::qt
