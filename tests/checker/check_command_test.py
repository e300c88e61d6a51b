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
    path = os.path.join(temp_dir, "check-update-%d.htm" % os.getpid())

    def run(arguments, stdin=b"", status=0):
        done = subprocess.run(command + ["check", "--wait", "2", "--host-interval", "0"] + arguments, input=stdin,
                              stdout=subprocess.PIPE, timeout=120)
        assert done.returncode == status, "exit status %d, expected %d" % (done.returncode, status)
        return done.stdout.decode("latin-1").replace("\r\n", "\n")

    def update(entries, arguments, status=0):
        """check --update of a file of the entries (None: the file as the last run left it); its output and the file."""
        if entries is not None:
            with open(path, "w", newline="") as f:
                f.write(HEADER + "".join(entries) + "</DL><p>\r\n</BODY>\n")
        output = run(arguments + ["--update", path], status=status)
        with open(path, newline="") as f:
            return output, f.read()

    def expect(what, got, want):
        assert got == want, "%s:\n  expected %r\n       got %r" % (what, want, got)

    # A broken page's snapshot nearest to the moment: now for URLs, the add date of a bookmark never checked.
    archive = ["--archive", "--archive-service", s + "/wayback/available", "--now", "1000000000"]
    expect("URLs as arguments", run(archive + [s + "/date/rfc1123", s + "/redirect/301/status/200", "mailto:a@b",
                                               s + "/status/404"]),
           "%s/date/rfc1123\t784111777\tdated\t\t\n%s/redirect/301/status/200\t-2\tmoved\t%s/status/200\t\n"
           "mailto:a@b\t-2\tnot-checked\t\t\n%s/status/404\t-1\tgone\t\thttp://web.archive.org/web/20010909014640/"
           "%s/status/404\n" % (s, s, s, s, s))
    expect("URLs on standard input", run([], ("%s/status/429\r\n\n%s\n" % (s, offline)).encode()),
           "%s/status/429\t-2\tblocked\n%s\t-1\tunreachable\n" % (s, offline))

    copy = "http://web.archive.org/web/19980709160000/"
    first, text = update([entry(s + "/status/404"), entry(offline, 'LAST_MODIFIED="784111777" ')], archive)
    expect("first update", first, "%s/status/404\tgone\tbroken\t%s%s/status/404\n%s\tunreachable\tsuspect\t%s%s\n"
           % (s, copy, s, offline, copy, offline))
    expect("a date kept through a failed check, the copies stored",
           [text.count('LAST_MODIFIED="784111777"'), text.count('ARCHIVE="' + copy)], [1, 2])
    later, _ = update(None, ["--now", str(1000000000 + 20 * 3600)])
    expect("20 hours later", later.splitlines()[1], "%s\tunreachable\tbroken" % offline)

    # Moved pages take their new addresses; one whose new address another bookmark has joins that one.
    followed, text = update([entry(s + "/redirect/301/status/200"), entry(s + "/status/204"),
                             entry(s + "/redirect/301/status/204")], ["--follow-moved", "--now", "1000000000"])
    expect("moved pages followed", followed, "%s/redirect/301/status/200\tmoved\tnormal\t%s/status/200\n"
           "%s/status/204\tok\tnormal\n%s/redirect/301/status/204\tmoved\tnormal\t%s/status/204\n" % (s, s, s, s, s))
    expect("the file after following", [text.count('HREF="%s/status/200"' % s), text.count('HREF="%s/status/204"' % s),
                                        text.count('HREF="%s/redirect' % s)], [1, 1, 0])

    # No name is known and the one site that answered before fails too: this
    # computer seems offline, and nothing is judged or stored.
    expect("offline", run(["http://a.invalid/", "mailto:a@b", "http://b.invalid/"], status=3),
           "http://a.invalid/\t-2\toffline\nmailto:a@b\t-2\tnot-checked\nhttp://b.invalid/\t-2\toffline\n")
    stored = 'LAST_CHECK="5" CHECK_VERDICT="ok" CHECK_STATUS="200" '
    output, text = update([entry("http://a.invalid/", stored), entry(offline, stored)], [], status=3)
    expect("offline update", output, "http://a.invalid/\toffline\tnormal\n%s\toffline\tnormal\n" % offline)
    expect("nothing stored", text.count(stored), 2)
    for name in (path, path + ".bak"):
        os.remove(name)


if __name__ == "__main__":
    main()
