#!/usr/bin/env python3
"""lktool check against the test servers, and --update across two runs 20 hours apart.
usage: check_command_test.py SERVER_SCRIPT TEMP_DIR [EMULATOR] LKTOOL"""
import os
import subprocess
import sys

HEADER = ("<HTML><HEAD>\r\n<!DOCTYPE Tessfold-Ravozorizi-file-1>\r\n<!-- This is an automatically generated "
          "file.\r\nIt will be read and overwritten.\r\nDo Not Edit! -->\r\n<TITLE>Ravozorizi</TITLE>\r\n"
          "</HEAD>\r\n<BODY>\r\n<H1>Ravozorizi</H1>\r\n<DL><p>\r\n\r\n")


def entry(url, attributes=""):
    return '<DT><A HREF="%s" ADD_DATE="900000000" %s>%s</A>\r\n<DD>\r\n\r\n' % (url, attributes, url)


def main():
    script, temp_dir, command = sys.argv[1], sys.argv[2], sys.argv[3:]
    sys.path.insert(0, os.path.dirname(script))
    import check_test_server
    ports = check_test_server.start()
    s = "http://127.0.0.1:%d" % ports["scripted"]
    offline = "http://127.0.0.1:%d/" % ports["closed"].getsockname()[1]

    def run(arguments, stdin=b"", status=0):
        done = subprocess.run(command + ["check", "--wait", "2", "--host-interval", "0"] + arguments, input=stdin,
                              stdout=subprocess.PIPE, timeout=120)
        assert done.returncode == status, "exit status %d, expected %d" % (done.returncode, status)
        return done.stdout.decode("latin-1").replace("\r\n", "\n")

    def expect(what, got, want):
        assert got == want, "%s:\n  expected %r\n       got %r" % (what, want, got)

    expect("URLs as arguments", run([s + "/date/rfc1123", s + "/redirect/301/status/200", "mailto:a@b"]),
           "%s/date/rfc1123\t784111777\tdated\n%s/redirect/301/status/200\t-2\tmoved\t%s/status/200\n"
           "mailto:a@b\t-2\tnot-checked\n" % (s, s, s))
    expect("URLs on standard input", run([], ("%s/status/429\r\n\n%s\n" % (s, offline)).encode()),
           "%s/status/429\t-2\tblocked\n%s\t-1\tunreachable\n" % (s, offline))

    # A broken page's snapshot nearest to the moment: now for URLs, the add date of a bookmark never checked.
    archive = ["--archive", "--archive-service", s + "/wayback/available"]
    expect("archived copies", run(archive + ["--now", "1000000000", s + "/status/404", s + "/status/500?archive-none",
                                             s + "/redirect/301/status/200", s + "/date/rfc1123"]),
           "%s/status/404\t-1\tgone\t\thttp://web.archive.org/web/20010909014640/%s/status/404\n"
           "%s/status/500?archive-none\t-2\tserver-error\t\t\n%s/redirect/301/status/200\t-2\tmoved\t%s/status/200\t\n"
           "%s/date/rfc1123\t784111777\tdated\t\t\n" % (s, s, s, s, s, s))
    path = os.path.join(temp_dir, "check-update-%d.htm" % os.getpid())
    with open(path, "w", newline="") as f:
        f.write(HEADER + entry(s + "/status/404") + "</DL><p>\r\n</BODY>\n")
    copy = "http://web.archive.org/web/19980709160000/%s/status/404" % s
    expect("archived copy stored", run(archive + ["--update", path]), "%s/status/404\tgone\tbroken\t%s\n" % (s, copy))
    with open(path, newline="") as f:
        expect("ARCHIVE in the file", 'ARCHIVE="%s" >' % copy in f.read(), True)

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

    # Moved pages take their new addresses, but not a sign-in page for a deeper
    # page; one whose new address another bookmark has joins that one.
    with open(path, "w", newline="") as f:
        f.write(HEADER + entry(s + "/redirect/301/status/200") + entry(s + "/redirect/301/status/200?login")
                + entry(s + "/status/204") + entry(s + "/redirect/301/status/204") + "</DL><p>\r\n</BODY>\n")
    expect("moved pages followed", run(["--update", "--follow-moved", "--now", "1000000000", path]),
           "%s/redirect/301/status/200\tmoved\tnormal\t%s/status/200\n"
           "%s/redirect/301/status/200?login\tmoved\tnormal\n%s/status/204\tok\tnormal\n"
           "%s/redirect/301/status/204\tmoved\tnormal\t%s/status/204\n" % (s, s, s, s, s, s))
    with open(path, newline="") as f:
        text = f.read()
    expect("the file after following",
           [text.count('HREF="%s/status/200"' % s), text.count('HREF="%s/status/204"' % s), text.count("301/status/204"),
            text.count('MOVED_TO="%s/status/200?login"' % s), text.count("CHECK_VERDICT")], [1, 1, 0, 1, 2])

    # No name is known and the one site that answered before fails too: this
    # computer seems offline, and nothing is judged or stored.
    expect("offline", run(["http://a.invalid/", "mailto:a@b", "http://b.invalid/"], status=3),
           "http://a.invalid/\t-2\toffline\nmailto:a@b\t-2\tnot-checked\nhttp://b.invalid/\t-2\toffline\n")
    stored = 'LAST_CHECK="5" CHECK_VERDICT="ok" CHECK_STATUS="200" '
    with open(path, "w", newline="") as f:
        f.write(HEADER + entry("http://a.invalid/", stored) + entry(offline, stored) + "</DL><p>\r\n</BODY>\n")
    expect("offline update", run(["--update", path], status=3),
           "http://a.invalid/\toffline\tnormal\n%s\toffline\tnormal\n" % offline)
    with open(path, newline="") as f:
        expect("nothing stored", f.read().count(stored), 2)
    for name in (path, path + ".bak"):
        os.remove(name)


if __name__ == "__main__":
    main()
