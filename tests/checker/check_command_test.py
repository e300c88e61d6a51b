#!/usr/bin/env python3
"""lktool check against the test servers: one URL for each outcome of the
checker's value table, probed one after the other in one run.

usage: check_command_test.py SERVER_SCRIPT TEMP_DIR [EMULATOR] LKTOOL
"""
import os
import signal
import socket
import subprocess
import sys
import time

NOV_6_1994 = "784111777"
SITE_DATE = "1700000000"
FEB_29_2028 = "1835481599"


def start_servers(script, temp_dir):
    port_file = os.path.join(temp_dir, "check-command-%d.ports" % os.getpid())
    process = subprocess.Popen([sys.executable, script, "--port-file", port_file])
    for _ in range(1000):
        if os.path.exists(port_file):
            with open(port_file) as f:
                scripted, files, secure = f.read().split()
            os.remove(port_file)
            return process, int(scripted), int(files), int(secure)
        time.sleep(0.01)
    process.kill()
    sys.exit("the test servers did not start")


def closed_port():
    """A port bound for the whole run but never listening."""
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    return s, s.getsockname()[1]


def main():
    script, temp_dir, command = sys.argv[1], sys.argv[2], sys.argv[3:]
    process, scripted, files, secure = start_servers(script, temp_dir)
    holder, refused = closed_port()
    s = "http://127.0.0.1:%d" % scripted
    f = "http://127.0.0.1:%d" % files
    t = "https://127.0.0.1:%d" % secure
    cases = [
        ("<>", "-1"),                                   # no URL in the text
        ("http://nonexistent.invalid/", "-1"),          # host name unknown
        ("127.0.0.1:%d/" % refused, "-1"),              # connection refused
        (s + "/silent", "-1"),                          # no answer in time
        ("ftp://127.0.0.1/pub", "-2"),                  # scheme not probed
        (s + "/close", "-2"),                           # empty reply, GET fails too
        (s + "/close-head", NOV_6_1994),                # empty reply to HEAD, GET answers
        (s + "/html", "-2"),                            # no status line, "<HTML>"
        (s + "/no-status", "-1"),                       # no status line otherwise
        (f + "/page.html", SITE_DATE),                  # 200 with a date
        (s + "/date/rfc850", NOV_6_1994),
        (s + "/date/asctime", NOV_6_1994),
        (s + "/date/capitals", "-2"),                   # 200 without a usable date
        (s + "/no-location", "-1"),                     # redirect without Location
        (s + "/chain/4", NOV_6_1994),                   # five requests
        (s + "/chain/5", "-1"),                         # redirect in the fifth reply
        (f + "/dir", SITE_DATE),                        # relative Location of a real server
        (s + "/dir/sub/moved", FEB_29_2028),            # Location relative to the path
        (s + "/vhost", NOV_6_1994),                     # Host line
        (f + "/missing.html", "-1"),                    # 404
        (s + "/status/410", "-1"),
        (s + "/status/204", "-2"),                      # any other status
        (s + "/status/500", "-2"),
        (s + "/long", NOV_6_1994),                      # reply over 2047 bytes
        (t + "/date/rfc1123", NOV_6_1994),              # https
        (t + "/status/404", "-1"),
        (s + "/to-tls/date/asctime", NOV_6_1994),       # http to https
        (t + "/moved-absolute-path", NOV_6_1994),       # relative Location stays on https
        ("https://127.0.0.1:%d/" % scripted, "-1"),     # a server without TLS
    ]
    try:
        run = subprocess.run(command + ["check", "--wait", "1"] + [url for url, _ in cases],
                             stdout=subprocess.PIPE, timeout=240)
    finally:
        process.send_signal(signal.SIGTERM)
        process.wait()
        holder.close()
    lines = run.stdout.decode("latin-1").splitlines()
    expected = ["%s\t%s" % case for case in cases]
    failures = [(want, got) for want, got in zip(expected, lines) if want != got]
    for want, got in failures:
        print("expected %r\n     got %r" % (want, got))
    if len(lines) != len(expected):
        print("expected %d lines, got %d" % (len(expected), len(lines)))
    if run.returncode != 0:
        print("exit code %d" % run.returncode)
    return 1 if failures or len(lines) != len(expected) or run.returncode else 0


if __name__ == "__main__":
    sys.exit(main())
