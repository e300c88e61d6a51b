#!/usr/bin/env python3
"""How fast lktool check gets through a collection, and how politely.

A local world of sites, each on its own loopback address (127.0.0.2 and up;
Linux routes all of 127/8 to lo): most answer after 100-300 ms (some pages
404), a few never answer, some redirect to a new home of their own, some answer their
first request with 429 and "Retry-After: 2". Each site logs when requests
arrive and how many of its connections are open at once.

usage: check_bench.py LKTOOL [--urls 5000] [--sites 200] [--jobs default,1,8,16,32,64]
                             [--wait SECONDS] [--host-interval SECONDS]
lktool runs at its own defaults (CHECK_CONNECTIONS_DEFAULT probes,
HOST_INTERVAL_DEFAULT_SECONDS between requests to a site, PROBE_WAIT_SECONDS
for an answer) unless --jobs names numbers or --wait / --host-interval are given.
Prints, for each number of probes: URLs, seconds, URLs a second, the most
connections any site had open at once, the shortest gap between two requests
to one site, lktool's peak memory and its most threads.
"""
import argparse
import random
import resource
import socket
import subprocess
import sys
import tempfile
import threading
import time

SILENT, REDIRECT, RETRY, TARGET, PLAIN = "silent", "redirect", "retry", "target", "plain"


class Site:
    def __init__(self, index, kind):
        self.kind = kind
        self.listener = socket.socket()
        self.listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.address = "127.0.%d.%d" % (2 + index // 250, 2 + index % 250)
        self.listener.bind((self.address, 0))
        self.listener.listen(256)
        self.base = "http://%s:%d" % (self.address, self.listener.getsockname()[1])
        self.lock = threading.Lock()
        self.reset()
        threading.Thread(target=self.accept_loop, daemon=True).start()

    def reset(self):
        self.arrivals, self.open, self.most_open = [], 0, 0

    def accept_loop(self):
        while True:
            connection, _ = self.listener.accept()
            with self.lock:
                self.arrivals.append(time.monotonic())
                self.open += 1
                self.most_open = max(self.most_open, self.open)
            threading.Thread(target=self.serve, args=(connection,), daemon=True).start()

    def serve(self, connection):
        try:
            request = connection.recv(4096)
            if self.kind == SILENT:
                while connection.recv(4096):
                    pass
                answer = None
            else:
                answer = self.answer(request.split(b" ")[1].decode() if b" " in request else "/")
        except OSError:
            answer = None
        with self.lock:
            self.open -= 1  # before the reply: the client goes on only once it arrives
            first = len(self.arrivals) == 1
        try:
            if answer:
                if self.kind == RETRY and first:
                    answer = "HTTP/1.0 429 Too Many Requests\r\nRetry-After: 2\r\n\r\n"
                connection.sendall(answer.encode())
        except OSError:
            pass
        connection.close()

    def answer(self, path):
        time.sleep(random.uniform(0.1, 0.3))
        if self.kind == REDIRECT:
            return "HTTP/1.0 301 Moved\r\nLocation: %s%s\r\n\r\n" % (self.target.base, path)
        if path.endswith("/gone"):
            return "HTTP/1.0 404 Not Found\r\n\r\n"
        return "HTTP/1.0 200 OK\r\nLast-Modified: Sun, 06 Nov 1994 08:49:37 GMT\r\n\r\n"

    def shortest_gap(self):
        gaps = [b - a for a, b in zip(self.arrivals, self.arrivals[1:])]
        return min(gaps) if gaps else None


WORLD = []


def make_world(count, silent_every):
    kinds = []
    for i in range(count):
        kinds.append(SILENT if silent_every and i % silent_every == 7 else REDIRECT if i % 20 == 3 else RETRY if i % 20 == 11 else PLAIN)
    for i, kind in enumerate(kinds):
        WORLD.append(Site(i, kind))
    # Each moved site sends its visitors to its own new home.
    for site in [s for s in WORLD if s.kind == REDIRECT]:
        site.target = Site(len(WORLD), TARGET)
        WORLD.append(site.target)


def make_urls(count):
    random.seed(count)
    sources = [s for s in WORLD if s.kind != TARGET]
    urls = []
    for i in range(count):
        site = sources[i % len(sources)]
        urls.append("%s/page/%d%s" % (site.base, i, "/gone" if i % 17 == 0 else ""))
    random.shuffle(urls)
    return urls


def run(lktool, urls, jobs, wait, interval):
    for site in WORLD:
        site.reset()
    with tempfile.NamedTemporaryFile("w", suffix=".txt") as stats:
        options = ([] if jobs == "default" else ["--jobs", jobs]) + ([] if wait is None else ["--wait", str(wait)]) \
            + ([] if interval is None else ["--host-interval", str(interval)])
        command = ["/usr/bin/time", "-v", "-o", stats.name, lktool, "check"] + options + urls
        start = time.monotonic()
        # A larger stack limit lets 100,000 URLs through as arguments.
        process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                   preexec_fn=lambda: resource.setrlimit(resource.RLIMIT_STACK, (1 << 26, 1 << 26)))
        lines, most_threads = [0], [0]

        def read():
            for _ in process.stdout:
                lines[0] += 1

        reader = threading.Thread(target=read)
        reader.start()
        while process.poll() is None:
            try:  # the time program's child is lktool
                child = open("/proc/%d/task/%d/children" % (process.pid, process.pid)).read().split()
                for pid in child:
                    for line in open("/proc/%s/status" % pid):
                        if line.startswith("Threads:"):
                            most_threads[0] = max(most_threads[0], int(line.split()[1]))
            except OSError:
                pass
            time.sleep(0.2)
        reader.join()
        seconds = time.monotonic() - start
        peak_kb = next((int(l.split(":")[1]) for l in open(stats.name) if "Maximum resident" in l), 0)
    # A silent site notices a client's close only after the client may have
    # come back: its count of open connections is left out.
    polite = [s for s in WORLD if s.kind not in (TARGET, SILENT)]
    by_kind = {}
    for s in polite:
        by_kind[s.kind] = max(by_kind.get(s.kind, 0), s.most_open)
    gaps = [s.shortest_gap() for s in polite if s.shortest_gap() is not None]
    targets = [s for s in WORLD if s.kind == TARGET]
    target_gaps = [s.shortest_gap() for s in targets if s.shortest_gap() is not None]
    print("N=%-7s %6d URLs %8.1f s %7.1f URLs/s  most open per site %d %s (redirect targets %d)  "
          "shortest gap %.3f s (redirect targets %s)  peak %d MB  threads %d  printed %d" % (
              jobs, len(urls), seconds, len(urls) / seconds, max(s.most_open for s in polite), by_kind,
              max(s.most_open for s in targets), min(gaps), "%.3f s" % min(target_gaps) if target_gaps else "-",
              peak_kb // 1024, most_threads[0], lines[0]), flush=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("lktool")
    parser.add_argument("--urls", type=int, default=5000)
    parser.add_argument("--sites", type=int, default=200)
    parser.add_argument("--jobs", default="default")
    parser.add_argument("--wait", type=int)
    parser.add_argument("--silent-every", type=int, default=80, help="one site in so many never answers; 0: none")
    parser.add_argument("--host-interval", type=float)
    parser.add_argument("--one-at-a-time-urls", type=int, default=500,
                        help="URLs for N=1, which takes about 0.2 s a URL")
    args = parser.parse_args()
    threading.stack_size(256 * 1024)
    make_world(args.sites, args.silent_every)
    urls = make_urls(args.urls)
    for jobs in args.jobs.split(","):
        run(args.lktool, urls[:args.one_at_a_time_urls] if jobs == "1" else urls, jobs, args.wait, args.host_interval)


if __name__ == "__main__":
    sys.exit(main())
