#!/usr/bin/env python3
"""lktool words, search and duplicates, run as a user runs them: exact output bytes and exit codes.

usage: search_command_test.py DATA_DIR LKTOOL [EMULATOR...]
DATA_DIR is the test data folder as lktool sees it (Z:... under Wine).
"""
import sys

from cases import run_cases

LONG = b"x" * 296
ROWS = [None, b"http://one.example/\tInternet News\n", b"http://two.example/\tInterface Guide\n",
        b"http://three.example/\tWinternet\n", b"http://four.example/\tInter Exact\n", b"http://five.example/\tPlain\n"]
CLEAN_ROWS = [
    b"http://news.example.org/today\tDaily News\n",
    b"https://www.news.example.org/today?utm_source=feed#top\tNews Feed Copy\n",
    b"http://shop.example.com/\tShop\n",
    "http://bücher.example/\tBooks\n".encode(),
    b"http://xn--bcher-kva.example\tBooks Again\n",
    b"http://example.org/a?id=1\tPage One\n",
    b"http://example.org/a?id=2\tPage Two\n",
    b"HTTP://EXAMPLE.ORG:80/a?id=2&fbclid=9\tPage Two Again\n",
]


def rows(*numbers, table=ROWS):
    return b"".join(table[n] for n in numbers)


def clean_rows(*numbers):
    return rows(*numbers, table=CLEAN_ROWS)


def main():
    data, lktool = sys.argv[1], sys.argv[3:] + [sys.argv[2]]
    words = data + "/collection/words_collection.htm"
    collection = data + "/tools/search_collection.htm"
    missing = data + "/tools/no_such_collection.htm"
    clean = data + "/tools/clean_up_collection.htm"
    exact = (b"LONG" + LONG + b"\nLong" + LONG + b"\nSTRASSE\nStra\xc3\x9fe\nWEB\nWeb\nZebra\na\napple\nnews\nnews_2\n"
             b"the\nweb\n" + "Öl\nöl\nМОСКВА\nМосква\nмосква\n".encode())
    # One row per word without regard to case, lower case, cut to 255 bytes, sorted.
    folded = (b"a\napple\nlong" + LONG[:251] + b"\nnews\nnews_2\nstrasse\nstra\xc3\x9fe\nthe\nweb\nzebra\n" +
              "öl\nмосква\n".encode())
    # (arguments, expected exit code, expected standard output, text expected on standard error)
    word_cases = [
        (["--case", "1", words], 0, exact, b""),
        ([words], 0, folded, b""),
        ([missing], 1, b"", b"Unable to import html bookmark file\n\n" + missing.encode()),
        (["--case", "yes", words], 2, b"", b"usage"),
    ]
    search_cases = [
        # Prefix matching ignoring case; the hint lists index words in byte order.
        (["--hint", collection, "inter"], 0, b"Interface inter internet\n" + rows(1, 2, 4), b""),
        (["--partial", "0", collection, "inter"], 0, rows(4), b""),
        (["--case", "1", "--hint", collection, "web"], 0, b"web\n" + rows(2), b""),
        (["--implied-or", "1", collection, "inter guide"], 0, rows(1, 2, 4), b""),
        # The caret picks the word for the hint; case variants are listed once.
        (["--caret", "5", "--hint", collection, "news web"], 0, b"Web \n" + rows(1), b""),
        # No text lists every bookmark (how the text is tidied first is the filter's own test).
        (["--hint", collection, ""], 0, b"No Matches\n" + rows(1, 2, 3, 4, 5), b""),
        # site: and is: reach the file's hosts and checks (what they select: the collection's tests).
        (["--hint", clean, "site:example.org"], 0, b"site:example.org\n" + clean_rows(0, 1, 5, 6, 7), b""),
        # A host beyond ASCII and its IDNA spelling are one page.
        ([clean, "is:duplicate !is:broken | is:moved"], 0, clean_rows(1, 2, 3, 4, 6, 7), b""),
        # Failures.
        ([clean, "is:dead"], 1, b"",
         b"Search expression error: is: takes broken, suspect, moved, changed, blocked, unchecked or duplicate"),
        ([clean, "news site:"], 1, b"", b"Search expression error: site: takes a host name"),
        ([missing, "web"], 1, b"", b"Unable to"),
        (["--caret", "-1", collection, "web"], 2, b"", b"usage"),
    ]
    # Each group a paragraph, the bookmark kept first: the oldest by default.
    duplicate_cases = [
        ([clean], 0, clean_rows(1, 0) + b"\n" + clean_rows(3, 4) + b"\n" + clean_rows(7, 6), b""),
        (["--keep", "newest", clean], 0, clean_rows(0, 1) + b"\n" + clean_rows(4, 3) + b"\n" + clean_rows(6, 7), b""),
        (["--keep", "oldest", collection], 0, b"", b""),
        (["--keep", "first", clean], 2, b"", b"usage"),
        ([missing], 1, b"", b"Unable to"),
    ]
    return (run_cases(lktool + ["words"], word_cases) | run_cases(lktool + ["search"], search_cases) |
            run_cases(lktool + ["duplicates"], duplicate_cases))


if __name__ == "__main__":
    sys.exit(main())
