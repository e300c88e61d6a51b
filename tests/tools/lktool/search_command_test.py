#!/usr/bin/env python3
"""lktool search, run as a user runs it: exact output bytes and exit codes.

usage: search_command_test.py DATA_DIR LKTOOL [EMULATOR...]
DATA_DIR is the test data folder as lktool sees it (Z:... under Wine).
"""
import sys

from cases import run_cases

ROWS = {
    1: b"http://one.example/\tInternet News\n",
    2: b"http://two.example/\tInterface Guide\n",
    3: b"http://three.example/\tWinternet\n",
    4: b"http://four.example/\tInter Exact\n",
    5: b"http://five.example/\tPlain\n",
}


def rows(*numbers):
    return b"".join(ROWS[n] for n in numbers)


# Bookmarks of the imported exports and shortcuts (collection/loaded/imports.htm).
IMPORTED = {
    "moskva": "https://news.example.ru/moskva\tМосква: новости дня\n",
    "ru": "https://news.example.ru/\tМосква новости\n",
    "tram": "http://www.muenchen-example.de/\tMünchner Straßenbahn € Preise\n",
    "tokyo": "https://news.example.jp/tokyo\t東京 - 天気予報とニュース\n",
    "athina": "https://news.example.gr/athina\tΑθήνα – ειδήσεις\n",
    "creme": "https://cuisine.example.fr/recettes/creme-brulee\tCrème brûlée – la vraie recette\n",
    "cafe": "http://www.cafe-example.fr/\tLe Café de la Gare – Paris\n",
    "typo": "https://blog.example.net/2023/11/typography\tTwo \u00a0spaces  and\ta tab\n",
}


def imported(*names):
    return "".join(IMPORTED[n] for n in names).encode()


def main():
    data, command = sys.argv[1], sys.argv[3:] + [sys.argv[2], "search"]
    collection = data + "/tools/search_collection.htm"
    missing = data + "/tools/no_such_collection.htm"
    imports = data + "/collection/loaded/imports.htm"
    # (arguments, expected exit code, expected standard output, text expected on standard error)
    cases = [
        # Prefix matching ignoring case; the hint lists index words in byte order.
        (["--hint", collection, "inter"], 0, b"Interface inter internet\n" + rows(1, 2, 4), b""),
        (["--partial", "0", collection, "inter"], 0, rows(4), b""),
        # Case variants: listed once (the first spelling) unless case counts.
        (["--hint", collection, "web"], 0, b"Web \n" + rows(1, 2), b""),
        (["--case", "1", "--hint", collection, "web"], 0, b"web\n" + rows(2), b""),
        (["--implied-or", "1", collection, "inter guide"], 0, rows(1, 2, 4), b""),
        # The caret picks the word for the hint; after a blank there is none.
        (["--caret", "5", "--hint", collection, "news web"], 0, b"Web \n" + rows(1), b""),
        (["--hint", collection, "news "], 0, b"No Matches\n" + rows(1), b""),
        # Trailing operators are dropped; nothing left lists every bookmark.
        (["--hint", collection, "guide &"], 0, b"No Matches\n" + rows(2), b""),
        (["--hint", collection, ""], 0, b"No Matches\n" + rows(1, 2, 3, 4, 5), b""),
        # Words in every script, their case ignored or not, prefixes, tags.
        (["--hint", imports, "МОСК"], 0, "Москва\n".encode() + imported("moskva", "ru"), b""),
        (["--case", "1", imports, "МОСКВА"], 0, b"", b""),
        ([imports, "Straß"], 0, imported("tram"), b""),
        (["--partial", "0", imports, "Straß"], 0, b"", b""),
        ([imports, "東京 | Αθήνα"], 0, imported("athina", "tokyo"), b""),
        ([imports, "dessert | to-read"], 0, imported("creme", "typo"), b""),
        ([imports, "crème & !brûlée"], 0, imported("cafe"), b""),
        # Failures.
        ([collection, "web ("], 1, b"", b"Search expression error"),
        ([missing, "web"], 1, b"", b"Unable to"),
        (["--caret", "-1", collection, "web"], 2, b"", b"usage"),
        (["--bogus", "1", collection, "web"], 2, b"", b"usage"),
        ([collection], 2, b"", b"usage"),
    ]
    return run_cases(command, cases)


if __name__ == "__main__":
    sys.exit(main())
