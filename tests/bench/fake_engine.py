#!/usr/bin/env python3
"""A scripted engine for the match runner's tests. It speaks UCI or xboard, plays the
first legal move, and sends its n-th move after the n-th of the delays given (seconds;
the last one repeats).

  fake_engine.py uci|xboard DELAY[,DELAY...] [--null-pv] [--line TEXT]

--null-pv   before each UCI move, an info line whose variation runs into "null"
--line TEXT before each move, TEXT as a line of its own
"""
import argparse
import os
import signal
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench"))
from chessrules import Position, START_FEN  # noqa: E402


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("proto", choices=("uci", "xboard"))
    ap.add_argument("delays")
    ap.add_argument("--null-pv", action="store_true")
    ap.add_argument("--line")
    args = ap.parse_args()
    delays = [float(d) for d in args.delays.split(",")]
    signal.signal(signal.SIGINT, signal.SIG_IGN)
    pos = Position(START_FEN)
    played = 0
    force = False
    engine_side = "b"

    def say(text):
        sys.stdout.write(text + "\n")
        sys.stdout.flush()

    def answer():
        nonlocal played
        time.sleep(delays[min(played, len(delays) - 1)])
        played += 1
        move = pos.legal_moves()[0]
        if args.line:
            say(args.line)
        if args.proto == "uci":
            if args.null_pv:
                say("info depth 2 score cp 0 nodes 10 time 1 pv %s null" % move.uci())
            say("bestmove " + move.uci())
        else:
            pos.push(move)
            say("move " + move.uci())

    for raw in sys.stdin:
        words = raw.split()
        if not words:
            continue
        cmd = words[0]
        if cmd == "quit":
            return
        if args.proto == "uci":
            if cmd == "uci":
                say("id name fake")
                say("uciok")
            elif cmd == "isready":
                say("readyok")
            elif cmd == "position":
                pos = Position(START_FEN)
                if "moves" in words:
                    for text in words[words.index("moves") + 1:]:
                        pos.push(pos.parse_coordinate(text))
            elif cmd == "go":
                answer()
            continue
        if cmd == "protover":
            say("feature ping=1 setboard=0 usermove=0 colors=0 sigint=0 done=1")
        elif cmd == "ping":
            say("pong " + words[1])
        elif cmd == "new":
            pos, force, engine_side = Position(START_FEN), False, "b"
        elif cmd == "force":
            force = True
        elif cmd == "go":
            force, engine_side = False, pos.side
            answer()
        else:
            move = pos.parse_coordinate(cmd) if len(cmd) in (4, 5) else None
            if move is not None:
                pos.push(move)
                if not force and pos.side == engine_side and pos.legal_moves():
                    answer()


if __name__ == "__main__":
    main()
