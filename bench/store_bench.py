#!/usr/bin/env python3
"""How fast lktool load reads browsers' own stores: a generated Chromium
`Bookmarks` file and a Firefox `places.sqlite`, 100,000 bookmarks each, made
by tools/stores/browser_stores.py. Goals (native): the Bookmarks file in
0.5 s, the database in 1 s, from start to the collection written.

usage: store_bench.py LKTOOL [--bookmarks 100000] [--runs 5]
Prints, for each store: its size, the best and the median wall time of the
runs, and the processor time (user + system) of the best run.
"""
import argparse
import os
import resource
import subprocess
import sys
import tempfile
import time

GENERATOR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools", "stores", "browser_stores.py")


def timed_load(lktool, path):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run([lktool, "load", "--now", "1700000000", path], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return wall, (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("lktool")
    parser.add_argument("--bookmarks", type=int, default=100000)
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    failed = False
    with tempfile.TemporaryDirectory() as folder:
        for kind, name, goal in (("chromium", "Bookmarks", 0.5), ("places", "places.sqlite", 1.0)):
            path = os.path.join(folder, name)
            subprocess.run([sys.executable, GENERATOR, kind, path, str(args.bookmarks)], check=True)
            runs = sorted(timed_load(args.lktool, path) for _ in range(args.runs))
            best, cpu = runs[0]
            median = runs[len(runs) // 2][0]
            print("%-14s %6.1f MB  best %.3f s  median %.3f s  cpu %.3f s  goal %.1f s%s" %
                  (name, os.path.getsize(path) / 1e6, best, median, cpu, goal, "" if best <= goal else "  MISSED"))
            failed = failed or best > goal
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
