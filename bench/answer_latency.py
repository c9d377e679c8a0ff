#!/usr/bin/env python3
"""How soon a UCI engine answers isready and stop in the middle of a search.

Usage: answer_latency.py [--tries N] ENGINE [ENGINE ...]

For each engine, N times (10 by default) for each of "go infinite" and "go depth 30" on
a middle-game position: the search runs a moment, isready is sent (the time to readyok
is taken), the search runs a moment more, and stop is sent (the time to bestmove). The
engines take turns try by try, so a change of the machine's load touches all of them
alike. Prints the median, 90th percentile and worst of each, in milliseconds."""
import argparse
import os
import random
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from match import UciEngine  # noqa: E402

FEN = "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1QBPPP/R3KB1R w KQ - 0 1"
SEARCHES = ("go infinite", "go depth 30")


def answer_ms(engine, line, prefix, timeout=10.0):
    """Milliseconds from writing `line` to the first line that begins with `prefix`."""
    engine.send(line)
    sent = engine.last_write
    deadline = time.monotonic() + timeout
    while True:
        got = engine.read(deadline - time.monotonic())
        if got is None:
            return float("inf")
        if got.startswith(prefix):
            return (engine.last_read - sent) * 1000.0


def one_try(engine, search, rng):
    engine.send("position fen " + FEN)
    engine.send(search)
    time.sleep(rng.uniform(0.3, 1.0))
    ready = answer_ms(engine, "isready", "readyok")
    time.sleep(rng.uniform(0.1, 0.5))
    stop = answer_ms(engine, "stop", "bestmove")
    return ready, stop


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(share * len(ordered) + 0.999999) - 1)]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--tries", type=int, default=10)
    parser.add_argument("engines", nargs="+")
    args = parser.parse_args()
    rng = random.Random(1)
    engines = []
    for path in args.engines:
        e = UciEngine(path, "uci", path)
        e.start()
        engines.append(e)
    times = {(e.name, s, kind): [] for e in engines for s in SEARCHES for kind in ("isready", "stop")}
    try:
        for _ in range(args.tries):
            for search in SEARCHES:
                for e in engines:
                    ready, stop = one_try(e, search, rng)
                    times[(e.name, search, "isready")].append(ready)
                    times[(e.name, search, "stop")].append(stop)
    finally:
        for e in engines:
            e.stop()
    print("%-40s %-12s %-8s %8s %8s %8s" % ("engine", "search", "answer", "median", "p90", "worst"))
    for (name, search, kind), values in times.items():
        print("%-40s %-12s %-8s %8.1f %8.1f %8.1f" % (name, search[3:], kind, percentile(values, 0.5),
                                                       percentile(values, 0.9), max(values)))


if __name__ == "__main__":
    main()
