#!/usr/bin/env python3
"""lktool load, run as a user runs it: exact output bytes and exit codes.

usage: load_command_test.py DATA_DIR LKTOOL [EMULATOR...]
DATA_DIR is the test data folder as lktool sees it (Z:... under Wine); the
expected outputs are read from the same folder on this machine.
"""
import os
import sys

from cases import run_cases

EXPORTS = ["netscape4", "firefox", "chrome", "lowercase", "missing_end_tags", "truncated"]
# Exports of today's browsers and services, and one from before UTF-8.
IMPORTS = ["tagged_export", "service_export", "ansi_export"]
SHORTCUTS = ["Daily News.url", "Köln – Wikipedia.url", "Old Menu.url", "Москва новости.url"]
NOW = ["--now", "1700000000"]


def main():
    data, command = sys.argv[1], sys.argv[3:] + [sys.argv[2], "load"]
    host_data = data[2:] if data[1:2] == ":" else data

    tool_path, shortcut_path = (data + "/collection/{}").format, (data + "/shortcuts/{}").format

    def expected(name):
        with open(host_data + "/collection/loaded/" + name, "rb") as f:
            return f.read()

    # Browsers' stores the build made (tools/stores/browser_stores.py).
    profiles = os.environ["LK_STORES_DIR"] + "/profiles/"
    chrome = profiles + "Local/Google/Chrome/User Data/Default/Bookmarks"
    brave = profiles + "Local/BraveSoftware/Brave-Browser/User Data/Default/Bookmarks"
    firefox = profiles + "Roaming/Mozilla/Firefox/Profiles/bbbb.default-release/places.sqlite"
    missing = tool_path("no_such_file.htm")
    # (arguments, expected exit code, expected standard output, text expected on standard error)
    cases = [(NOW + [tool_path(e + ".htm")], 0, expected(e + ".htm"), b"") for e in EXPORTS + IMPORTS]
    cases += [
        # What each file added, merged and skipped, and why.
        (NOW + [tool_path("tagged_export.htm")], 0, expected("tagged_export.htm"),
         b"tagged_export.htm: 8 added, 0 merged, 2 skipped\n"
         b"  line 28: a link within a page: #toolbar-top\n  line 29: no address\n"),
        (NOW + [tool_path("netscape4.htm"), tool_path("loaded/netscape4.htm")], 0, expected("netscape4.htm"),
         b"netscape4.htm: 0 added, 6 merged, 0 skipped\n"),
        # Internet Shortcuts of both layouts, with the exports, into one collection.
        (NOW + [tool_path(e + ".htm") for e in IMPORTS] + [shortcut_path(s) for s in SHORTCUTS], 0,
         expected("imports.htm"), "Москва новости.url: 1 added, 0 merged, 0 skipped\n".encode()),
        # The folder tree for browsers, each bookmark in the folders it came from.
        (["--folders", "1"] + NOW + [tool_path("netscape4.htm")], 0, expected("netscape4_folders.htm"), b""),
        (["--folders", "2", tool_path("netscape4.htm")], 2, b"", b"usage"),
        # A collection file saved by an earlier version reads and saves unchanged.
        ([tool_path("saved_earlier.htm")], 0, expected("../saved_earlier.htm"), b""),
        # Several files merge into one collection, in order.
        (NOW + [tool_path(e + ".htm") for e in EXPORTS], 0, expected("all.htm"), b""),
        # Plain keywords: descriptions and folder names as they are; a shortcut's title still gives its keywords.
        (["--auto", "0"] + NOW + [tool_path("netscape4.htm"), shortcut_path(SHORTCUTS[0])], 0,
         expected("netscape4_auto0.htm"), b""),
        # The program's own file reads back as it was written, whatever the flag or clock.
        (["--auto", "1", tool_path("loaded/all.htm"), tool_path("loaded/firefox.htm")], 0,
         expected("all.htm"), b""),
        # Browsers' own stores, told by their content, whatever their names.
        (NOW + [chrome], 0, expected("chromium_bookmarks.htm"),
         b"Bookmarks: 5 added, 0 merged, 1 skipped\n  News/No address: no address\n"),
        (NOW + [firefox], 0, expected("firefox_places.htm"), b"places.sqlite: 6 added, 0 merged, 0 skipped\n"),
        # Failures: a store that cannot be read adds nothing.
        (NOW + [chrome, brave], 1, b"", b"Bookmarks: not a bookmarks file: Missing a name for object member (byte 100)\n"),
        ([missing], 1, b"", b"Unable to import html bookmark file\n\n" + missing.encode()),
        (NOW + [tool_path("chrome.htm"), missing], 1, b"", b"Unable to import html bookmark file"),
        (NOW, 2, b"", b"usage"),
        (["--now", "soon", tool_path("chrome.htm")], 2, b"", b"usage"),
    ]
    return run_cases(command, cases)


if __name__ == "__main__":
    sys.exit(main())
