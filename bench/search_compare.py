#!/usr/bin/env python3
"""Compares Orvik's search with the independent reference in tools/search_reference,
iteration by iteration: node count, score and principal variation at each depth.

Each position is searched by a fresh engine process (xboard dialogue, no book, no
learning, a 64 MB table, a long level so that the clock never ends an iteration,
`sd N`) in a scratch folder, and by a fresh reference searcher.

    bench/search_compare.py [--engine build/engine/orvik] [--depth 3] [--positions 30]
                            [--set name=value ...] [--off killers,lazy] [--jobs 3]
                            [--fen FEN ...] [--show 10]
    bench/search_compare.py --signature --depth 5

--set changes a search setting on both sides (null_high, null_low, null_endgame,
null_split, prune, deepen, window, qexact, icheck, irepcheck, irecapture, ipawn7,
inullthreat, ipawne, ionerep; extensions and reductions in 1/64 ply); --off names
ORVIK_OFF switches given to both sides. `--set bitbase_rules=0` goes to the reference
only: it then leaves out the engine's built-in answers for two men besides the kings,
and the default set leaves out the positions with four men or fewer besides the kings.
"""

import argparse
import glob
import multiprocessing
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(HERE)
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(TOP, "tools", "search_reference"))

import chessrules  # noqa: E402
import search_reference as sr  # noqa: E402
from eval_compare import wac_positions  # noqa: E402

ENDINGS = [
    "8/5pk1/6p1/8/5P2/6P1/5K2/3R4 w - - 0 40",
    "8/1p3k2/p1p5/2P1p3/1P2P3/P4K2/8/8 w - - 0 45",
    "6k1/5ppp/8/8/2n5/8/5PPP/2B3K1 w - - 0 30",
    "8/8/4kpp1/3p4/3P1PP1/4K3/8/8 b - - 0 50",
    "4r1k1/5ppp/8/3p4/3P4/8/5PPP/4R1K1 w - - 0 30",
]

# Endings that reach the engine's built-in answers for two men besides the kings at once
# or after one capture: rook and pawn, two bishops, a knight or bishop cornered beside its
# king (in two corners), two knights with the bare king on the edge.
FEW_MEN = [
    "8/8/8/8/1k6/8/P2r4/K2R4 w - - 0 1",
    "8/8/8/8/1k6/8/P7/K2R4 b - - 0 1",
    "8/8/8/3k4/8/8/1B6/KB6 b - - 0 1",
    "7K/5k1N/8/4n3/8/8/8/8 b - - 0 1",
    "8/8/8/3k4/4B3/8/8/K5B1 b - - 0 1",
    "8/8/8/8/3n4/8/N1k5/K7 b - - 0 1",
    "8/8/8/8/3n4/8/B7/K1k5 b - - 0 1",
    "k7/8/1K6/8/8/2N5/8/4N3 w - - 0 1",
]

LINE = re.compile(r"^(\d+) (-?\d+) (\d+) (\d+) (..) ?(.*)$")
ONE_PLY = 64
REFERENCE_ONLY = {"bitbase_rules"}
SETTINGS_IN_PLIES = {"null_low", "null_high", "null_endgame", "null_split", "icheck", "irepcheck",
                     "irecapture", "ipawn7", "inullthreat", "ipawne", "ionerep"}


def game_positions(folder, count, every_game=7, ply=24):
    """Middle-game positions: ply `ply` of every `every_game`-th game of the result folder."""
    out = []
    files = sorted(glob.glob(os.path.join(folder, "*.pgn")))
    n = 0
    for path in files:
        with open(path, encoding="utf-8", errors="replace") as f:
            text = f.read()
        for game in re.split(r"\n(?=\[Event )", text):
            n += 1
            if n % every_game or "[FEN" in game:
                continue
            body = re.sub(r"\[[^\]]*\]", "", game)
            body = re.sub(r"\{[^}]*\}|\([^)]*\)|\d+\.(\.\.)?|1-0|0-1|1/2-1/2|\*", " ", body)
            pos = chessrules.Position()
            ok = True
            for tok in body.split()[:ply]:
                m = pos.parse_move(tok)
                if m is None:
                    ok = False
                    break
                pos.push(m)
            if ok and len(body.split()) > ply + 10:
                out.append(pos.fen())
            if len(out) >= count:
                return out
    return out


def men_besides_kings(fen):
    return sum(1 for ch in fen.split()[0] if ch.isalpha() and ch not in "kK")


def engine_lines(engine, fen, depth, settings, off):
    cmds = ["xboard", "use_book 0", "pos_learn 0", "book_learn 0", "hash 64M", "easy", "post",
            "level 0 600 0"]
    for k, v in settings.items():
        if k in REFERENCE_ONLY:
            continue
        if k == "qexact":
            cmds.append("qexact %d" % v)
        elif k in SETTINGS_IN_PLIES:
            cmds.append("%s %.6f" % (k, v / 64.0))
        else:
            cmds.append("%s %d" % (k, v))
    cmds += ["sd %d" % depth, "setboard " + fen, "go"]
    env = dict(os.environ)
    if off:
        env["ORVIK_OFF"] = ",".join(off)
    with tempfile.TemporaryDirectory() as tmp:
        proc = subprocess.Popen([os.path.abspath(engine)], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT, text=True, cwd=tmp, env=env)
        proc.stdin.write("\n".join(cmds) + "\n")
        proc.stdin.flush()
        lines = []
        for line in proc.stdout:
            lines.append(line.rstrip("\n"))
            if line.startswith("move ") or line.startswith("Illegal") or "setboard error" in line:
                break
        proc.stdin.write("quit\n")
        proc.stdin.close()
        proc.stdout.close()
        proc.wait(timeout=30)
    out = []
    for line in lines:
        m = LINE.match(line)
        if m and m.group(5) == ". ":
            d, sc, _, nodes, _, pv = m.groups()
            sc = int(sc)
            out.append({"depth": int(d), "score": sc, "nodes": int(nodes), "pv": pv_coordinates(fen, pv)})
    return out, lines


def pv_coordinates(fen, text):
    pos = chessrules.Position(fen)
    out = []
    for tok in text.split():
        if tok.startswith("{") or tok.startswith("<"):
            break
        tok = re.sub(r"^\d+\.(\.\.)?", "", tok)
        tok = re.sub(r"[HR]+$", "", tok)
        if not tok:
            continue
        m = pos.parse_move(tok)
        if m is None:
            break
        out.append(m.uci())
        pos.push(m)
    return out


def xboard_score(v):
    """Reference score as the xboard thinking line prints it."""
    if v > 29200:
        return v + 2767
    if v < -29200:
        return v - 2767
    return v


def reference_lines(args):
    fen, depth, settings, off = args
    ref_settings = {k: v for k, v in settings.items() if k != "qexact"}
    if "qexact" in settings:
        ref_settings["qsearch_mask"] = sr.QEXACT_MASK.get(settings["qexact"], 5)
    ref_settings["off"] = tuple(off)
    s = sr.Searcher(fen, ref_settings)
    return s.think(depth)


def compare_one(item):
    engine, fen, depth, settings, off = item
    eng, raw = engine_lines(engine, fen, depth, settings, off)
    ref = reference_lines((fen, depth, settings, off))
    return fen, eng, ref, raw


def signature_positions():
    """The positions of the engine's node-count signature, read from its source."""
    with open(os.path.join(TOP, "tools", "tree_stats", "tree_bench.cpp"), encoding="utf-8") as f:
        text = f.read()
    block = text[text.index("tree_positions = {"):text.index("};", text.index("tree_positions = {"))]
    return re.findall(r'"([^"]+)"', block)


def signature_search(args):
    """The reference searching as the signature's searches run: in the engine's process,
    output off (no thinking lines), no game loop before the search, a 4 MB table."""
    fen, depth = args
    s = sr.Searcher(fen, {"hash_bytes": 4 << 20, "thinking_lines": False, "game_loop": False})
    return fen, s.think(depth)


def signature(depth, jobs):
    fens = signature_positions()
    with multiprocessing.Pool(jobs) as pool:
        results = pool.map(signature_search, [(f, depth) for f in fens])
    total = 0
    for fen, out in results:
        nodes = out[-1]["nodes"] if out else 0
        total += nodes
        print("%9d  %s  %s" % (nodes, out[-1]["pv"][0] if out else "-", fen))
    print("signature of the reference at depth %d: %d nodes" % (depth, total))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--engine", default=os.path.join(TOP, "build", "engine", "orvik"))
    ap.add_argument("--depth", type=int, default=3)
    ap.add_argument("--positions", type=int, default=30)
    ap.add_argument("--set", action="append", default=[])
    ap.add_argument("--off", default="")
    ap.add_argument("--jobs", type=int, default=3)
    ap.add_argument("--fen", action="append", default=[])
    ap.add_argument("--show", type=int, default=10)
    ap.add_argument("--raw", action="store_true", help="print the engine's thinking lines of differing searches")
    ap.add_argument("--signature", action="store_true",
                    help="the signature's searches by the reference (the engine's number: bench/tree.sh DEPTH 4)")
    args = ap.parse_args()
    if args.signature:
        signature(args.depth, args.jobs)
        return
    settings = {}
    for item in args.set:
        k, v = item.split("=")
        settings[k] = int(float(v) * 64) if k in SETTINGS_IN_PLIES and "." in v else int(v)
    off = [x for x in args.off.split(",") if x]
    if args.fen:
        fens = args.fen
    else:
        rules = settings.get("bitbase_rules", 1)
        n_wac = args.positions // 2
        fens = wac_positions(os.path.join(TOP, "tests", "data", "wac.epd"))[:n_wac]
        fens += game_positions("/work/results/final",
                               args.positions - n_wac - len(ENDINGS) - (len(FEW_MEN) if rules else 0))
        fens += ENDINGS
        if rules:
            fens += FEW_MEN
        else:
            # few men soon reach the two-men endings that the engine answers by rule
            fens = [f for f in fens if men_besides_kings(f) > 4][:args.positions]
    items = [(args.engine, f, args.depth, settings, off) for f in fens]
    with multiprocessing.Pool(args.jobs) as pool:
        results = pool.map(compare_one, items)
    agree = [0] * (args.depth + 1)
    same_pv = [0] * (args.depth + 1)
    total = [0] * (args.depth + 1)
    shown = 0
    for fen, eng, ref, raw in results:
        first_diff = None
        for d in range(1, args.depth + 1):
            e = next((x for x in eng if x["depth"] == d), None)
            r = next((x for x in ref if x["depth"] == d), None)
            if e is None and r is None:
                continue
            total[d] += 1
            same = (e is not None and r is not None and e["nodes"] == r["nodes"]
                    and e["score"] == xboard_score(r["score"]) and e["pv"][:1] == r["pv"][:1])
            if same:
                agree[d] += 1
                if e["pv"] == r["pv"]:
                    same_pv[d] += 1
            elif first_diff is None:
                first_diff = (d, e, r)
        if first_diff and shown < args.show:
            shown += 1
            d, e, r = first_diff
            print("DIFF %s depth %d" % (fen, d))
            print("  engine    %s" % (e and "%d nodes score %d pv %s" % (e["nodes"], e["score"], " ".join(e["pv"]))))
            print("  reference %s" % (r and "%d nodes score %d pv %s" % (r["nodes"], xboard_score(r["score"]),
                                                                       " ".join(r["pv"]))))
            if args.raw:
                print("\n".join("    | " + x for x in raw if LINE.match(x)))
    print("settings %s off %s" % (settings or "default", ",".join(off) or "none"))
    for d in range(1, args.depth + 1):
        print("depth %d: %d of %d searches agree (nodes, score, best move), %d also in the whole variation"
              % (d, agree[d], total[d], same_pv[d]))


if __name__ == "__main__":
    main()
