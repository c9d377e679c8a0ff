#!/usr/bin/env python3
"""Compares Orvik's static evaluation (`setboard` + `score`) with the independent
reference in tools/eval_reference, position by position.

Positions: the Win At Chess suite, every third ply after ply 8 of the games in
the result folder, late plies of those games (endings), a few set-up endings,
random placements of chosen material, and positions reached by entering the games'
moves in force mode (touch counters and castled flags a FEN cannot give).

    bench/eval_compare.py [--engine build/engine/orvik] [--games DIR] [--show 20]
                          [--random 4000 --seed 1] [--only wac,games,endings,setup,random,played]
                          [--opt name=value ...] [--limit N]

--opt switches a reading of the reference (see OPTIONS in eval_reference.py), to count
the positions each reading touches.
"""

import argparse
import collections
import glob
import os
import random
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(HERE)
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(TOP, "tools", "eval_reference"))

import chessrules  # noqa: E402
import eval_reference  # noqa: E402

SET_UP = [
    # king and rook against king, king and two knights, knight and bishop
    "8/8/8/8/8/2k5/8/R3K3 w - - 0 1", "k7/8/1K6/8/8/8/8/R7 b - - 0 1",
    "8/8/8/3k4/8/8/8/NN2K3 w - - 0 1", "7k/8/8/8/8/8/8/2B1KN2 w - - 0 1",
    "8/8/3k4/8/8/8/8/B2QK3 b - - 0 1", "8/2k5/8/8/8/8/8/2B1KB2 w - - 0 1",
    # wrong bishop and rook pawn
    "k7/8/8/P7/8/8/8/4KB2 w - - 0 1", "7k/8/8/7P/8/8/8/2B1K3 b - - 0 1",
    "8/8/8/8/p7/8/8/K3kb2 b - - 0 1", "8/8/2k5/8/P7/8/8/4KB2 w - - 0 1",
    # king and pawns against king
    "8/8/8/4k3/8/8/4P3/4K3 w - - 0 1", "4k3/8/4K3/4P3/8/8/8/8 w - - 0 1",
    "8/4k3/8/8/8/8/PP6/K7 w - - 0 1", "8/8/8/8/8/1k6/p1p5/4K3 b - - 0 1",
    "8/8/8/8/8/k7/p7/2K5 w - - 0 1", "8/6k1/8/8/8/8/6PP/6K1 b - - 0 1",
    # rook pawns alone
    "7k/8/8/8/7P/8/8/6K1 w - - 0 1", "8/8/8/8/8/2k5/p7/K7 w - - 0 1",
    "6k1/8/8/7P/7P/8/8/6K1 w - - 0 1", "k7/8/8/P7/8/8/1p6/K7 w - - 0 1",
    # a minor piece against pawns, queen against rook, bare kings
    "8/8/3k4/8/8/2p5/8/3NK3 w - - 0 1", "8/8/3k4/8/8/2pp4/8/3BK3 b - - 0 1",
    "3k4/8/8/8/8/8/3r4/Q3K3 w - - 0 1", "4k3/8/8/8/8/8/8/4K3 w - - 0 1",
    # opposite bishops, rook endings, queen endings
    "8/5k2/3b4/8/3B4/2P5/1K6/8 w - - 0 1", "8/5k2/2pb4/8/3B4/2P5/1K2R3/8 w - - 0 1",
    "8/5k2/4r3/8/8/2P5/1K1R4/8 b - - 0 1", "6k1/5ppp/8/8/8/8/1q3PPP/3Q2K1 w - - 0 1",
    "8/5k2/8/3P4/8/8/8/1q2QK2 w - - 0 1",
]


def random_positions(count, seed):
    """Random placements of chosen material: middle games with men removed, endings,
    and the special endings (king and pawns, king and pieces, wrong bishop)."""
    rng = random.Random(seed)
    kinds = [
        ("QRRBBNNPPPPPPPP", "qrrbbnnpppppppp"), ("RBNPPPPP", "rbnppppp"), ("QPPP", "qppp"),
        ("RPPP", "rpp"), ("BPP", "bp"), ("P", ""), ("PPP", ""), ("", "ppp"), ("R", ""), ("BN", ""),
        ("NN", ""), ("BB", ""), ("Q", "r"), ("BP", ""), ("BPP", "b"), ("PP", "pp"), ("N", "pp"),
        ("QRBNPPPPPP", "qrbnpppppp"), ("RRPPPP", "rrpppp"), ("BBPPP", "bnppp"),
    ]
    out = []
    while len(out) < count:
        white, black = rng.choice(kinds)
        if rng.random() < 0.5:
            white, black = black.upper(), white.lower()
        men = ["K", "k"] + [c for c in white + black if rng.random() < 0.85 or len(white + black) < 6]
        board = ["."] * 64
        for c in men:
            while True:
                sq = rng.randrange(64)
                if board[sq] == "." and not (c in "Pp" and sq // 8 in (0, 7)):
                    board[sq] = c
                    break
        rows = []
        for rank in range(7, -1, -1):
            row, run = "", 0
            for f in range(8):
                c = board[rank * 8 + f]
                if c == ".":
                    run += 1
                else:
                    row += (str(run) if run else "") + c
                    run = 0
            rows.append(row + (str(run) if run else ""))
        rights = "".join(r for r, k, rk in (("K", 4, 7), ("Q", 4, 0), ("k", 60, 63), ("q", 60, 56))
                         if board[k] == ("K" if r.isupper() else "k") and board[rk] == ("R" if r.isupper() else "r")
                         and rng.random() < 0.7)
        fen = "/".join(rows) + " " + rng.choice("wb") + " " + (rights or "-") + " - 0 1"
        if legal_for_setboard(fen):
            out.append(fen)
    return out


def read_games(folder):
    """Each game of the folder's PGN files as (has a FEN tag, uci moves, FEN after each ply)."""
    for path in sorted(glob.glob(os.path.join(folder, "*.pgn"))):
        with open(path, encoding="utf-8", errors="replace") as f:
            text = f.read()
        for game in re.split(r"\n(?=\[Event )", text):
            body = "\n".join(l for l in game.splitlines() if not l.startswith("["))
            body = re.sub(r"\{[^}]*\}", " ", body)
            toks = [re.sub(r"^\d+\.+", "", t) for t in body.split()
                    if not re.match(r"^\d+\.+$|^(1-0|0-1|1/2-1/2|\*)$", t)]
            fen_tag = re.search(r'\[FEN "([^"]+)"\]', game)
            pos = chessrules.Position(fen_tag.group(1)) if fen_tag else chessrules.Position()
            moves, fens = [], []
            for t in toks:
                m = pos.parse_san(t) if t else None
                if m is None:
                    break
                pos.push(m)
                moves.append(m.uci())
                fens.append(pos.fen())
            yield bool(fen_tag), moves, fens


def game_positions(games, every=3, after=8):
    """Middle-game samples and late (ending) samples of each game."""
    mid, late = [], []
    for _, _, fens in games:
        mid += [fen for ply, fen in enumerate(fens, 1) if ply > after and ply % every == 0]
        # endings: the last plies with few pieces
        late += [fen for fen in fens[-12:] if sum(1 for c in fen.split()[0] if c in "NBRQnbrq") <= 4]
    return mid, late


def run_engine(engine, cmds, expected):
    """Runs the engine over `cmds` in a scratch folder; the `expected` scores it printed."""
    with tempfile.TemporaryDirectory() as tmp:
        out = subprocess.run([os.path.abspath(engine)], input="\n".join(cmds + ["quit"]) + "\n", cwd=tmp,
                             capture_output=True, text=True, timeout=1200).stdout
    scores = [int(x) for x in re.findall(r"score=(-?\d+)", out)]
    if len(scores) != expected:
        raise SystemExit("engine answered %d scores for %d positions" % (len(scores), expected))
    return scores


def engine_played_scores(engine, games, every=3, after=8, every_game=4, limit_plies=160):
    """Scores after every `every`-th ply of every `every_game`-th game, moves entered in
    force mode: positions reached by moves carry touch counters and castled flags that a
    FEN does not give."""
    cmds, wanted = [], []
    for i, (has_fen, moves, fens) in enumerate(games):
        if i % every_game or has_fen:
            continue
        cmds += ["new", "force"]
        for ply, m in enumerate(moves[:limit_plies], 1):
            cmds.append(m)
            if ply > after and ply % every == 0:
                cmds.append("score")
                wanted.append((moves[:ply], fens[ply - 1]))
    scores = run_engine(engine, cmds, len(wanted))
    return [(fen, moves, sc) for (moves, fen), sc in zip(wanted, scores)]


def wac_positions(path):
    out = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            fields = line.split()
            if len(fields) >= 4:
                out.append(" ".join(fields[:4]) + " 0 1")
    return out


def engine_scores(engine, fens):
    cmds = []
    for fen in fens:
        cmds += ["setboard " + fen, "score"]
    return run_engine(engine, cmds, len(fens))


def legal_for_setboard(fen):
    pos = chessrules.Position(fen)
    other = "b" if pos.side == "w" else "w"
    return not pos.in_check(other)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--engine", default=os.path.join(TOP, "build", "engine", "orvik"))
    ap.add_argument("--games", default="/work/results/final")
    ap.add_argument("--wac", default=os.path.join(TOP, "tests", "data", "wac.epd"))
    ap.add_argument("--show", type=int, default=10)
    ap.add_argument("--limit", type=int, default=0)
    ap.add_argument("--opt", action="append", default=[], help="reference reading, name=value")
    ap.add_argument("--cache", default=os.path.join(tempfile.gettempdir(), "eval_compare_positions.txt"))
    ap.add_argument("--only", default="", help="compare only these sets: wac,games,endings,setup,random,played")
    ap.add_argument("--random", type=int, default=4000, help="random placements to add")
    ap.add_argument("--seed", type=int, default=1)
    args = ap.parse_args()

    opts = {}
    for o in args.opt:
        k, v = o.split("=", 1)
        opts[k] = {"True": True, "False": False}.get(v, v)
    eval_reference.OPTIONS.update(opts)

    if os.path.exists(args.cache):
        sets = collections.defaultdict(list)
        with open(args.cache) as f:
            for line in f:
                name, fen = line.rstrip("\n").split("\t")
                sets[name].append(fen)
    else:
        mid, late = game_positions(read_games(args.games))
        sets = {"wac": wac_positions(args.wac), "games": mid, "endings": late, "setup": SET_UP}
        with open(args.cache, "w") as f:
            for name, fens in sets.items():
                for fen in fens:
                    f.write(name + "\t" + fen + "\n")
    sets["setup"] = SET_UP
    sets["random"] = random_positions(args.random, args.seed)
    wanted = set(args.only.split(",")) if args.only else set(sets) | {"played"}
    fens, names = [], []
    seen = set()
    for name in ("wac", "games", "endings", "setup", "random"):
        if name not in wanted:
            continue
        for fen in sets.get(name, []):
            key = " ".join(fen.split()[:4])
            if key in seen or not legal_for_setboard(fen):
                continue
            seen.add(key)
            fens.append(fen)
            names.append(name)
    if args.limit:
        fens, names = fens[:args.limit], names[:args.limit]

    diffs = collections.Counter()
    per_set = collections.defaultdict(lambda: [0, 0])
    shown = 0

    def tally(name, fen, e, r, moves=None, marks=None):
        nonlocal shown
        per_set[name][0] += 1
        if r == e:
            per_set[name][1] += 1
            return
        diffs[e - r] += 1
        if shown < args.show:
            shown += 1
            print("%s [%s] engine %d reference %d (engine - reference %d)" % (fen, name, e, r, e - r))
            if moves:
                print("    moves:", " ".join(moves))
            print("   ", eval_reference.breakdown(fen, played=marks))

    for fen, name, e in zip(fens, names, engine_scores(args.engine, fens)):
        tally(name, fen, e, eval_reference.evaluate(fen))
    if "played" in wanted:
        for fen, moves, e in engine_played_scores(args.engine, list(read_games(args.games))):
            marks = eval_reference.play_marks(chessrules.START_FEN, moves)
            tally("played", fen, e, eval_reference.evaluate(fen, played=marks), moves, marks)
    print("compared %d, equal %d" % (sum(n for n, _ in per_set.values()), sum(q for _, q in per_set.values())))
    for name, (n, eq) in per_set.items():
        print("  %-8s %5d compared, %5d equal" % (name, n, eq))
    if diffs:
        print("engine - reference (value: count), most common first:")
        print("  " + ", ".join("%d: %d" % (d, c) for d, c in diffs.most_common(40)))


if __name__ == "__main__":
    main()
