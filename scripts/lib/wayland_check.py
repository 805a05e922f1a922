"""The program in a Wayland session, checked from outside (run by
scripts/wayland_check.sh inside its own session bus):

  1. weston (headless backend, pixman renderer) is the compositor; a
     StatusNotifierWatcher with a host stands for the desktop's tray.
  2. quellix --hidden --simulate starts in the tray (as the autostart entry
     starts it) with QT_QPA_PLATFORM=wayland and no X display, and uses
     Qt's Wayland plugin.
  3. Its tray icon registers with the watcher as a StatusNotifierItem, and
     activating the item (a click on it in the tray) shows the window.
  4. The device tabs switch the pages, pressed through AT-SPI as a screen
     reader would.
  5. The compositor's screenshot shows the window (not a blank screen).
  6. SIGTERM ends the program with exit status 0.

    python3 wayland_check.py BINARY SCREENSHOT_PNG
"""

import glob
import os
import shutil
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "a11y"))

import dbus  # noqa: E402
import pyatspi  # noqa: E402
from atspi_client import (children, desktop, do_action, enable_accessibility, find,  # noqa: E402
                          has_state, showing, wait_for)

BINARY, SCREENSHOT = sys.argv[1], os.path.abspath(sys.argv[2])
WORK = os.environ["QUELLIX_WAYLAND_WORK"]
SOCKET = "quellix-wayland-%d" % os.getpid()
failures = 0


def check(what, condition):
    global failures
    try:
        ok = bool(condition())
    except Exception as error:  # noqa: BLE001 - a failed check says why
        ok = False
        what += " (%s)" % error
    print("  %s  %s" % ("ok  " if ok else "FAIL", what), flush=True)
    if not ok:
        failures += 1
    return ok


def start_weston():
    log = open(os.path.join(WORK, "weston.log"), "w")
    # --debug offers the screenshooter protocol; pixman draws into memory.
    weston = subprocess.Popen(
        ["weston", "--backend=headless-backend.so", "--use-pixman", "--debug",
         "--width=1024", "--height=768", "--idle-time=0", "--socket=" + SOCKET],
        stdout=log, stderr=subprocess.STDOUT, cwd=WORK)
    socket = os.path.join(os.environ["XDG_RUNTIME_DIR"], SOCKET)
    wait_for("weston's socket", lambda: weston.poll() is None and os.path.exists(socket))
    # The desktop shell's panel is up once it has drawn.
    time.sleep(1.0)
    return weston


def start_watcher(log_path):
    watcher = subprocess.Popen([sys.executable, os.path.join(HERE, "sni_watcher.py"), log_path])
    bus = dbus.SessionBus()
    wait_for("the StatusNotifierWatcher on the bus",
             lambda: bus.name_has_owner("org.kde.StatusNotifierWatcher"))
    return watcher


def tray_items(log_path):
    try:
        with open(log_path) as log:
            return [line.split() for line in log if line.strip()]
    except FileNotFoundError:
        return []


def screenshot():
    """weston-screenshooter saves the whole output into the current folder."""
    before = set(glob.glob(os.path.join(WORK, "wayland-screenshot*.png")))
    env = dict(os.environ, WAYLAND_DISPLAY=SOCKET)
    subprocess.run(["weston-screenshooter"], cwd=WORK, env=env, check=True, timeout=30)
    made = wait_for("the screenshot file", lambda: set(
        glob.glob(os.path.join(WORK, "wayland-screenshot*.png"))) - before)
    return made.pop()


def colours(png):
    out = subprocess.run(["convert", png, "-format", "%k", "info:"], capture_output=True,
                         text=True, check=True)
    return int(out.stdout.strip())


def main():
    weston = start_weston()
    tray_log = os.path.join(WORK, "tray.log")
    watcher = start_watcher(tray_log)
    enable_accessibility()

    env = dict(os.environ, WAYLAND_DISPLAY=SOCKET, QT_QPA_PLATFORM="wayland",
               QUELLIX_DEBUG="1", QUELLIX_INSTANCE_NAME="quellix-wayland-%d" % os.getpid(),
               QUELLIX_DOCUMENTS_DIR=os.path.join(WORK, "Documents"),
               QUELLIX_MACHINE_STORE=os.path.join(WORK, "machine.ini"))
    env.pop("DISPLAY", None)
    program_log = open(os.path.join(WORK, "program.log"), "w")
    program = subprocess.Popen([BINARY, "--hidden", "--simulate"], env=env, stdout=program_log,
                               stderr=subprocess.STDOUT)
    try:
        run(program)
    finally:
        if program.poll() is None:
            program.kill()
            program.wait()
        program_log.close()
        for process in (watcher, weston):
            process.terminate()
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
    if failures:
        with open(os.path.join(WORK, "program.log"), errors="replace") as log:
            print("the program's output (last lines):")
            print(log.read()[-3000:])
    return 1 if failures else 0


def run(program):
    print("1. quellix --hidden --simulate on weston (QT_QPA_PLATFORM=wayland, no DISPLAY)")

    def app_on_bus():
        if program.poll() is not None:
            raise AssertionError("the program ended with %d" % program.returncode)
        for app in children(desktop()):
            if app is not None and "quellix" in (app.name or "").lower():
                return app
        return None
    app = wait_for("the program on the accessibility bus", app_on_bus, timeout=30)

    def main_window():
        for w in children(app):
            if w is not None and w.description == "MainWnd" and showing(w):
                return w
        return None
    with open("/proc/%d/maps" % program.pid) as maps:
        mapped = maps.read()
    check("it uses Qt's Wayland plugin", lambda: "libqwayland" in mapped)
    check("and not X11's", lambda: "libqxcb" not in mapped)

    print("2. the tray icon is a StatusNotifierItem")
    tray_log = os.path.join(WORK, "tray.log")
    items = []
    check("the program registered a tray item with the watcher",
          lambda: items.extend(wait_for("a registered item", lambda: tray_items(tray_log),
                                        timeout=30)) or items)
    # The simulated devices connect meanwhile; a start in the tray keeps
    # the window hidden through that.
    time.sleep(3.0)
    check("the window waits in the tray", lambda: main_window() is None)
    if items:
        name, path = items[0]
        bus = dbus.SessionBus()
        item = bus.get_object(name, path)
        props = dbus.Interface(item, "org.freedesktop.DBus.Properties")
        check("the item has the program's icon",
              lambda: len(props.Get("org.kde.StatusNotifierItem", "IconPixmap")) > 0)
        check("the item is active", lambda: props.Get("org.kde.StatusNotifierItem",
                                                      "Status") == "Active")
        # A click on the icon in the tray.
        dbus.Interface(item, "org.kde.StatusNotifierItem").Activate(0, 0)
    main = None

    def shown():
        nonlocal main
        main = wait_for("the main window", main_window, timeout=20)
        return main
    if not check("activating the item shows the window", shown):
        return

    def control(name):
        return wait_for("control %s" % name, lambda: find(main, description=name))

    pages = {"mp_tab": "mp_page", "ms_tab": "ms_page", "kb_tab": "kb_page"}
    for tab in pages:
        wait_for("%s shown" % tab, lambda: showing(control(tab)), timeout=30)
    # The devices' connections select their tabs as they come.
    time.sleep(1.0)

    print("3. the device tabs switch the pages (through AT-SPI)")
    for tab, page in pages.items():
        def switched(tab=tab, page=page):
            do_action(control(tab), "press")
            selected = wait_for("%s selected" % tab, lambda: has_state(
                control(tab), pyatspi.STATE_CHECKED) or has_state(control(tab),
                                                                   pyatspi.STATE_SELECTED))
            shown = wait_for("%s shown" % page, lambda: showing(control(page)))
            others = [p for p in pages.values() if p != page]
            hidden = wait_for("the other pages hidden", lambda: not any(
                showing(control(other)) for other in others))
            return selected and shown and hidden
        check("%s shows %s" % (tab, page), switched)

    print("4. the compositor's screenshot")
    time.sleep(1.0)  # the page's pictures and previews settle
    shot = None

    def taken():
        nonlocal shot
        shot = screenshot()
        return shot
    if check("weston-screenshooter saved the screen", taken):
        os.makedirs(os.path.dirname(SCREENSHOT), exist_ok=True)
        shutil.copyfile(shot, SCREENSHOT)
        print("  saved %s" % SCREENSHOT)
        check("the screen shows the window, not a blank fill", lambda: colours(shot) > 64)

    print("5. SIGTERM")
    program.send_signal(signal.SIGTERM)
    try:
        status = program.wait(30)
    except subprocess.TimeoutExpired:
        status = None
    check("the program ends with exit status 0 (was %s)" % status, lambda: status == 0)


if __name__ == "__main__":
    sys.exit(main())
