#!/usr/bin/env python3
"""Walks the planner's windows as a screen reader sees them, through AT-SPI,
and fails on a focusable control that has no name.

Starts its own X server (Xvfb), session bus (dbus-daemon), accessibility bus
(at-spi-bus-launcher) and the windows program with
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1; opens the tool windows as a screen
reader user would, by pressing their menu items and toolbar pictures through
AT-SPI. Prints "SKIPPED" and exits 77 when a component is missing or does
not start.    check_atspi_names.py PATH/zorvik-planner-windows
"""
import os, shutil, signal, subprocess, sys, tempfile, time

LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
# Rows and cells of lists and grids hold the plan's texts, which may be
# empty; the list or grid itself must have a name.
CONTENT_ROLES = {"table cell", "list item", "tree item", "table row", "table column header",
                 "table row header", "column header", "row header"}
OPENERS = ["Show", "Plot.....", "Loan simulator", "Phone book", "Notes...", "Calculator", "World times",
           "Highlight keyword entries in Planner list window", "About...", "Contents"]
# Controls that show a changing value say it in their name.
VALUES = [("Capital City World Times", "London "), ("Zorvik Calculator", "Display ")]


def skip(why):
    print("SKIPPED: " + why)
    sys.exit(77)


def first_line(cmd, procs, **kw):
    """Starts cmd and returns the first line it writes to fd 1."""
    p = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, **kw)
    procs.append(p)
    return p.stdout.readline().decode().strip()


def wait_for(what, timeout=30):
    end = time.time() + timeout
    while time.time() < end:
        try:
            found = what()
        except Exception:
            found = None
        if found is not None:
            return found
        time.sleep(0.3)
    return None


def nodes(root):
    stack = [root]
    while stack:
        node = stack.pop()
        if node is None:
            continue
        yield node
        try:
            if node.getRoleName() not in ("table", "tree table", "list", "list box", "tree"):
                stack.extend(node.getChildAtIndex(i) for i in range(node.childCount))
        except Exception:
            pass


def unnamed(pyatspi, window, seen):
    found = []
    for node in nodes(window):
        try:
            states, role = node.getState(), node.getRoleName()
            if role in CONTENT_ROLES or not states.contains(pyatspi.STATE_SHOWING) \
                    or not states.contains(pyatspi.STATE_FOCUSABLE):
                continue
            seen.add((window.name, node.name, role))
            if not (node.name or "").strip():
                found.append("%s: a %s in '%s'" % (window.name, role, node.parent.name if node.parent else ""))
        except Exception:
            pass
    return found


def by_name(root, name, roles=("menu item", "push button")):
    for node in nodes(root):
        try:
            if node.name.replace("&", "") == name and node.getRoleName() in roles:
                return node
        except Exception:
            pass
    return None


def press(node):
    action = node.queryAction()
    names = [action.getName(i).lower() for i in range(action.nActions)]
    action.doAction(next((names.index(n) for n in ("press", "click", "activate", "toggle") if n in names), 0))


def windows(app):
    return [app.getChildAtIndex(i) for i in range(app.childCount)]


def main_window(app, walk):
    """Answers what comes before the main window (a first-start message, the
    reminders' "Run Planner"), walking each on the way."""
    def step():
        for w in windows(app):
            if w.name.startswith("Zorvik Planner 3.2"):
                return w
            for button in filter(None, (by_name(w, "OK"), by_name(w, "Run Planner"))):
                walk(w)
                press(button)
                break
        return None
    return wait_for(step)


def check(pyatspi, planner):
    def find_app():
        desktop = pyatspi.Registry.getDesktop(0)
        apps = (desktop.getChildAtIndex(i) for i in range(desktop.childCount))
        return next((a for a in apps if a is not None and a.name.startswith("zorvik-planner")), None)
    # A loaded machine (a parallel test run) can take long to bring the
    # planner and the registry together; only a planner that never shows
    # up means the bus is not working here.
    app = wait_for(find_app, timeout=100)
    if app is None:
        skip("the planner did not appear on the accessibility bus")
    problems, seen = [], set()
    walk = lambda w: problems.extend(unnamed(pyatspi, w, seen))
    main = main_window(app, walk)
    if main is None:
        print("FAILED: no main window; windows: %s" % [w.name for w in windows(app)])
        return 1
    for page in ("Info", "Details", "Image", "Edit"):  # each record page's controls show in turn
        press(by_name(main, page, ("page tab",)))
        time.sleep(0.3)
        walk(main)
    for opener in OPENERS:
        node, before = by_name(main, opener), app.childCount
        if node is None:
            problems.append("nothing named '%s' to open a window with" % opener)
            continue
        press(node)
        time.sleep(0.8)
        if app.childCount == before or planner.poll() is not None:
            problems.append("'%s' opened no window" % opener)
    for w in windows(app):
        walk(w)
    for title, prefix in VALUES:
        said = [n.name for w in windows(app) if w.name == title for n in nodes(w) if (n.name or "").startswith(prefix)]
        if not any(s[len(prefix):].strip() for s in said):
            problems.append("%s: no '%s' with its value" % (title, prefix.strip()))
        else:
            print("says: " + said[0])
    for p in sorted(set(problems)):
        print("problem: " + p)
    print("walked %d focusable controls in: %s" % (len(seen), ", ".join(sorted({w.name for w in windows(app)}))))
    return 1 if problems else 0


def main():
    for tool in ("Xvfb", "dbus-daemon"):
        if not shutil.which(tool):
            skip(tool + " is not installed")
    if not os.access(LAUNCHER, os.X_OK):
        skip("at-spi2-core is not installed")
    procs, home = [], tempfile.mkdtemp(prefix="zorvik-atspi-")
    os.mkdir(os.path.join(home, "run"), 0o700)
    env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=os.path.join(home, "run"),
               XDG_CONFIG_HOME=os.path.join(home, ".config"), XDG_DATA_HOME=os.path.join(home, ".local/share"),
               PULSE_SERVER="unix:/nonexistent/zorvik-no-sound-server")
    env.pop("QT_QPA_PLATFORM", None)
    try:
        display = first_line(["Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"], procs)
        if not display:
            skip("Xvfb did not start")
        env["DISPLAY"] = ":" + display
        env["DBUS_SESSION_BUS_ADDRESS"] = first_line(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                                     procs, env=env)
        if not env["DBUS_SESSION_BUS_ADDRESS"]:
            skip("dbus-daemon did not start")
        procs.append(subprocess.Popen([LAUNCHER, "--launch-immediately"], env=env, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL))
        os.environ.update(env)  # pyatspi reaches the buses through these
        try:
            import pyatspi
        except ImportError:
            skip("python3-pyatspi is not installed")
        planner = subprocess.Popen([os.path.abspath(sys.argv[1])],
                                   env=dict(env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb"))
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


if __name__ == "__main__":
    sys.exit(main())
