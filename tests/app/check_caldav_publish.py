#!/usr/bin/env python3
"""`zorvik-planner --publish` against a real Radicale, read back with an
independent client (http.client and python3-icalendar): a first publish,
an edit and a removal, a change made on the server (listed, never
overwritten), a wrong password and a server that is down.
Exit 77 (skipped) when Radicale or python3-icalendar is missing or
Radicale does not start."""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from radicale_server import Radicale, Unavailable

try:
    import icalendar
except ImportError:
    print("SKIPPED: python3-icalendar is not installed")
    sys.exit(77)

program = sys.argv[1]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def plan_text(records):
    lines = ["Zorvik Planner 3.2 0", "englisheuro"]
    for start, time, name, message in records:
        lines += [start, time, name, "", "", message, "", "", "0", "plandefault", "plandefault", ""]
    lines.append("plannerend")
    return ("\r\n".join(lines) + "\r\n").encode("utf-8")


def components(ics):
    cal = icalendar.Calendar.from_ical(ics)
    return [c for c in cal.walk() if c.name in ("VEVENT", "VTODO")]


def key(c):
    return (str(c.get("UID")), str(c.get("SUMMARY")), str(c.get("DESCRIPTION")),
            c.get("DTSTART").to_ical() if c.get("DTSTART") else b"")


def exported(plan, env):
    done = subprocess.run([program, "--export-ics", "--date-order", "dmy", plan], capture_output=True, env=env, check=True)
    return sorted(key(c) for c in components(done.stdout))


def on_server(server):
    return sorted(key(c) for ics in server.entries().values() for c in components(ics))


records = [("05/11/2026", "10:30", "Smith, about the kitchen", "Quote"),
           ("06/11/2026", "", "All day at the depot", ""),
           ("", "", "A to-do without a date", "Call back")]

with tempfile.TemporaryDirectory() as folder:
    try:
        os.mkdir(os.path.join(folder, "radicale"))
        server = Radicale(os.path.join(folder, "radicale")).__enter__()
    except Unavailable as e:
        print("SKIPPED:", e)
        sys.exit(77)
    try:
        plan = os.path.join(folder, "plan.pln")
        with open(plan, "wb") as f:
            f.write(plan_text(records))
        env = dict(os.environ, HOME=folder, XDG_CONFIG_HOME=os.path.join(folder, "config"),
                   ZORVIK_CALDAV_PASSWORD="secret", QT_QPA_PLATFORM="offscreen")
        publish = [program, "--publish", "--calendar", server.url(), "--user", "alice", "--date-order", "dmy", plan]

        def run(command=publish, environment=env):
            return subprocess.run(command, capture_output=True, env=environment, text=True, timeout=120)

        first = run()
        check(first.returncode == 0, "first publish: status %d %s" % (first.returncode, first.stderr))
        check("Added: 3" in first.stdout, "first publish: summary " + first.stdout)
        check(on_server(server) == exported(plan, env), "the server holds the plan's calendar entries")

        # One record edited, one removed.
        records[0] = ("05/11/2026", "10:30", "Smith, about the kitchen", "Quote, second try")
        del records[1]
        with open(plan, "wb") as f:
            f.write(plan_text(records))
        second = run()
        check(second.returncode == 0 and "Changed: 1" in second.stdout and "Deleted: 1" in second.stdout,
              "edit and removal: " + second.stdout + second.stderr)
        check(on_server(server) == exported(plan, env), "the server follows the edit and the removal")

        # Someone changes an entry on the server: listed, left as it is.
        href, ics = next((h, i) for h, i in server.entries().items() if b"VTODO" in i)
        changed = ics.replace(b"SUMMARY:A to-do without a date", b"SUMMARY:Changed on the phone")
        status, _, _ = server.request("PUT", href, changed, {"Content-Type": "text/calendar"})
        check(status in (201, 204), "the change on the server went in")
        third = run()
        check(third.returncode == 0 and "Changed on the phone" in third.stdout, "the conflict is listed: " + third.stdout)
        check(any(b"Changed on the phone" in i for i in server.entries().values()), "the server's change stays")

        # A summary that cannot be printed is no success.
        with open("/dev/full", "w") as full:
            lost = subprocess.run(publish, stdout=full, stderr=subprocess.PIPE, env=env, text=True, timeout=120)
        check(lost.returncode == 1 and "the output could not be written: No space left on device" in lost.stderr,
              "summary into a full disk: status %d %s" % (lost.returncode, lost.stderr))

        wrong = run(environment=dict(env, ZORVIK_CALDAV_PASSWORD="wrong"))
        check(wrong.returncode == 1 and "401" in wrong.stderr, "wrong password: status 1, says 401")
        bad = run([program, "--publish", "--calendar", "not a url", plan])
        check(bad.returncode == 2, "bad arguments: status 2")
        before = open(plan, "rb").read()
        server.stop()
        down = run()
        check(down.returncode == 1 and "could not be reached" in down.stderr, "server down: " + down.stderr)
        check(open(plan, "rb").read() == before, "the plan is never changed")

        # The server goes down in the middle of a publish; the next one
        # finishes the rest and nothing is lost or doubled.
        server.start()
        big = os.path.join(folder, "big.pln")
        subprocess.run([os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "make-plan"),
                        big, "300"], check=True, stdout=subprocess.DEVNULL)
        big_publish = [program, "--publish", "--calendar", server.url().replace("/plan/", "/bare/"), "--user", "alice",
                       "--date-order", "dmy", big]
        cut = subprocess.Popen(big_publish, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env, text=True)
        while server.stored("bare") < 40 and cut.poll() is None:
            time.sleep(0.02)
        server.stop()
        out, errors = cut.communicate(timeout=120)
        sent = server.stored("bare")
        check(cut.returncode == 1 and 0 < sent < 300, "cut off half-way: %d sent, %s" % (sent, errors))
        server.start()
        rest = run(big_publish)
        check(rest.returncode == 0 and server.stored("bare") == 300, "the next publish finishes: " + rest.stdout)
        check("Added: %d" % (300 - sent) in rest.stdout or "Added: %d" % (299 - sent) in rest.stdout,
              "only the rest is sent: " + rest.stdout)
    finally:
        server.__exit__()

sys.exit(1 if failures else 0)
