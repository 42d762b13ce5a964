#!/usr/bin/env python3
"""Runs `zorvik-planner --export-ics` on a generated plan and reads the result
with python3-icalendar, a parser independent of the one the planner uses.
Exit 77 (skipped) when python3-icalendar is not installed."""
import os
import subprocess
import sys
import tempfile

try:
    import icalendar
except ImportError:
    print("python3-icalendar is not installed: skipped")
    sys.exit(77)

program = sys.argv[1]

# (start, time, name, done, finish): dated records are events, others to-dos.
records = []
for i in range(300):
    day, month = i % 28 + 1, i % 12 + 1
    start = "%02d/%02d/%d" % (day, month, 2020 + i % 7) if i % 10 else ("soon" if i % 20 else "")
    time = "%02d:%02d" % (8 + i % 10, 15 * (i % 4)) if i % 3 else ""
    finish = "%02d/%02d/%d" % (day, month, 2028) if i % 5 == 0 and start[:1].isdigit() else ""
    name = "Zoë, Müller; café #%d %s" % (i, "long name " * (i % 4))
    records.append((start, time, name, "1" if i % 2 else "0", finish))
events = sum(1 for r in records if r[0][:1].isdigit())

lines = ["Zorvik Planner 3.2 0", "englisheuro"]
for start, time, name, done, finish in records:
    lines += [start, time, name, "(02) 9555 1234", "", "Message, with; marks \\ and more", "120.50", "7",
              done, "plandefault", "plandefault", finish]
lines.append("plannerend")

with tempfile.TemporaryDirectory() as folder:
    plan = os.path.join(folder, "plan.pln")
    with open(plan, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("utf-8"))
    env = dict(os.environ, XDG_CONFIG_HOME=folder, HOME=folder)
    done = subprocess.run([program, "--export-ics", "--date-order", "dmy", plan], capture_output=True, env=env)
    if done.returncode != 0:
        sys.exit("export failed: %s" % done.stderr.decode())
    calendar = icalendar.Calendar.from_ical(done.stdout)

found = {kind: calendar.walk(kind) for kind in ("VEVENT", "VTODO")}
problems = []
if len(found["VEVENT"]) != events:
    problems.append("%d events, expected %d" % (len(found["VEVENT"]), events))
if len(found["VTODO"]) != len(records) - events:
    problems.append("%d to-dos, expected %d" % (len(found["VTODO"]), len(records) - events))
components = found["VEVENT"] + found["VTODO"]
uids = {str(c["UID"]) for c in components}
if len(uids) != len(records):
    problems.append("%d distinct UIDs for %d records" % (len(uids), len(records)))
names = sorted(str(c["SUMMARY"]) for c in components)
if names != sorted(r[2] for r in records):
    problems.append("summaries differ from the names")
for c in found["VEVENT"]:
    if "DTEND" in c and c.decoded("DTEND") <= c.decoded("DTSTART"):
        problems.append("%s ends before it starts" % c["UID"])
if problems:
    sys.exit("\n".join(problems))
print("%d events and %d to-dos read back" % (len(found["VEVENT"]), len(found["VTODO"])))
