#!/usr/bin/env python3
"""Compares the speed of two or more builds of the engine on the same fixed-node searches.

Usage: compare_speed.py [--rounds N] [--nodes N] [--hash SIZE] ENGINE [ENGINE ...]

Each round runs every engine in turn over the same WAC positions (so a change of the
machine's load touches all of them alike) and the best rate of all rounds is kept. The
node counts of the searches are printed too: a change meant only to make the engine
faster must leave them equal, search for search."""
import argparse
import os
import re
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from wac import search, send, start  # noqa: E402

POSITIONS = (1, 31, 71, 105, 131, 196, 222, 232)
STATS = re.compile(r"^(\d+) Nodes, .* (\d+) Nodes/sec")
MOVE = re.compile(r"^\s*(\d+)\s+\S+\s+(\S+)\s+\d+[fu]\. (.*)$")


def run(engine, epd, nodes, hash_size):
    lines = open(epd).read().splitlines()
    with tempfile.TemporaryDirectory() as folder:
        p = start(engine, folder)
        send(p, "hash " + hash_size)
        send(p, "post")
        total_nodes, total_seconds, results = 0, 0.0, []
        for i in POSITIONS:
            fen = " ".join(lines[i - 1].split()[:4])
            search(p, fen + " 0 1", "nodes %d" % nodes)
            last = ""
            while True:
                line = p.stdout.readline()
                if not line:
                    sys.exit("%s ended unexpectedly" % engine)
                line = re.sub(r"^((white|black) \( *\d+\): )+", "", line)
                m = MOVE.match(line)
                if m:
                    last = "%s %s" % (m.group(2), m.group(3).split()[0] if m.group(3).split() else "")
                m = STATS.match(line)
                if m:
                    n, rate = int(m.group(1)), int(m.group(2))
                    total_nodes += n
                    total_seconds += n / max(1, rate)
                    results.append("%d %s" % (n, last))
                    break
        send(p, "quit")
        p.wait(timeout=30)
    return total_nodes / total_seconds, results


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--rounds", type=int, default=3)
    ap.add_argument("--nodes", type=int, default=3000000)
    ap.add_argument("--hash", default="64M")
    ap.add_argument("--epd", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "wac.epd"))
    ap.add_argument("engines", nargs="+")
    a = ap.parse_args()
    engines = [os.path.abspath(e) for e in a.engines]
    best = {e: 0.0 for e in engines}
    searches = {}
    for _ in range(a.rounds):
        for e in engines:
            rate, results = run(e, a.epd, a.nodes, a.hash)
            best[e] = max(best[e], rate)
            searches[e] = results
    base = engines[0]
    for e in engines:
        same = "same searches" if searches[e] == searches[base] else "SEARCHES DIFFER"
        print("%-50s %9.0f nodes/s  %+6.1f%%  %s" % (e, best[e], 100.0 * (best[e] / best[base] - 1), same))
    if any(searches[e] != searches[base] for e in engines):
        for e in engines:
            print(e, searches[e])


if __name__ == "__main__":
    main()
