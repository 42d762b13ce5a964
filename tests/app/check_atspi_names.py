#!/usr/bin/env python3
"""Walks the planner's windows as a screen reader sees them, through AT-SPI,
and fails on a focusable control that has no name.

Starts everything privately: an X server (Xvfb), a session bus
(dbus-daemon), the accessibility bus and registry (at-spi-bus-launcher)
and the windows program with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1. The tool
windows are opened as a screen reader user would: by pressing their menu
items and toolbar pictures through AT-SPI. Prints "SKIPPED" and exits 77
when a component is missing or does not start.

    check_atspi_names.py PATH/zorvik-planner-windows
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
# Rows and cells of lists and grids hold the plan's texts, which may be
# empty; the list or grid itself must have a name.
CONTENT_ROLES = {"table cell", "list item", "tree item", "table row", "table column header",
                 "table row header", "column header", "row header"}
# The tool windows, by the menu item or toolbar picture that opens them.
OPENERS = ["Show", "Plot.....", "Loan simulator", "Phone book", "Notes...", "Calculator", "World times",
           "Highlight keyword entries in Planner list window", "About...", "Contents"]


def skip(why):
    print("SKIPPED: " + why)
    sys.exit(77)


def start_xvfb(procs):
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    procs.append(xvfb)
    os.close(write_end)
    number = b""
    with os.fdopen(read_end, "rb") as pipe:
        number = pipe.readline().strip()
    if not number:
        skip("Xvfb did not start")
    return ":" + number.decode()


def start_session_bus(procs, env):
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"], stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, env=env)
    procs.append(bus)
    address = bus.stdout.readline().decode().strip()
    if not address:
        skip("dbus-daemon did not start")
    return address


def wait_for(what, timeout=20):
    end = time.time() + timeout
    while time.time() < end:
        found = what()
        if found is not None:
            return found
        time.sleep(0.25)
    return None


def main():
    program = os.path.abspath(sys.argv[1])
    for tool in ("Xvfb", "dbus-daemon"):
        if not shutil.which(tool):
            skip(tool + " is not installed")
    if not os.access(LAUNCHER, os.X_OK):
        skip("at-spi2-core is not installed")
    procs = []
    home = tempfile.mkdtemp(prefix="zorvik-atspi-")
    runtime = os.path.join(home, "run")
    os.mkdir(runtime, 0o700)
    env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=os.path.join(home, ".config"),
               XDG_DATA_HOME=os.path.join(home, ".local/share"), NO_AT_BRIDGE="0",
               PULSE_SERVER="unix:/nonexistent/zorvik-no-sound-server")
    env.pop("QT_QPA_PLATFORM", None)
    try:
        env["DISPLAY"] = start_xvfb(procs)
        env["DBUS_SESSION_BUS_ADDRESS"] = start_session_bus(procs, env)
        procs.append(subprocess.Popen([LAUNCHER, "--launch-immediately"], env=env, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL))
        # pyatspi reaches the buses through these.
        os.environ.update(env)
        try:
            import pyatspi
        except ImportError:
            skip("python3-pyatspi is not installed")
        planner = subprocess.Popen([program], env=dict(env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                                                       QT_QPA_PLATFORM="xcb"))
        procs.append(planner)
        return check(pyatspi, planner)
    finally:
        for p in reversed(procs):
            if p.poll() is None:
                p.send_signal(signal.SIGTERM)
                try:
                    p.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    p.kill()
        shutil.rmtree(home, ignore_errors=True)


def application(pyatspi):
    def find():
        try:
            desktop = pyatspi.Registry.getDesktop(0)
            for i in range(desktop.childCount):
                a = desktop.getChildAtIndex(i)
                if a is not None and a.name.startswith("zorvik-planner"):
                    return a
        except Exception:
            return None
        return None
    return wait_for(find)


def nodes(root, depth=40):
    stack = [(root, 0)]
    while stack:
        node, d = stack.pop()
        if node is None:
            continue
        yield node, d
        try:
            role = node.getRoleName()
            if role in ("table", "tree table", "list", "list box", "tree") or d >= depth:
                continue
            for i in range(node.childCount - 1, -1, -1):
                stack.append((node.getChildAtIndex(i), d + 1))
        except Exception:
            pass


FOCUSABLE_SEEN = set()


def unnamed(pyatspi, window):
    found = []
    for node, _ in nodes(window):
        try:
            states = node.getState()
            role = node.getRoleName()
            if role in CONTENT_ROLES or not states.contains(pyatspi.STATE_SHOWING):
                continue
            if states.contains(pyatspi.STATE_FOCUSABLE):
                FOCUSABLE_SEEN.add((window.name, node.name, role))
            if states.contains(pyatspi.STATE_FOCUSABLE) and not (node.name or "").strip():
                found.append("%s: a %s in %s" % (window.name, role, node.parent.name if node.parent else "?"))
        except Exception:
            pass
    return found


def press(node):
    action = node.queryAction()
    names = [action.getName(i).lower() for i in range(action.nActions)]
    for wanted in ("press", "click", "activate", "toggle"):
        if wanted in names:
            action.doAction(names.index(wanted))
            return
    action.doAction(0)


def by_name(root, name):
    for node, _ in nodes(root):
        try:
            if node.name.replace("&", "") == name and node.getRoleName() in ("menu item", "push button", "page tab"):
                return node
        except Exception:
            pass
    return None


def windows(app):
    return [app.getChildAtIndex(i) for i in range(app.childCount)]


def reach_main_window(pyatspi, app, problems, timeout=30):
    """Answers what comes before the main window (a first-start message, the
    reminders' "Run Planner"), walking each on the way."""
    end = time.time() + timeout
    while time.time() < end:
        for w in windows(app):
            try:
                if w.name.startswith("Zorvik Planner 3.2"):
                    return w
                for button in ("OK", "Run Planner"):
                    node = by_name(w, button)
                    if node is not None:
                        problems += unnamed(pyatspi, w)
                        press(node)
                        break
            except Exception:
                pass
        time.sleep(0.5)
    return None


def check(pyatspi, planner):
    app = application(pyatspi)
    if app is None:
        skip("the planner did not appear on the accessibility bus")
    problems = []
    main = reach_main_window(pyatspi, app, problems)
    if main is None:
        print("FAILED: the main window did not come up; windows: %s" % [w.name for w in windows(app)])
        return 1
    # The record pages one after the other, so each page's controls show.
    for page in ("Info", "Details", "Image", "Edit"):
        tab = by_name(main, page)
        if tab is not None:
            press(tab)
            time.sleep(0.3)
            problems += unnamed(pyatspi, main)
    for opener in OPENERS:
        node = by_name(main, opener)
        if node is None:
            problems.append("nothing named '%s' to open a window with" % opener)
            continue
        before = app.childCount
        press(node)
        time.sleep(0.8)
        opened = windows(app)[before:]
        if not opened:
            problems.append("'%s' opened no window" % opener)
        for w in opened:
            problems += unnamed(pyatspi, w)
        if planner.poll() is not None:
            problems.append("the planner ended after '%s'" % opener)
            break
    # Every window left open, once more, as some fill in after opening.
    for w in windows(app):
        problems += unnamed(pyatspi, w)
    # Controls that show a changing value say it.
    for window, prefix in (("Capital City World Times", "London "), ("Zorvik Calculator", "Display ")):
        said = [n.name for w in windows(app) if w.name == window for n, _ in nodes(w)
                if (n.name or "").startswith(prefix)]
        if not any(name[len(prefix):].strip() for name in said):
            problems.append("%s: no '%s' with its value (%s)" % (window, prefix.strip(), said))
        else:
            print("says: " + said[0])
    problems = sorted(set(problems))
    for p in problems:
        print("unnamed: " + p)
    walked = ", ".join(sorted({w.name for w in windows(app)}))
    print("walked %d focusable controls in: %s" % (len(FOCUSABLE_SEEN), walked))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
