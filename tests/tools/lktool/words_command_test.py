#!/usr/bin/env python3
"""lktool words, run as a user runs it: exact output bytes and exit codes.

usage: words_command_test.py DATA_DIR LKTOOL [EMULATOR...]
"""
import sys

from cases import run_cases

LONG = b"x" * 296


def main():
    data, command = sys.argv[1], sys.argv[3:] + [sys.argv[2], "words"]
    collection = data + "/collection/words_collection.htm"
    missing = data + "/collection/no_such_file.htm"
    exact = (b"LONG" + LONG + b"\nLong" + LONG + b"\nSTRASSE\nStra\xc3\x9fe\nWEB\nWeb\nZebra\na\napple\nnews\nnews_2\n"
             b"the\nweb\n" + "Öl\nöl\nМОСКВА\nМосква\nмосква\n".encode())
    # One row per word without regard to case, lower case, cut to 255 bytes, sorted.
    folded = (b"a\napple\nlong" + LONG[:251] + b"\nnews\nnews_2\nstrasse\nstra\xc3\x9fe\nthe\nweb\nzebra\n" +
              "öl\nмосква\n".encode())
    # (arguments, expected exit code, expected standard output, text expected on standard error)
    cases = [
        (["--case", "1", collection], 0, exact, b""),
        ([collection], 0, folded, b""),
        ([missing], 1, b"", b"Unable to import html bookmark file\n\n" + missing.encode()),
        ([], 2, b"", b"usage"),
        ([collection, collection], 2, b"", b"usage"),
        (["--case", "yes", collection], 2, b"", b"usage"),
        (["--auto", "1", collection], 2, b"", b"usage"),
    ]
    return run_cases(command, cases)


if __name__ == "__main__":
    sys.exit(main())
