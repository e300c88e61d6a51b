#!/usr/bin/env python3
"""Web servers for the status checker's tests, on free ports: a scripted server on 127.0.0.1 whose paths answer
the way real servers rarely do on demand; the same paths over TLS; and sixteen sites on 127.0.0.2 to 127.0.0.17 with
those paths, each logging its requests. With --port-file FILE, it writes "SCRIPTED TLS CLOSED SITE..." there
(CLOSED: bound, never listening) and ends on a request line "QUIT" (programs under Wine cannot signal it).
"""
import json
import os
import select
import socket
import socketserver
import ssl
import sys
import threading
import time
import urllib.parse

PORTS = {}
HELD = {}  # key: threading.Event that /release/KEY sets
HELD_LOCK = threading.Lock()


def held_event(key):
    with HELD_LOCK:
        return HELD.setdefault(key, threading.Event())


def client_gone(connection):
    """True once the client has closed or shut down its side (a read would give nothing)."""
    try:
        readable, _, _ = select.select([connection], [], [], 0)
        return bool(readable) and connection.recv(1, socket.MSG_PEEK) == b""
    except (OSError, ValueError):
        return True

DATES = {
    "rfc1123": "Last-Modified: Sun, 06 Nov 1994 08:49:37 GMT",
    "rfc850": "Last-Modified: Sunday, 06-Nov-94 08:49:37 GMT",
    "asctime": "Last-Modified: Sun Nov  6 08:49:37 1994",
}


def reply(status, *headers, body=""):
    lines = ["HTTP/1.0 %s" % status] + list(headers)
    return ("\r\n".join(lines) + "\r\n\r\n" + body).encode("latin-1")


class Scripted(socketserver.BaseRequestHandler):
    keep_open = False  # after the answer, until the client closes
    def setup(self):
        self.request.settimeout(10)
        if self.server.tls_context:
            self.request = self.server.tls_context.wrap_socket(self.request, server_side=True)

    def handle(self):
        try:
            request = self.request.recv(65536)  # the checker and the test programs send theirs in one piece
        except OSError:
            return
        server = self.server
        with server.lock:
            server.arrivals.append(time.monotonic())
            server.open += 1
            server.most_open = max(server.most_open, server.open)
        parts = request.split(b"\r\n", 1)[0].decode("latin-1").split(" ")
        if parts[0] == "QUIT":
            os._exit(0)
        self.headers = request.decode("latin-1").split("\r\n")[1:]
        answer = self.answer(parts[0], parts[1] if len(parts) > 1 else "/")
        with server.lock:
            server.open -= 1  # before the reply: the client can only go on once it arrives
        try:
            self.request.sendall(answer or b"")  # None: closing without a word
            end = time.monotonic() + 10
            while self.keep_open and not client_gone(self.request) and time.monotonic() < end:
                select.select([self.request], [], [], 0.05)
        except OSError:
            pass

    def answer(self, method, path):
        segments = path.split("?")[0].strip("/").split("/")
        head = segments[0]
        date = DATES["rfc1123"]
        if head == "close":
            return None
        if head == "close-head":
            return None if method == "HEAD" else reply("200 OK", date, body="<p>page</p>")
        if head == "status":
            return reply("%s Whatever" % segments[1])
        if head == "date":
            return reply("200 OK", "Server: scripted", DATES[segments[1]], "Content-Type: text/html")
        if head == "to":
            # /to/HOST:PORT/REST: 302 to http://HOST:PORT/REST, another site (or none at all).
            return reply("302 Found", "Location: http://" + path.split("/", 3)[2] + "/" + path.split("/", 3)[3])
        if head == "to-site":
            return reply("302 Found", "Location: http://%s:%d/date/rfc1123" % PORTS["sites"][int(segments[1])])
        if head == "hold":
            # /hold/KEY: no answer until a request for /release/KEY (then 200 with a date), nor ever
            # if the client goes first; /open counts the connections held meanwhile.
            return reply("200 OK", date) if self.hold(segments[1]) else None
        if head == "release":
            held_event(segments[1]).set()
            return reply("200 OK")
        if head == "open":
            return reply("200 OK", "X-Open: %d" % self.server.holding)
        if head == "host":
            # "X-Host: " and the request's Host header as it came.
            host = [line.split(":", 1)[1].strip() for line in self.headers if line.lower().startswith("host:")]
            return reply("200 OK", "X-Host: " + (host[0] if host else ""))
        if head == "fill":
            # /fill/N: N bytes of a status line and one header that never ends, then the connection closes.
            start = b"HTTP/1.0 200 OK\r\nX-Fill: "
            return start + b"f" * (int(segments[1]) - len(start))
        if head == "redirect":
            # /redirect/CODE/REST: CODE with a relative Location to /REST.
            rest = path.split("/", 3)[3] if path.count("/") >= 3 else ""
            return reply("%s Redirect" % segments[1], "Location: /" + rest)
        if head == "head-refused":
            return reply("%s Refused" % segments[1]) if method == "HEAD" else reply("200 OK", date)
        if head == "retry":
            # /retry/S: 429 with "Retry-After: S" to the first request since the log was taken, to every one if S < 0.
            seconds = int(segments[1])
            if seconds < 0 or len(self.server.arrivals) == 1:
                return reply("429 Too Many", "Retry-After: %d" % abs(seconds))
            return reply("200 OK", date)
        if head == "log":
            # "X-Log: MOST ARRIVAL..." in milliseconds, this request left out; then the log starts again.
            log = [self.server.most_open] + [int(t * 1000) for t in self.server.arrivals[:-1]]
            self.server.arrivals, self.server.most_open = [], 0
            return reply("200 OK", "X-Log: " + " ".join(map(str, log)))
        if head == "drip":
            # /drip/MS/COUNT: the status line, then COUNT header bytes MS apart.
            self.request.sendall(b"HTTP/1.0 200 OK\r\nX-Drip: ")
            try:
                for _ in range(int(segments[2])):
                    time.sleep(int(segments[1]) / 1000.0)
                    self.request.sendall(b"d")
            except OSError:
                return None
            return ("\r\n" + date + "\r\n\r\n").encode("latin-1")
        if head == "wayback":
            return self.wayback(path)
        return reply("404 Not Found")

    def hold(self, key):
        """Waits for /release/KEY; False when the client goes first."""
        event = held_event(key)
        with self.server.lock:
            self.server.holding += 1
        try:
            while not event.wait(0.02):
                if client_gone(self.request):
                    return False
            return True
        finally:
            with self.server.lock:
                self.server.holding -= 1

    def wayback(self, path):
        """/wayback/available?url=U&timestamp=T, a web archive's availability service. Words in U choose the answer:
        archive-none (no snapshot), archive-500, archive-garbage (not JSON), archive-ftp (a snapshot at an ftp:// address),
        archive-hold (no answer until /release/archive); any other U has its snapshot at T."""
        query = urllib.parse.parse_qs(path.partition("?")[2])
        url, timestamp = query.get("url", [""])[0], query.get("timestamp", [""])[0]
        if "archive-hold" in url and not self.hold("archive"):
            return None
        if "archive-500" in url:
            return reply("500 Internal Server Error")
        if "archive-garbage" in url:
            return reply("200 OK", "Content-Type: text/html", body="<html>Service unavailable</html>")
        if "archive-none" in url:
            return reply("200 OK", "Content-Type: application/json", body='{"url":"%s","archived_snapshots":{}}' % url)
        scheme = "ftp" if "archive-ftp" in url else "http"
        closest = {"available": True, "url": "%s://web.archive.org/web/%s/%s" % (scheme, timestamp, url),
                   "timestamp": timestamp, "status": "200"}
        body = json.dumps({"url": url, "archived_snapshots": {"closest": closest}})
        self.keep_open = True  # as some servers do: the client has to stop reading at the length
        return reply("200 OK", "Content-Type: application/json", "Content-Length: %d" % len(body), body=body)


class ThreadingServer(socketserver.ThreadingTCPServer):
    daemon_threads = True
    tls_context = None

    def __init__(self, address):
        super().__init__((address, 0), Scripted)
        self.lock = threading.Lock()
        self.arrivals, self.open, self.most_open = [], 0, 0
        self.holding = 0  # connections in /hold/ now

    def handle_error(self, request, client_address):
        pass  # failed handshakes and clients that give up are part of the tests


def start():
    """Serves them in this process: {"scripted": port, "tls": port, "closed": socket, "sites": [(address, port)...]}."""
    scripted, secure = ThreadingServer("127.0.0.1"), ThreadingServer("127.0.0.1")
    secure.tls_context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    data = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "checker")
    secure.tls_context.load_cert_chain(os.path.join(data, "test_cert.pem"), os.path.join(data, "test_key.pem"))
    sites = [ThreadingServer("127.0.0.%d" % (2 + i)) for i in range(16)]
    for server in [scripted, secure] + sites:
        threading.Thread(target=server.serve_forever, daemon=True).start()
    closed = socket.socket()  # bound, never listening: every connection is refused
    closed.bind(("127.0.0.1", 0))
    PORTS.update(scripted=scripted.server_address[1], tls=secure.server_address[1], closed=closed,
                 sites=[site.server_address for site in sites])
    return PORTS


def main():
    ports = start()
    port_file = sys.argv[sys.argv.index("--port-file") + 1]
    with open(port_file + ".tmp", "w") as f:
        f.write(" ".join(map(str, [ports["scripted"], ports["tls"], ports["closed"].getsockname()[1]] +
                         [port for _, port in ports["sites"]])) + "\n")
    os.replace(port_file + ".tmp", port_file)
    time.sleep(600)  # in case no QUIT comes


if __name__ == "__main__":
    sys.exit(main())
