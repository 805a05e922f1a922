"""The program as assistive technology sees it: start it on the session bus
with accessibility on, find its windows and controls, wait for states.

Controls are found by their accessible description, which carries the name
the layout gives them ("mp_tab"), or by role and accessible name."""

import os
import subprocess
import time

import dbus
import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402
import pyatspi  # noqa: E402


def enable_accessibility():
    """Turns the desktop's accessibility on, as a screen reader does when it
    starts (the session bus starts the accessibility bus on this call)."""
    bus = dbus.SessionBus()
    props = dbus.Interface(bus.get_object("org.a11y.Bus", "/org/a11y/bus"),
                           "org.freedesktop.DBus.Properties")
    props.Set("org.a11y.Status", "IsEnabled", dbus.Boolean(True))


def desktop():
    d = pyatspi.Registry.getDesktop(0)
    # Read every property fresh: the program's tree changes as pages switch.
    d.set_cache_mask(Atspi.Cache.NONE)
    return d


def wait_for(what, condition, timeout=20.0, step=0.1):
    """Polls until condition() returns something true; fails after timeout."""
    deadline = time.monotonic() + timeout
    last_error = None
    while time.monotonic() < deadline:
        try:
            value = condition()
            if value:
                return value
        except AssertionError:
            raise
        except Exception as error:  # the tree may change while it is read
            last_error = error
        time.sleep(step)
    raise AssertionError("timed out waiting for %s%s" %
                         (what, " (%s)" % last_error if last_error else ""))


def children(node):
    try:
        return [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:
        return []


def walk(node):
    for child in children(node):
        if child is None:
            continue
        yield child
        yield from walk(child)


def role_name(node):
    return node.getRoleName()


def states(node):
    return node.getState()


def has_state(node, state):
    return node.getState().contains(state)


def showing(node):
    return has_state(node, pyatspi.STATE_SHOWING)


def find(root, description=None, role=None, name=None, only_showing=False):
    for node in walk(root):
        if description is not None and node.description != description:
            continue
        if role is not None and node.getRole() != role:
            continue
        if name is not None and node.name != name:
            continue
        if only_showing and not showing(node):
            continue
        return node
    return None


def do_action(node, wanted):
    """Runs the node's action whose name is `wanted` (case ignored)."""
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() == wanted.lower():
            return action.doAction(i)
    names = [action.getName(i) for i in range(action.nActions)]
    raise AssertionError("%s has no action %r (has %s)" % (describe(node), wanted, names))


def describe(node):
    return "%s %r [%s]" % (role_name(node), node.name, node.description)


class Program:
    """The real program with simulated devices, accessible on the bus."""

    def __init__(self, binary, args=("--simulate",)):
        env = dict(os.environ)
        env.pop("QT_QPA_PLATFORM", None)
        self.log_path = os.path.join(os.environ.get("QUELLIX_A11Y_WORK", "/tmp"), "program.log")
        self.log = open(self.log_path, "w")
        # QUELLIX_A11Y_WRAP runs the program under a debugger or a checker.
        wrap = os.environ.get("QUELLIX_A11Y_WRAP", "").split()
        self.process = subprocess.Popen([*wrap, binary, *args], env=env, stdout=self.log,
                                        stderr=subprocess.STDOUT)
        self.app = wait_for("the program on the accessibility bus", self._find_app)

    def output(self):
        self.log.flush()
        with open(self.log_path, errors="replace") as f:
            return f.read()

    def _find_app(self):
        if self.process.poll() is not None:
            raise AssertionError("the program ended with %d:\n%s" %
                                 (self.process.returncode, self.output()[-3000:]))
        for app in children(desktop()):
            if app is not None and "quellix" in (app.name or "").lower():
                return app
        return None

    def window(self, description, timeout=20.0):
        """A visible top-level window of the program by its class name."""
        def visible_window():
            for w in children(self.app):
                if w is not None and w.description == description and showing(w):
                    return w
            return None
        return wait_for("window %s" % description, visible_window, timeout)

    def windows(self):
        return [w for w in children(self.app) if w is not None]

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.log.close()


STATE_WORDS = [(pyatspi.STATE_SHOWING, "showing"), (pyatspi.STATE_SENSITIVE, "enabled"),
               (pyatspi.STATE_FOCUSABLE, "focusable"), (pyatspi.STATE_FOCUSED, "focused"),
               (pyatspi.STATE_CHECKED, "checked"), (pyatspi.STATE_SELECTED, "selected")]


def dump_tree(node, out, depth=0, only_showing=True):
    """Prints the tree as a screen reader reads it: role, name, value,
    states and, in brackets, the control's name in the layout."""
    for child in children(node):
        if child is None or (only_showing and not showing(child)):
            continue
        words = [w for state, w in STATE_WORDS if has_state(child, state) and w != "showing"]
        value = ""
        try:
            value = " = %s" % child.queryValue().currentValue
        except NotImplementedError:
            pass
        except Exception:
            pass
        out.write("%s%s %r%s {%s} [%s]\n" % ("  " * depth, child.getRoleName(), child.name,
                                            value, ", ".join(words), child.description))
        dump_tree(child, out, depth + 1, only_showing)
