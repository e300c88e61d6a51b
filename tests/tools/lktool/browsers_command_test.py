#!/usr/bin/env python3
"""lktool browsers over the profile tree the build made: exact lines.

usage: browsers_command_test.py DATA_DIR LKTOOL [EMULATOR...]
LK_STORES_DIR in the environment is the tree's folder as lktool sees it.
"""
import os
import sys

from cases import run_cases

STORES = [
    ("Chrome", "Work", "Local/Google/Chrome/User Data/Default/Bookmarks", "6"),
    ("Chrome", "Work", "Local/Google/Chrome/User Data/Default/AccountBookmarks", "1"),
    ("Chrome", "Home", "Local/Google/Chrome/User Data/Profile 1/Bookmarks", "1"),
    ("Edge", "Default", "Local/Microsoft/Edge/User Data/Default/EncryptedBookmarks2", "-"),
    ("Brave", "Default", "Local/BraveSoftware/Brave-Browser/User Data/Default/Bookmarks", "-"),
    ("Brave", "Personal", "Local/BraveSoftware/Brave-Browser/User Data/Profile 2/Bookmarks", "1"),
    ("Opera", "Default", "Roaming/Opera Software/Opera Stable/Bookmarks", "1"),
    ("Opera GX", "Default", "Roaming/Opera Software/Opera GX Stable/Default/Bookmarks", "1"),
    ("Firefox", "default-release", "Roaming/Mozilla/Firefox/Profiles/bbbb.default-release/places.sqlite", "6"),
    ("Firefox", "dev-edition-default", "Roaming/Mozilla/Firefox/Profiles/cccc.dev-edition-default/places.sqlite",
     "1"),
    ("Firefox", "default", "Roaming/Mozilla/Firefox/Profiles/aaaa.default/places.sqlite", "-"),
    ("Firefox", "moved", "Elsewhere/moved.profile/places.sqlite", "1"),
]


def main():
    command = sys.argv[3:] + [sys.argv[2], "browsers"]
    root = os.environ["LK_STORES_DIR"] + "/profiles/"
    local, roaming = ["--local", root + "Local"], ["--roaming", root + "Roaming"]

    def lines(stores):
        return "".join("%s\t%s\t%s%s\t%s\n" % (b, p, root, f, n) for b, p, f, n in stores).encode()

    # Each folder is searched only when asked for; failures are a dash and a line on standard error.
    cases = [
        (["--local", ""] + roaming, 0, lines(STORES[6:]),
         b"Firefox (default): the copy of the database fails its check\n"),
        (local + ["--roaming", root + "Nowhere"], 0, lines(STORES[:6]),
         b"Edge (Default): the browser keeps its bookmarks only encrypted\n"
         b"Brave (Default): not a bookmarks file: Missing a name for object member (byte 100)\n"),
        (["--local"], 2, b"", b"usage"),
        (["--profile", "x"], 2, b"", b"usage"),
    ]
    return run_cases(command, cases)


if __name__ == "__main__":
    sys.exit(main())
