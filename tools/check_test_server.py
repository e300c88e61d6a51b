#!/usr/bin/env python3
"""Web servers on 127.0.0.1 for the status checker's tests.

Three listeners on free ports: Python's own http.server serving a small site
with fixed modification times (real Last-Modified, 404 and directory
redirects); a scripted server whose paths answer the way real servers rarely
do on demand (silence, closing at once, odd status codes, redirect chains,
relative Locations, each date form, refusals of HEAD, slow drips, the
request line it received); and the same scripted
paths over TLS with the self-signed test certificate given by
--certificate and --key.

The ports are written as "SCRIPTED FILES TLS CLOSED" to the --port-file
(atomically), CLOSED being a port bound but never listening, where every
connection is refused.
The process ends on SIGTERM, on a connection whose request line is "QUIT"
(for test programs that cannot signal it, such as Windows programs under
Wine), or after --lifetime seconds in any case.
"""
import argparse
import http.server
import os
import shutil
import signal
import socket
import socketserver
import ssl
import sys
import tempfile
import threading
import time

TLS_PORT = [0]

SITE_DATE = 1700000000  # Tue, 14 Nov 2023 22:13:20 GMT

DATES = {
    "rfc1123": "Last-Modified: Sun, 06 Nov 1994 08:49:37 GMT",
    "rfc850": "Last-Modified: Sunday, 06-Nov-94 08:49:37 GMT",
    "asctime": "Last-Modified: Sun Nov  6 08:49:37 1994",
}


def reply(status, *headers, body=""):
    lines = ["HTTP/1.0 %s" % status] + list(headers)
    return ("\r\n".join(lines) + "\r\n\r\n" + body).encode("latin-1")


class Scripted(socketserver.BaseRequestHandler):
    def setup(self):
        if self.server.tls_context:
            self.request.settimeout(10)
            self.request = self.server.tls_context.wrap_socket(self.request, server_side=True)

    def read_request(self):
        data = b""
        self.request.settimeout(10)
        try:
            while b"\r\n\r\n" not in data and len(data) < 65536:
                chunk = self.request.recv(4096)
                if not chunk:
                    break
                data += chunk
                if data.startswith(b"QUIT"):
                    break
        except OSError:
            pass
        return data

    def handle(self):
        request = self.read_request()
        line = request.split(b"\r\n", 1)[0].decode("latin-1")
        parts = line.split(" ")
        if parts[0] == "QUIT":
            self.request.sendall(b"BYE\r\n")
            self.server.finish()
        method = parts[0]
        path = parts[1] if len(parts) > 1 else "/"
        answer = self.answer(method, path)
        if answer is not None and answer.startswith(b"HTTP/"):
            # Every reply tells the request line it answers.
            answer = answer.replace(b"\r\n", b"\r\nX-Request-Line: " + line.encode("latin-1") + b"\r\n", 1)
        if answer is not None:
            try:
                self.request.sendall(answer)
            except OSError:
                pass

    def answer(self, method, path):
        port = self.server.server_address[1]
        here = "%s://127.0.0.1:%d" % ("https" if self.server.tls_context else "http", port)
        segments = path.split("?")[0].strip("/").split("/")
        head = segments[0]
        date = DATES["rfc1123"]
        if head == "silent":
            # Holds the connection without a word until the client gives up.
            try:
                while self.request.recv(4096):
                    pass
            except OSError:
                pass
            return None
        if head == "close":
            return None
        if head == "close-head":
            return None if method == "HEAD" else reply("200 OK", date, body="<p>page</p>")
        if head == "status":
            return reply("%s Whatever" % segments[1])
        if head == "date":
            return reply("200 OK", "Server: scripted", DATES[segments[1]], "Content-Type: text/html")
        if head == "no-date":
            return reply("200 OK", "Content-Type: text/html")
        if head == "chain":
            left = int(segments[1])
            if left == 0:
                return reply("200 OK", date)
            return reply("302 Found", "Location: %s/chain/%d" % (here, left - 1))
        if head == "moved-absolute-path":
            return reply("301 Moved Permanently", "Location: /date/rfc850")
        if head == "to-tls":
            rest = path.split("/", 2)[2]
            return reply("301 Moved Permanently", "Location: https://127.0.0.1:%d/%s" % (TLS_PORT[0], rest))
        if head == "split":
            # Status line first, the headers a moment later.
            self.request.sendall(b"HTTP/1.0 200 OK\r\n")
            time.sleep(0.3)
            return (date + "\r\n\r\n").encode("latin-1")
        if head == "slow":
            time.sleep(int(segments[1]) / 1000.0)
            return reply("200 OK", date)
        if head == "redirect":
            # /redirect/CODE/REST: CODE with a relative Location to /REST.
            rest = path.split("/", 3)[3] if path.count("/") >= 3 else ""
            return reply("%s Redirect" % segments[1], "Location: /" + rest)
        if head == "head-refused":
            if method == "HEAD":
                return reply("%s Refused" % segments[1])
            return reply("200 OK", date)
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
        return reply("404 Not Found")


class ThreadingServer(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True
    site = None
    tls_context = None

    def handle_error(self, request, client_address):
        pass  # failed handshakes and clients that give up are part of the tests

    def finish(self):
        shutil.rmtree(self.site, ignore_errors=True)
        os._exit(0)


def make_site():
    """A folder with a page and a subfolder, every date fixed."""
    root = tempfile.mkdtemp(prefix="lk-check-site-")
    os.mkdir(os.path.join(root, "dir"))
    for name in ("page.html", os.path.join("dir", "index.html")):
        full = os.path.join(root, name)
        with open(full, "w") as f:
            f.write("<html><body>page</body></html>\n")
        os.utime(full, (SITE_DATE, SITE_DATE))
    return root


class QuietFiles(http.server.SimpleHTTPRequestHandler):
    def log_message(self, format, *args):
        pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--lifetime", type=float, default=600)
    here = os.path.dirname(os.path.abspath(__file__))
    data = os.path.join(here, "..", "tests", "data", "checker")
    parser.add_argument("--certificate", default=os.path.join(data, "test_cert.pem"))
    parser.add_argument("--key", default=os.path.join(data, "test_key.pem"))
    args = parser.parse_args()

    scripted = ThreadingServer(("127.0.0.1", 0), Scripted)
    site = make_site()
    scripted.site = site
    signal.signal(signal.SIGTERM, lambda *unused: scripted.finish())
    files = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), lambda *a, **k: QuietFiles(*a, directory=site, **k))
    files.daemon_threads = True
    secure = ThreadingServer(("127.0.0.1", 0), Scripted)
    secure.tls_context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    secure.tls_context.load_cert_chain(args.certificate, args.key)
    TLS_PORT[0] = secure.server_address[1]
    for server in (scripted, files, secure):
        threading.Thread(target=server.serve_forever, daemon=True).start()

    closed = socket.socket()
    closed.bind(("127.0.0.1", 0))
    temporary = args.port_file + ".tmp"
    with open(temporary, "w") as f:
        f.write("%d %d %d %d\n" % (scripted.server_address[1], files.server_address[1], TLS_PORT[0],
                                   closed.getsockname()[1]))
    os.replace(temporary, args.port_file)

    time.sleep(args.lifetime)
    scripted.finish()


if __name__ == "__main__":
    sys.exit(main())
