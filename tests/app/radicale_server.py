"""A Radicale CalDAV server for the tests: 127.0.0.1 at a free port, a
temporary storage folder, one htpasswd user with a plain password, and a
calendar made for that user. Optionally with TLS (a self-signed
certificate made by openssl). Stopped when the `with` ends."""
import base64
import http.client
import os
import shutil
import socket
import ssl
import subprocess
import sys
import tempfile
import time


class Unavailable(Exception):
    pass


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Radicale:
    def __init__(self, folder, user="alice", password="secret", tls=False):
        self.folder, self.user, self.password, self.tls = folder, user, password, tls
        self.port = free_port()
        self.process = None
        # In memory where the system has a tmpfs: Radicale syncs every file
        # it writes, which on a disk would measure the disk, not the client.
        shm = "/dev/shm" if os.access("/dev/shm", os.W_OK) else None
        self.storage = tempfile.mkdtemp(prefix="zorvik-radicale-", dir=shm)

    def __enter__(self):
        if not shutil.which("radicale"):
            raise Unavailable("radicale is not installed")
        users = os.path.join(self.folder, "users")
        with open(users, "w") as f:
            f.write("%s:%s\n" % (self.user, self.password))
        config = ["[server]", "hosts = 127.0.0.1:%d" % self.port]
        if self.tls:
            cert, key = os.path.join(self.folder, "cert.pem"), os.path.join(self.folder, "key.pem")
            made = subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                                   "-subj", "/CN=127.0.0.1", "-keyout", key, "-out", cert], capture_output=True)
            if made.returncode != 0:
                raise Unavailable("openssl could not make a certificate")
            config += ["ssl = True", "certificate = " + cert, "key = " + key]
        config += ["[auth]", "type = htpasswd", "htpasswd_filename = " + users, "htpasswd_encryption = plain",
                   "[storage]", "filesystem_folder = " + self.storage,
                   "[logging]", "level = warning"]
        path = os.path.join(self.folder, "config")
        with open(path, "w") as f:
            f.write("\n".join(config) + "\n")
        self.config = path
        self.start()
        if not self.tls:
            status, _, _ = self.request("MKCOL", self.calendar_path(), MKCALENDAR)
            if status == 201:
                status, _, _ = self.request("MKCOL", "/%s/bare/" % self.user, MKCALENDAR)
            if status != 201:
                self.stop()
                raise Unavailable("radicale refused to make a calendar (%d)" % status)
        return self

    def __exit__(self, *exc):
        self.stop()
        shutil.rmtree(self.storage, ignore_errors=True)

    def start(self):
        """Starts the server (again, after stop(): same port, same storage)."""
        self.process = subprocess.Popen(["radicale", "--config", self.config], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        for _ in range(100):
            if self.process.poll() is not None:
                raise Unavailable("radicale ended at start")
            try:
                socket.create_connection(("127.0.0.1", self.port), timeout=0.2).close()
                return
            except OSError:
                time.sleep(0.1)
        self.stop()
        raise Unavailable("radicale did not start listening")

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            self.process.wait(10)

    def stored(self, collection="plan"):
        """How many entries the server keeps in a calendar of the user."""
        folder = os.path.join(self.storage, "collection-root", self.user, collection)
        return len([n for n in os.listdir(folder) if n.endswith(".ics")]) if os.path.isdir(folder) else 0

    def calendar_path(self):
        return "/%s/plan/" % self.user

    def url(self):
        return "%s://127.0.0.1:%d%s" % ("https" if self.tls else "http", self.port, self.calendar_path())

    def request(self, method, path, body=b"", headers=None):
        c = http.client.HTTPConnection("127.0.0.1", self.port, timeout=30)
        auth = base64.b64encode(("%s:%s" % (self.user, self.password)).encode()).decode()
        h = {"Authorization": "Basic " + auth, "Content-Type": "application/xml"}
        h.update(headers or {})
        c.request(method, path, body=body, headers=h)
        r = c.getresponse()
        data = r.read()
        c.close()
        return r.status, dict(r.getheaders()), data

    def entries(self):
        """{href: ics bytes} of every entry of the calendar, by REPORT calendar-query."""
        import xml.etree.ElementTree as ET
        status, _, data = self.request("REPORT", self.calendar_path(), QUERY, {"Depth": "1"})
        assert status == 207, status
        found = {}
        for response in ET.fromstring(data).iter("{DAV:}response"):
            href = response.find("{DAV:}href").text
            cal = response.find(".//{urn:ietf:params:xml:ns:caldav}calendar-data")
            if cal is not None and cal.text:
                found[href] = cal.text.encode("utf-8")
        return found


MKCALENDAR = (b'<?xml version="1.0"?><d:mkcol xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav"><d:set><d:prop>'
              b'<d:resourcetype><d:collection/><c:calendar/></d:resourcetype><d:displayname>Plan</d:displayname>'
              b'</d:prop></d:set></d:mkcol>')
QUERY = (b'<?xml version="1.0"?><c:calendar-query xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav">'
         b'<d:prop><d:getetag/><c:calendar-data/></d:prop><c:filter><c:comp-filter name="VCALENDAR"/></c:filter>'
         b'</c:calendar-query>')


def write_events(storage, user, count):
    """`count` events straight into the storage of the user's calendar, as
    Radicale keeps them: a server with a big calendar without sending it."""
    folder = os.path.join(storage, "collection-root", user, "big")
    os.makedirs(folder)
    with open(os.path.join(folder, ".Radicale.props"), "w") as f:
        f.write('{"tag": "VCALENDAR", "D:displayname": "Big"}')
    for i in range(count):
        day = 1 + i % 28
        with open(os.path.join(folder, "e%05d.ics" % i), "w", newline="") as f:
            f.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\nBEGIN:VEVENT\r\nUID:e%05d@test\r\n"
                    "DTSTAMP:20261201T000000Z\r\nDTSTART:2027%02d%02dT%02d%02d00\r\nSUMMARY:Event %d\r\n"
                    "END:VEVENT\r\nEND:VCALENDAR\r\n" % (i, 1 + i // 28 % 12, day, 8 + i % 10, i % 60, i))


if __name__ == "__main__":
    # serve FOLDER [tls] [events N]: starts the server, prints its port and
    # the storage folder, and stops it when standard input closes (the test
    # that started it ended).
    import argparse
    parser = argparse.ArgumentParser()
    parser.add_argument("command", choices=["serve"])
    parser.add_argument("folder")
    parser.add_argument("--tls", action="store_true")
    parser.add_argument("--events", type=int, default=0)
    args = parser.parse_args()
    try:
        server = Radicale(args.folder, tls=args.tls)
        if args.events:
            write_events(server.storage, server.user, args.events)
        server.__enter__()
    except Unavailable as e:
        print("unavailable", e, flush=True)
        sys.exit(77)
    print("port", server.port, flush=True)
    try:
        sys.stdin.read()
    finally:
        server.__exit__()
