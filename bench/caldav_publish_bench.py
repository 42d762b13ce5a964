#!/usr/bin/env python3
"""Publishing to a local Radicale: `zorvik-planner --publish` of a plan of
2,000 records against the same PUT requests sent by a bare keep-alive
HTTP loop (http.client, one connection), then a publish after one edit.
Usage: caldav_publish_bench.py ZORVIK-PLANNER [RECORDS]"""
import base64
import http.client
import os
import re
import subprocess
import sys
import tempfile
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "app"))
from radicale_server import Radicale, Unavailable

program = sys.argv[1]
records = int(sys.argv[2]) if len(sys.argv) > 2 else 2000


def entries(ics):
    """One calendar per event or to-do of an export, by UID."""
    text = ics.decode("utf-8")
    found = []
    for m in re.finditer(r"BEGIN:(VEVENT|VTODO)\r\n.*?END:\1\r\n", text, re.S):
        uid = re.search(r"\r\nUID:([^\r]*)", m.group(0)).group(1)
        body = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//EN\r\n" + m.group(0) + "END:VCALENDAR\r\n"
        found.append((uid, body.encode("utf-8")))
    return found


def bare_loop(server, bodies):
    c = http.client.HTTPConnection("127.0.0.1", server.port)
    auth = "Basic " + base64.b64encode(b"alice:secret").decode()
    start = time.perf_counter()
    for uid, body in bodies:
        c.request("PUT", "/alice/bare/%s.ics" % uid, body=body,
                  headers={"Authorization": auth, "Content-Type": "text/calendar; charset=utf-8", "If-None-Match": "*"})
        r = c.getresponse()
        r.read()
        assert r.status == 201, r.status
    return time.perf_counter() - start


with tempfile.TemporaryDirectory() as folder:
    os.mkdir(os.path.join(folder, "radicale"))
    try:
        server = Radicale(os.path.join(folder, "radicale")).__enter__()
    except Unavailable as e:
        print("SKIPPED:", e)
        sys.exit(77)
    try:
        plan = os.path.join(folder, "plan.pln")
        subprocess.run([os.path.join(here, "..", "scripts", "make-plan"), plan, str(records)], check=True,
                       stdout=subprocess.DEVNULL)
        env = dict(os.environ, HOME=folder, XDG_CONFIG_HOME=os.path.join(folder, "config"),
                   ZORVIK_CALDAV_PASSWORD="secret")
        export = subprocess.run([program, "--export-ics", "--date-order", "dmy", plan], capture_output=True, env=env,
                                check=True).stdout
        bodies = entries(export)
        publish = [program, "--publish", "--calendar", server.url(), "--user", "alice", "--date-order", "dmy", plan]

        bare = bare_loop(server, bodies)
        start = time.perf_counter()
        first = subprocess.run(publish, capture_output=True, text=True, env=env)
        planner = time.perf_counter() - start
        assert first.returncode == 0, first.stderr
        assert "Added: %d" % len(bodies) in first.stdout, first.stdout

        # One edit: the message of one record.
        with open(plan, "rb") as f:
            data = f.read()
        lines = data.split(b"\r\n")
        lines[7] = lines[7] + b" (moved)"
        with open(plan, "wb") as f:
            f.write(b"\r\n".join(lines))
        start = time.perf_counter()
        edit = subprocess.run(publish, capture_output=True, text=True, env=env)
        one = time.perf_counter() - start
        assert edit.returncode == 0 and "Changed: 1" in edit.stdout, edit.stdout + edit.stderr

        print("records: %d (%d entries)" % (records, len(bodies)))
        print("bare keep-alive PUT loop: %.2f s (%.1f ms a PUT)" % (bare, 1000 * bare / len(bodies)))
        print("first publish (whole command): %.2f s (%.1f ms an entry) = %.2f x the bare loop"
              % (planner, 1000 * planner / len(bodies), planner / bare))
        print("publish after one edit (whole command): %.3f s" % one)
    finally:
        server.__exit__()
