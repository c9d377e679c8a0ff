#!/usr/bin/env python3
"""go mate over a suite: the mates a reference search finds, answered by go mate N.

Usage: wac_mates.py [--reference ENGINE] [--seconds S] [--most N] [--bound S] ENGINE [EPD]

Every position of the suite (tests/data/wac.epd by default) is searched first by the
reference engine (ENGINE itself by default) for S seconds (5): a "score mate k" with k
of at most N (4) marks a mate in k. ENGINE then gets "go mate k" on each such position:
its answer must come within the bound (30 s), carry a "score mate" of k or less, and be
a mating move, which the reference confirms by a search of the position after it (the
side to move is mated there). On the positions without such a mate, "go mate 2" must
still answer within the bound. Prints each failure and the counts; exit status 1 when
one failed."""
import argparse
import os
import re
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from match import UciEngine  # noqa: E402
from wac import read_suite  # noqa: E402

MATE = re.compile(r" score mate (-?\d+)")
TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def search(engine, fen, go, bound, moves=""):
    """(seconds, best move, last mate score or None) of one search; seconds is None
    when no bestmove came within `bound`."""
    engine.send("position fen " + fen + (" moves " + moves if moves else ""))
    engine.send(go)
    started = engine.last_write
    deadline = time.monotonic() + bound
    mate = None
    while True:
        line = engine.read(deadline - time.monotonic())
        if line is None:
            engine.send("stop")
            while not (engine.read(10.0) or "bestmove").startswith("bestmove"):
                pass
            return None, None, mate
        if line.startswith("info") and " score " in line:
            m = MATE.search(line)
            mate = int(m.group(1)) if m else None
        if line.startswith("bestmove"):
            words = line.split()
            return engine.last_read - started, words[1] if len(words) > 1 else "", mate


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--reference")
    parser.add_argument("--seconds", type=float, default=5.0)
    parser.add_argument("--most", type=int, default=4)
    parser.add_argument("--bound", type=float, default=30.0)
    parser.add_argument("engine")
    parser.add_argument("epd", nargs="?", default=os.path.join(TOP, "tests", "data", "wac.epd"))
    args = parser.parse_args()
    engine = UciEngine("engine", "uci", args.engine)
    reference = UciEngine("reference", "uci", args.reference or args.engine)
    engine.start()
    reference.start()
    failures, mates, others, worst = 0, 0, 0, 0.0
    try:
        for ident, fen, _ in read_suite(args.epd):
            _, _, k = search(reference, fen, "go movetime %d" % int(args.seconds * 1000), args.seconds + 30)
            if k is not None and 0 < k <= args.most:
                mates += 1
                seconds, best, mate = search(engine, fen, "go mate %d" % k, args.bound)
                mated = None
                if seconds is not None:
                    _, reply, after = search(reference, fen, "go movetime 1000", 31, best)
                    mated = (after is not None and after <= 0) or reply in ("0000", "(none)")
                ok = seconds is not None and mate is not None and 0 < mate <= k and mated
                what = "go mate %d" % k
            else:
                others += 1
                seconds, best, mate = search(engine, fen, "go mate 2", args.bound)
                ok = seconds is not None
                what = "go mate 2 (no mate in %d by the reference)" % args.most
            worst = max(worst, seconds if seconds is not None else args.bound)
            if not ok:
                failures += 1
                print("FAIL %s: %s answered %s, score mate %s, %s" %
                      (ident, what, best, mate, "%.2f s" % seconds if seconds is not None else "no answer"))
            sys.stdout.flush()
    finally:
        engine.stop()
        reference.stop()
    print("%d positions with a mate in %d or fewer, %d without; %d failed; slowest answer %.2f s" %
          (mates, args.most, others, failures, worst))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
