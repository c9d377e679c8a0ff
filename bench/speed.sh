#!/usr/bin/env bash
# Nodes per second of the search on a fixed set of positions at a fixed depth.
# Usage: bench/speed.sh [engine] [depth]
set -euo pipefail
TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ENGINE="${1:-$TOP/build/engine/orvik}"
DEPTH="${2:-8}"
python3 - "$(realpath "$ENGINE")" "$DEPTH" <<'PY'
import re, subprocess, sys, tempfile, time

engine, depth = sys.argv[1], sys.argv[2]
positions = [
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - - 0 1",
    "r1b1k2r/ppppnppp/2n2q2/2b5/3NP3/2P1B3/PP3PPP/RN1QKB1R w KQkq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "4rrk1/pp1n3p/3q2pQ/2p1pb2/2PP4/2P3N1/P2B2PP/4RRK1 b - - 7 19",
    "8/8/3k4/8/3K4/3P4/8/8 w - - 0 1",
]
final = re.compile(r"^\s*(\d+)\s+(\S+)\s+\S+\s*\d+[fu]\. ")
total_nodes = 0
total_seconds = 0.0
with tempfile.TemporaryDirectory() as folder:
    for fen in positions:
        p = subprocess.Popen([engine], cwd=folder, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, text=True, bufsize=1)
        for line in ("hash 64M", "post", "sd " + depth, "setboard " + fen, "go"):
            p.stdin.write(line + "\n")
        p.stdin.flush()
        nodes, seconds = 0, 0.0
        for line in p.stdout:
            line = re.sub(r"^((white|black) \( *\d+\): )+", "", line)
            m = final.match(line)
            if m:
                nodes = int(m.group(1))
                t = m.group(2).split(":")
                seconds = float(t[-1]) + (60 * float(t[-2]) if len(t) > 1 else 0) + (3600 * float(t[-3]) if len(t) > 2 else 0)
                break
        p.stdin.write("quit\n")
        p.stdin.flush()
        p.wait()
        total_nodes += nodes
        total_seconds += seconds
        print("%-72s %10d nodes %7.3f s %9.0f nps" % (fen, nodes, seconds, nodes / max(seconds, 0.001)))
print("total: %d nodes in %.3f s, %.0f nodes per second" % (total_nodes, total_seconds,
                                                           total_nodes / max(total_seconds, 0.001)))
PY
