"""Accessibility cases run against the real program (see run.sh).

Each case starts the program afresh, drives it only through AT-SPI and
checks what a screen reader would read.  Prints one line per case and a
closing "N passed, N failed" line; exits 1 when any case failed."""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import traceback

import pyatspi

from atspi_client import (Program, describe, do_action, enable_accessibility, find, has_state,
                          showing, wait_for, walk)

BINARY = os.environ["QUELLIX_BINARY"]
# The program's debug output goes to its log, where the cases read it.
os.environ.setdefault("QUELLIX_DEBUG", "1")
# Roles that only group other nodes: they need no name of their own.
GROUPING_ROLES = {pyatspi.ROLE_PANEL, pyatspi.ROLE_LAYERED_PANE, pyatspi.ROLE_FILLER,
                  pyatspi.ROLE_GROUPING}


def control(root, name):
    return wait_for("control %s" % name, lambda: find(root, description=name))


def settled_main(program):
    """The main window once start-up is over: the simulated devices are
    connected and their tabs shown (start-up may still show or raise the
    window before that)."""
    main = program.window("MainWnd")
    for tab in ("kb_tab", "ms_tab", "mp_tab"):
        wait_for("%s shown" % tab, lambda: showing(control(main, tab)))
    return main


def selected(node):
    return has_state(node, pyatspi.STATE_CHECKED) or has_state(node, pyatspi.STATE_SELECTED)


def case_device_tabs_switch_the_page(program):
    main = program.window("MainWnd")
    pages = {"kb_tab": "kb_page", "ms_tab": "ms_page", "mp_tab": "mp_page"}
    # The devices' connections select their tabs as they come: start once
    # all three are there and their reads are done.
    for tab_name in pages:
        wait_for("%s shown" % tab_name, lambda: showing(control(main, tab_name)))
    time.sleep(1.0)
    for tab_name, page_name in pages.items():
        tab = wait_for("%s shown" % tab_name,
                       lambda: showing(control(main, tab_name)) and control(main, tab_name))
        assert tab.getRole() == pyatspi.ROLE_PAGE_TAB, describe(tab)
        assert tab.name, "the tab %s has no name" % tab_name
        do_action(tab, "press")
        wait_for("%s selected" % tab_name, lambda: selected(control(main, tab_name)))
        wait_for("%s shown" % page_name, lambda: showing(control(main, page_name)))
        others = [other for other in pages.values() if other != page_name]
        wait_for("%s hidden" % " and ".join(others),
                 lambda: not any(showing(control(main, other)) for other in others))


def case_slider_value_reads_and_sets(program):
    main = settled_main(program)
    time.sleep(1.0)  # the connections select their own tabs first
    do_action(control(main, "ms_tab"), "press")
    slider = wait_for("a slider shown on the mouse page",
                      lambda: find(main, role=pyatspi.ROLE_SLIDER, only_showing=True))
    value = slider.queryValue()
    low, high = value.minimumValue, value.maximumValue
    assert low < high, "%s: range %s..%s" % (describe(slider), low, high)
    target = low + 1 if value.currentValue != low + 1 else low + 2
    value.currentValue = target
    wait_for("%s at %s" % (describe(slider), target),
             lambda: slider.queryValue().currentValue == target)


def case_check_box_toggles(program):
    main = settled_main(program)
    time.sleep(1.0)  # the connections select their own tabs first
    do_action(control(main, "mp_tab"), "press")
    box = wait_for("a check box shown on the pad page",
                   lambda: find(main, role=pyatspi.ROLE_CHECK_BOX, only_showing=True))
    before = has_state(box, pyatspi.STATE_CHECKED)
    do_action(box, "toggle")
    wait_for("%s toggled" % describe(box),
             lambda: has_state(box, pyatspi.STATE_CHECKED) != before)


def case_every_shown_control_has_a_role_and_a_name(program):
    # A device that connects selects its own tab: start once all are there.
    main = settled_main(program)
    time.sleep(1.0)
    missing = []
    for tab_name in ("kb_tab", "ms_tab", "mp_tab"):
        do_action(control(main, tab_name), "press")
        wait_for("%s selected" % tab_name, lambda: selected(control(main, tab_name)))
        time.sleep(0.2)
        for node in walk(main):
            if not showing(node) or node.getRole() in GROUPING_ROLES:
                continue
            if node.getRole() in (pyatspi.ROLE_UNKNOWN, pyatspi.ROLE_INVALID) or not node.name:
                missing.append("%s on %s" % (describe(node), tab_name))
    assert not missing, "controls without a role or a name:\n  " + "\n  ".join(
        sorted(set(missing)))


# Key codes of the virtual X server's default keymap.
KEY_TAB, KEY_SPACE = 23, 65


def press_key(code):
    pyatspi.Registry.generateKeyboardEvent(code, None, pyatspi.KEY_PRESSRELEASE)


def focused(root):
    return next((n for n in walk(root) if has_state(n, pyatspi.STATE_FOCUSED)), None)


def case_keyboard_reaches_and_presses_the_tabs(program):
    main = settled_main(program)
    wait_for("the main window active", lambda: has_state(main, pyatspi.STATE_ACTIVE))
    # Tab from nothing focused: the first tab of the caption, then the next.
    press_key(KEY_TAB)
    first = wait_for("a focused control", lambda: focused(main))
    press_key(KEY_TAB)
    def moved():
        now = focused(main)
        return now if now is not None and now.description != first.description else None
    second = wait_for("the focus moved", moved)
    assert second.getRole() == pyatspi.ROLE_PAGE_TAB, describe(second)
    press_key(KEY_SPACE)
    wait_for("%s selected by Space" % describe(second), lambda: selected(second))


def case_minimise_button_iconifies_the_window(program):
    main = settled_main(program)
    do_action(control(main, "minbtn"), "press")
    wait_for("the main window iconified", lambda: has_state(main, pyatspi.STATE_ICONIFIED) or
             not showing(main))


def case_palette_dialog_picks_a_colour(program):
    main = settled_main(program)
    time.sleep(1.0)  # the connections select their own tabs first
    do_action(control(main, "ms_tab"), "press")
    do_action(control(main, "ms_rich_Op_tab"), "press")
    button = wait_for("the first DPI colour shown",
                      lambda: showing(control(main, "ms_DPIcolor_btn_1")) and
                      control(main, "ms_DPIcolor_btn_1"))
    do_action(button, "press")
    dialog = program.window("UIPalletDialog")
    palette = control(dialog, "Pallet")
    assert palette.getRole() == pyatspi.ROLE_COLOR_CHOOSER, describe(palette)
    palette.queryValue().currentValue = 0x00FF00
    wait_for("the green pick", lambda: palette.queryValue().currentValue == 0x00FF00)
    do_action(control(dialog, "okbtn"), "press")
    wait_for("the dialog closed", lambda: not any(
        w.description == "UIPalletDialog" and showing(w) for w in program.windows()))


def case_about_window_opens_and_closes(program):
    main = program.window("MainWnd")
    do_action(control(main, "menubtn"), "press")
    # Menus are popups: they are found among their owner window's children.
    menu = wait_for("the menu", lambda: find(main, description="DuiMenuWnd"))
    do_action(control(menu, "About_setting"), "press")
    about = program.window("UICOPYRIGHT")
    do_action(control(about, "closebtn"), "press")
    wait_for("the about window closed", lambda: not any(
        w.description == "UICOPYRIGHT" and showing(w) for w in program.windows()))


def case_close_button_ends_the_program(program):
    main = settled_main(program)
    do_action(control(main, "closebtn"), "press")
    wait_for("the program to end", lambda: program.process.poll() is not None, timeout=20)



# The lighting page of each device tab.
LIGHTING_PAGES = {"mp_tab": "mp_deng_page", "ms_tab": "ms_deng_page", "kb_tab": "kb_deng_page"}
# Words of the program's output that must not follow a click.
TROUBLE = ("warning", "critical", "lighting: not built yet", "qpainter", "qwidget")


def case_lighting_pages_click_through(program):
    """Presses every button and option and moves every slider of the three
    lighting pages; the program's output says nothing about it."""
    main = settled_main(program)
    time.sleep(1.0)
    before = len(program.output().splitlines())
    pressed = 0
    for tab, page in LIGHTING_PAGES.items():
        do_action(control(main, tab), "press")
        wait_for("%s selected" % tab, lambda: selected(control(main, tab)))
        time.sleep(0.2)
        for node in list(walk(control(main, page))):
            if not showing(node) or not has_state(node, pyatspi.STATE_ENABLED):
                continue
            role = node.getRole()
            if role == pyatspi.ROLE_SLIDER:
                value = node.queryValue()
                value.currentValue = value.minimumValue
                pressed += 1
            elif role in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX,
                          pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON):
                action = node.queryAction()
                names = [action.getName(i).lower() for i in range(action.nActions)]
                for wanted in ("press", "toggle"):
                    if wanted in names:
                        do_action(node, wanted)
                        pressed += 1
                        break
            time.sleep(0.02)
    time.sleep(0.5)
    assert pressed > 60, "only %d controls pressed" % pressed
    assert program.process.poll() is None, "the program ended"
    lines = program.output().splitlines()[before:]
    trouble = [line for line in lines if any(word in line.lower() for word in TROUBLE)]
    assert not trouble, "the output after the clicks:\n  " + "\n  ".join(trouble[:20])


class ServedSimulator:
    """quellix-sim serving the three devices in a folder of its own, for the
    cases that fault a device while the program runs."""

    def __init__(self):
        self.dir = tempfile.mkdtemp(prefix="quellix-a11y-sim-")
        self.tool = os.path.join(os.path.dirname(BINARY), "quellix-sim")
        self.process = subprocess.Popen([self.tool, "serve", "--dir", self.dir],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for("the simulator serving", lambda: any(
            name.endswith(".sock") for name in os.listdir(self.dir)))

    def command(self, *words):
        subprocess.run([self.tool, *words, "--dir", self.dir], check=True,
                       stdout=subprocess.DEVNULL)

    def stop(self):
        self.process.terminate()
        self.process.wait(10)
        shutil.rmtree(self.dir, ignore_errors=True)


def case_refused_write_is_shown_with_its_reason(program):
    """The mouse refuses what it is sent for a while (status 0xFF); a DPI
    stage moved on the mouse page brings a message box that says so.  The
    lighting stream meets the refusals too (it goes on quietly), so the
    fault lasts long enough for the write to meet one."""
    main = settled_main(program)
    time.sleep(1.0)
    do_action(control(main, "ms_tab"), "press")
    do_action(control(main, "ms_rich_Op_tab"), "press")
    slider = wait_for("the DPI stage 3 slider shown",
                      lambda: showing(control(main, "ms_DPI3_slider")) and
                      control(main, "ms_DPI3_slider"))
    program.simulator.command("status", "mouse", "0xFF", "400")
    value = slider.queryValue()
    value.currentValue = value.minimumValue + 1
    box = program.window("MsgWnd")
    text = control(box, "MessageText").name
    assert "0xFF" in text, "the box does not give the reason: %r" % text
    assert "command 6" in text, "the box does not name the request: %r" % text
    do_action(control(box, "confirm_btn"), "press")
    wait_for("the box closed", lambda: not any(
        w.description == "MsgWnd" and showing(w) for w in program.windows()))
    lines = [line for line in program.output().splitlines() if "message_device_failed" in line]
    assert len(lines) == 1 and "0xff" in lines[0], "not one debug line: %r" % lines


case_refused_write_is_shown_with_its_reason.served = True


CASES = [
    case_device_tabs_switch_the_page,
    case_slider_value_reads_and_sets,
    case_check_box_toggles,
    case_keyboard_reaches_and_presses_the_tabs,
    case_every_shown_control_has_a_role_and_a_name,
    case_palette_dialog_picks_a_colour,
    case_lighting_pages_click_through,
    case_about_window_opens_and_closes,
    case_minimise_button_iconifies_the_window,
    case_close_button_ends_the_program,
    case_refused_write_is_shown_with_its_reason,
]
# Cases run only when named.
PENDING_CASES = []


def dump(argv):
    """Prints the shown part of the main window's tree (after selecting the
    page named by the argument, such as ms_tab)."""
    from atspi_client import dump_tree
    enable_accessibility()
    program = Program(BINARY)
    try:
        main = program.window("MainWnd")
        for tab in argv:
            do_action(control(main, tab), "press")
            wait_for("%s selected" % tab, lambda: selected(control(main, tab)))
            time.sleep(0.3)
        sys.stdout.write("%s %r [%s]\n" % (main.getRoleName(), main.name, main.description))
        dump_tree(main, sys.stdout, 1)
    finally:
        program.stop()
    return 0


def main(argv):
    if argv and argv[0] == "--dump":
        return dump(argv[1:])
    if argv:
        wanted = [c for c in CASES + PENDING_CASES if any(a in c.__name__ for a in argv)]
    else:
        wanted = CASES
    enable_accessibility()
    passed = failed = 0
    for case in wanted:
        started = time.monotonic()
        program = None
        simulator = None
        try:
            if getattr(case, "served", False):
                simulator = ServedSimulator()
                program = Program(BINARY, ("--sim-dir=" + simulator.dir,))
                program.simulator = simulator
            else:
                program = Program(BINARY)
            case(program)
            passed += 1
            print("PASS %s (%.1f s)" % (case.__name__[5:], time.monotonic() - started))
        except Exception:
            failed += 1
            print("FAIL %s" % case.__name__[5:])
            traceback.print_exc(file=sys.stdout)
            if program is not None and program.process.poll() is not None:
                print("the program ended with %d; its output:" % program.process.returncode)
                print(program.output()[-3000:])
        finally:
            if program is not None:
                program.stop()
            if simulator is not None:
                simulator.stop()
        sys.stdout.flush()
    print("a11y: %d passed, %d failed" % (passed, failed))
    return 1 if failed or not wanted else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
