#!/usr/bin/env python3
"""Writes the README's user guide as the packages' README.txt: the lines
between its two markers, pictures left out (they stay in the repository),
with Windows line ends for Notepad.

usage: user_guide.py README.md README.txt
"""
import sys


def main():
    source, target = sys.argv[1], sys.argv[2]
    with open(source, encoding="utf-8") as f:
        lines = f.read().split("\n")
    begin = next(i for i, line in enumerate(lines) if line.startswith("<!-- user guide begins"))
    end = next(i for i, line in enumerate(lines) if line.startswith("<!-- user guide ends"))
    kept = [line for line in lines[begin + 1:end] if not line.startswith("![")]
    text = "Ravozorizi\n==========\n" + "\n".join(kept).strip("\n").join(["\n", "\n"])
    with open(target, "w", encoding="utf-8", newline="\r\n") as f:
        f.write(text)


if __name__ == "__main__":
    main()
