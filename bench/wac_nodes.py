#!/usr/bin/env python3
"""Searches every position of an EPD suite to a fixed node count and notes, from the
thinking lines, after how many nodes the engine settled on a solution move (the node
count of the last change of its choice to a correct move). The counts do not depend on
the machine's speed or load, so two versions of the search compare exactly; the table
gives the number solved within several node budgets.

Usage: wac_nodes.py ENGINE EPD NODES [JOBS] [--list]
"""
import math
import os
import re
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from wac import clean, each_job, read_move, run_suite, search, send, start, SAN  # noqa: E402

# "   123456   0.123   1.25  7t  1.Qg6 fxg6 ..." (console thinking line)
THINKING = re.compile(r"^\s*(\d+)\s+\S+\s+\S+\s+\d+(\S\S?)\s+1\.(?:\.\.)?\s*(" + SAN + r")")
SETTLED_TYPES = ("t", "++", "--", ".", "f.", "u.")


def worker(engine, nodes, jobs, results):
    with tempfile.TemporaryDirectory() as folder:
        proc = start(engine, folder)
        send(proc, "hash 64M")
        send(proc, "post")
        for ident, fen, best in each_job(jobs):
            word = search(proc, fen, "nodes %d" % nodes)
            wanted = [clean(b) for b in best]
            state = {"choice": None, "since": 0, "total": 0}

            def thinking(line):
                line = re.sub(r"^((white|black) \( *\d+\): )+", "", line)
                m = THINKING.match(line)
                if m:
                    count, kind, move = int(m.group(1)), m.group(2).strip(), clean(m.group(3))
                    state["total"] = max(state["total"], count)
                    if kind in SETTLED_TYPES and move != state["choice"]:
                        state["choice"], state["since"] = move, count

            chosen = read_move(proc, word, thinking)
            chosen = clean(chosen) if chosen else None
            since, total = state["since"], state["total"]
            solved = chosen is not None and chosen in wanted
            results.append((ident, chosen, best, solved, since if solved else None, total))
        send(proc, "quit")
        proc.wait(timeout=30)


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    engine, epd, nodes = args[0], args[1], int(float(args[2]))
    workers = int(args[3]) if len(args) > 3 else 8
    results = run_suite(worker, engine, nodes, epd, workers)
    results.sort()
    if "--list" in sys.argv:
        for ident, chosen, best, ok, since, total in results:
            print("%-10s %-8s %-12s %s" % (ident, chosen, " ".join(best),
                                           ("solved at %d" % since) if ok else "missed"))
    budgets = [b for b in (250000, 500000, 1000000, 2000000, 3000000, 5000000, 10000000, 20000000, 50000000)
               if b <= nodes]
    if nodes not in budgets:
        budgets.append(nodes)
    row = []
    for b in budgets:
        row.append("%s: %d" % (("%gM" % (b / 1e6)), sum(1 for r in results if r[3] and r[4] <= b)))
    solved = [r for r in results if r[3]]
    # Unsolved positions count as twice the budget in the mean.
    logs = [math.log10(max(1, r[4])) if r[3] else math.log10(2 * nodes) for r in results]
    print("solved within  " + "  ".join(row) + "  of %d" % len(results))
    print("mean log10(nodes to solution) %.4f; solved %d" % (sum(logs) / max(1, len(logs)), len(solved)))


if __name__ == "__main__":
    main()
