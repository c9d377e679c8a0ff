#!/usr/bin/env python3
"""Runs every position of an EPD suite through the engine at a fixed time per move and
counts the positions whose chosen move is one of the suite's best moves (bm, SAN).

Usage: wac.py ENGINE EPD SECONDS|nNODES [JOBS] [--list]
One engine process per worker, each in its own scratch folder; positions are spread
over the workers and searched one after the other ("new", "st", "setboard", "go").
A limit written as n2000000 searches 2,000,000 nodes a position instead ("nodes"): the
result no longer depends on the machine's speed or load, so search changes compare exactly."""
import os
import re
import subprocess
import sys
import tempfile
import threading
import queue


# A move in SAN, as the engine announces it (other prompt lines carry settings' echoes).
SAN = r"(?:O-O(?:-O)?|[KQRBN]?[a-h]?[1-8]?x?[a-h][1-8](?:=?[QRBN])?)[+#]?"


def read_suite(path):
    positions = []
    with open(path) as f:
        for line in f:
            line = line.strip()
            if not line:
                continue
            fields = line.split()
            fen = " ".join(fields[:4]) + " 0 1"
            m = re.search(r"\bbm ([^;]+);", line)
            ident = re.search(r'\bid "([^"]+)"', line)
            if not m:
                continue
            positions.append((ident.group(1) if ident else str(len(positions) + 1), fen, m.group(1).split()))
    return positions


def clean(san):
    return san.rstrip("+#!?")


def start(engine, folder):
    return subprocess.Popen([engine], cwd=folder, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, text=True, bufsize=1)


def send(proc, text):
    proc.stdin.write(text + "\n")
    proc.stdin.flush()


def each_job(jobs):
    """The positions of the shared queue, until another worker has taken the last one."""
    while True:
        try:
            yield jobs.get_nowait()
        except queue.Empty:
            return


def search(proc, fen, limit):
    """Starts a search of a fresh game from fen under a limit command ("st 1", "nodes 5000")
    and returns the word that begins the engine's move line for the side to move."""
    for text in ("new", limit, "setboard " + fen, "go"):
        send(proc, text)
    return "white" if fen.split()[1] == "w" else "black"


def move_of(word, line):
    """The move of the engine's move line, "white (12): Qg6" (after the prompts), or None."""
    m = re.search(r"\b" + word + r" \(\s*\d+\): (" + SAN + r")\s*$", line)
    return m.group(1) if m else None


def read_move(proc, word, on_line=None):
    """Reads the engine's output up to its move line and returns the move (None when the
    engine ended); every other line goes to on_line."""
    while True:
        line = proc.stdout.readline()
        if not line:
            return None
        chosen = move_of(word, line)
        if chosen:
            return chosen
        if on_line:
            on_line(line)


def worker(engine, seconds, jobs, results):
    with tempfile.TemporaryDirectory() as folder:
        proc = start(engine, folder)

        def prepare():
            send(proc, "nopost")
            send(proc, "hash 64M")

        prepare()
        for ident, fen, best in each_job(jobs):
            word = search(proc, fen, ("nodes %s" % seconds[1:]) if seconds.startswith("n") else ("st %s" % seconds))
            # A search that overruns its time by far counts as a miss; the engine is restarted.
            limit = float(seconds[1:]) / 200000.0 if seconds.startswith("n") else float(seconds)
            timer = threading.Timer(limit * 5 + 10, proc.kill)
            timer.start()
            chosen = read_move(proc, word)
            timer.cancel()
            if chosen is None:
                print("no answer for %s (engine restarted)" % ident, file=sys.stderr)
                proc.wait()
                proc = start(engine, folder)
                prepare()
            results.append((ident, chosen, best, chosen is not None and clean(chosen) in [clean(b) for b in best]))
        send(proc, "quit")
        proc.wait(timeout=30)


def run_suite(worker, engine, limit, epd, workers):
    """Runs worker(engine, limit, jobs, results) in `workers` threads over the suite's
    positions and returns the results."""
    jobs = queue.Queue()
    for p in read_suite(epd):
        jobs.put(p)
    results = []
    threads = [threading.Thread(target=worker, args=(os.path.abspath(engine), limit, jobs, results))
               for _ in range(workers)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    return results


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    engine, epd, seconds = args[0], args[1], args[2]
    workers = int(args[3]) if len(args) > 3 else 8
    results = run_suite(worker, engine, seconds, epd, workers)
    solved = sum(1 for r in results if r[3])
    if "--list" in sys.argv:
        for ident, chosen, best, ok in sorted(results):
            if not ok:
                print("missed %s: played %s, best %s" % (ident, chosen, " ".join(best)))
    what = ("%s nodes" % seconds[1:]) if seconds.startswith("n") else ("%s s" % seconds)
    print("%s per position: %d of %d solved" % (what, solved, len(results)))


if __name__ == "__main__":
    main()
