#!/usr/bin/env python3
"""Web servers for the status checker's tests, on free ports: a scripted server on 127.0.0.1 whose paths answer
the way real servers rarely do on demand; the same paths over TLS; and sixteen sites on 127.0.0.2 to 127.0.0.17 with
those paths, each logging its requests. With --port-file FILE, it writes "SCRIPTED TLS CLOSED SITE..." there
(CLOSED: bound, never listening) and ends on a "QUIT" request (programs under Wine cannot signal it).
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

HELD = {}  # key: threading.Event that /release/KEY sets (dict.setdefault is atomic)

def client_gone(connection):
    """True once the client has closed or shut down its side (a read would give nothing)."""
    try:
        readable, _, _ = select.select([connection], [], [], 0)
        return bool(readable) and connection.recv(1, socket.MSG_PEEK) == b""
    except (OSError, ValueError):
        return True


def reply(status, *headers, body=""):
    return ("\r\n".join(["HTTP/1.0 " + status] + list(headers)) + "\r\n\r\n" + body).encode("latin-1")


DATE = "Last-Modified: Sun, 06 Nov 1994 08:49:37 GMT"
DATES = {"rfc1123": DATE, "rfc850": "Last-Modified: Sunday, 06-Nov-94 08:49:37 GMT",
         "asctime": "Last-Modified: Sun Nov  6 08:49:37 1994"}
FILL = b"HTTP/1.0 200 OK\r\nX-Fill: "


def retry(h):
    """429 with "Retry-After: S" to the first request since the log was taken, to every one if S < 0."""
    if int(h.arg) < 0 or len(h.server.arrivals) == 1:
        return reply("429 Too Many", "Retry-After: %d" % abs(int(h.arg)))
    return reply("200 OK", DATE)


def log(h):
    """X-Log: the most connections open at once, then the arrivals in milliseconds, this request left out; then the
    log starts again."""
    entries = [h.server.most_open] + [int(t * 1000) for t in h.server.arrivals[:-1]]
    h.server.arrivals, h.server.most_open = [], 0
    return reply("200 OK", "X-Log: " + " ".join(map(str, entries)))


def drip(h):
    """/drip/MS/COUNT: the status line, then COUNT header bytes MS apart."""
    h.request.sendall(b"HTTP/1.0 200 OK\r\nX-Drip: ")
    try:
        for _ in range(int(h.segments[2])):
            time.sleep(int(h.arg) / 1000.0)
            h.request.sendall(b"d")
    except OSError:
        return None
    return ("\r\n" + DATE + "\r\n\r\n").encode("latin-1")


def wayback(h):
    """/wayback/available?url=U&timestamp=T, a web archive's availability service. U with archive-500 gets that
    error, with archive-hold no answer until /release/archive; any other U has its snapshot at T."""
    query = urllib.parse.parse_qs(h.path.partition("?")[2])
    url, timestamp = query.get("url", [""])[0], query.get("timestamp", [""])[0]
    if "archive-hold" in url and not h.hold("archive"):
        return None
    if "archive-500" in url:
        return reply("500 Internal Server Error")
    closest = {"available": True, "url": "http://web.archive.org/web/%s/%s" % (timestamp, url),
               "timestamp": timestamp, "status": "200"}
    body = json.dumps({"url": url, "archived_snapshots": {"closest": closest}})
    h.keep_open = True  # as some servers do: the client has to stop reading at the length
    return reply("200 OK", "Content-Type: application/json", "Content-Length: %d" % len(body), body=body)


# The answer to /NAME/ARG/REST..., by NAME; None closes without a word.
ROUTES = {
    "close": lambda h: None,
    "close-head": lambda h: None if h.method == "HEAD" else reply("200 OK", DATE, body="<p>page</p>"),
    "head-refused": lambda h: reply(h.arg + " Refused") if h.method == "HEAD" else reply("200 OK", DATE),
    "status": lambda h: reply(h.arg + " Whatever"),
    "date": lambda h: reply("200 OK", "Server: scripted", DATES[h.arg], "Content-Type: text/html"),
    # /redirect/CODE/REST: CODE to REST when it is a whole URL (another site, or none at all), else to /REST.
    "redirect": lambda h: reply(h.arg + " Redirect", "Location: " + ("" if "://" in h.rest else "/") + h.rest),
    # /hold/KEY: no answer until a request for /release/KEY (then 200 with a date), nor ever if the client goes
    # first; /open counts the connections held meanwhile.
    "hold": lambda h: reply("200 OK", DATE) if h.hold(h.arg) else None,
    "release": lambda h: HELD.setdefault(h.arg, threading.Event()).set() or reply("200 OK"),
    "open": lambda h: reply("200 OK", "X-Open: %d" % h.server.holding),
    "host": lambda h: reply("200 OK", "X-Host: " + h.host),  # the request's Host header as it came
    # /fill/N: N bytes of a status line and one header that never ends, then the connection closes.
    "fill": lambda h: FILL + b"f" * (int(h.arg) - len(FILL)),
    "retry": retry,
    "log": log,
    "drip": drip,
    "wayback": wayback,
}


class Scripted(socketserver.BaseRequestHandler):
    keep_open = False  # after the answer, until the client closes

    def setup(self):
        self.request.settimeout(10)
        if self.server.tls_context:
            self.request = self.server.tls_context.wrap_socket(self.request, server_side=True)

    def handle(self):
        try:
            request = self.request.recv(65536).decode("latin-1")  # the tests and the checker send theirs at once
        except OSError:
            return
        server = self.server
        with server.lock:
            server.arrivals.append(time.monotonic())
            server.open += 1
            server.most_open = max(server.most_open, server.open)
        lines = request.split("\r\n")
        if lines[0].startswith("QUIT "):
            os._exit(0)
        self.method, self.path = (lines[0].split(" ") + ["/"])[:2]
        self.segments = self.path.split("?")[0].strip("/").split("/") + [""]
        self.arg, self.rest = self.segments[1], "".join(self.path.split("/", 3)[3:])
        self.host = "".join(line.split(":", 1)[1].strip() for line in lines if line.lower().startswith("host:"))
        answer = ROUTES.get(self.segments[0], lambda h: reply("404 Not Found"))(self)
        with server.lock:
            server.open -= 1  # before the reply: the client can only go on once it arrives
        try:
            self.request.sendall(answer or b"")
            end = time.monotonic() + 10
            while self.keep_open and not client_gone(self.request) and time.monotonic() < end:
                select.select([self.request], [], [], 0.05)
        except OSError:
            pass

    def hold(self, key):
        """Waits for /release/KEY; False when the client goes first."""
        event = HELD.setdefault(key, threading.Event())
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
    """Serves them in this process: {"scripted": port, "tls": port, "closed": socket, "sites": [port...]}."""
    scripted, secure = ThreadingServer("127.0.0.1"), ThreadingServer("127.0.0.1")
    secure.tls_context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    data = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "checker")
    secure.tls_context.load_cert_chain(os.path.join(data, "test_cert.pem"), os.path.join(data, "test_key.pem"))
    sites = [ThreadingServer("127.0.0.%d" % (2 + i)) for i in range(16)]
    for server in [scripted, secure] + sites:
        threading.Thread(target=server.serve_forever, daemon=True).start()
    closed = socket.socket()  # bound, never listening: every connection is refused
    closed.bind(("127.0.0.1", 0))
    return {"scripted": scripted.server_address[1], "tls": secure.server_address[1], "closed": closed,
            "sites": [site.server_address[1] for site in sites]}


def main():
    ports = start()
    port_file = sys.argv[sys.argv.index("--port-file") + 1]
    with open(port_file + ".tmp", "w") as f:
        f.write(" ".join(map(str, [ports["scripted"], ports["tls"], ports["closed"].getsockname()[1]] + ports["sites"])))
    os.replace(port_file + ".tmp", port_file)
    time.sleep(600)  # in case no QUIT comes


if __name__ == "__main__":
    sys.exit(main())
