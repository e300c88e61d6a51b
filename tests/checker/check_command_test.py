#!/usr/bin/env python3
"""lktool check against the test servers, and --update across two runs 20 hours apart.
usage: check_command_test.py SERVER_SCRIPT TEMP_DIR [EMULATOR] LKTOOL"""
import os
import signal
import subprocess
import sys
import time

HEADER = ("<HTML><HEAD>\r\n<!DOCTYPE Tessfold-Ravozorizi-file-1>\r\n<!-- This is an automatically generated "
          "file.\r\nIt will be read and overwritten.\r\nDo Not Edit! -->\r\n<TITLE>Ravozorizi</TITLE>\r\n"
          "</HEAD>\r\n<BODY>\r\n<H1>Ravozorizi</H1>\r\n<DL><p>\r\n\r\n")


def start_servers(script, temp_dir):
    port_file = os.path.join(temp_dir, "check-command-%d.ports" % os.getpid())
    process = subprocess.Popen([sys.executable, script, "--port-file", port_file])
    for _ in range(1000):
        if os.path.exists(port_file):
            with open(port_file) as f:
                ports = [int(p) for p in f.read().split()]
            os.remove(port_file)
            return process, ports
        time.sleep(0.01)
    process.kill()
    sys.exit("the test servers did not start")


def entry(url, attributes=""):
    return '<DT><A HREF="%s" ADD_DATE="900000000" %s>%s</A>\r\n<DD>\r\n\r\n' % (url, attributes, url)


def main():
    script, temp_dir, command = sys.argv[1], sys.argv[2], sys.argv[3:]
    process, (scripted, _, _, closed) = start_servers(script, temp_dir)
    s = "http://127.0.0.1:%d" % scripted
    offline = "http://127.0.0.1:%d/" % closed
    failures = []

    def run(arguments, stdin=b""):
        done = subprocess.run(command + ["check", "--wait", "2", "--host-interval", "0"] + arguments, input=stdin,
                              stdout=subprocess.PIPE, timeout=120)
        if done.returncode != 0:
            failures.append("exit code %d for %r" % (done.returncode, arguments))
        return done.stdout.decode("latin-1").replace("\r\n", "\n")

    def expect(what, got, want):
        if got != want:
            failures.append("%s:\n  expected %r\n       got %r" % (what, want, got))

    try:
        expect("URLs as arguments", run([s + "/date/rfc1123", s + "/redirect/301/no-date", "mailto:a@b"]),
               "%s/date/rfc1123\t784111777\tdated\n%s/redirect/301/no-date\t-2\tmoved\t%s/no-date\n"
               "mailto:a@b\t-2\tnot-checked\n" % (s, s, s))
        expect("URLs on standard input", run([], ("%s/status/429\r\n\n%s\n" % (s, offline)).encode()),
               "%s/status/429\t-2\tblocked\n%s\t-1\tunreachable\n" % (s, offline))

        path = os.path.join(temp_dir, "check-update-%d.htm" % os.getpid())
        with open(path, "w", newline="") as f:
            f.write(HEADER + entry(s + "/status/404") + entry(s + "/status/503")
                    + entry(offline, 'LAST_MODIFIED="784111777" ')
                    + entry("mailto:a@b") + "</DL><p>\r\n</BODY>\n")
        first = run(["--update", "--now", "1000000000", path])
        expect("first update", first, "%s/status/404\tgone\tbroken\n%s/status/503\tserver-error\tsuspect\n"
               "%s\tunreachable\tsuspect\nmailto:a@b\tnot-checked\tnormal\n" % (s, s, offline))
        with open(path, newline="") as f:
            text = f.read()
        expect("a date kept through a failed check",
               'LAST_MODIFIED="784111777" LAST_CHECK="1000000000" CHECK_VERDICT="unreachable" '
               'CHECK_ERROR="no-connection" FIRST_FAILURE="1000000000" >' in text, True)
        later = run(["--update", "--now", str(1000000000 + 20 * 3600), path])
        expect("20 hours later", later.splitlines()[1:3],
               ["%s/status/503\tserver-error\tbroken" % s, "%s\tunreachable\tbroken" % offline])
        for name in (path, path + ".bak"):
            os.remove(name)
    finally:
        process.send_signal(signal.SIGTERM)
        process.wait()
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
