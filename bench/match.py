#!/usr/bin/env python3
"""Plays games between two chess engines that speak xboard (protocol 2) or UCI, at a
time control such as 10 s + 0.1 s, with alternating colours, and reports the score and
every fault seen: illegal moves, crashes, stalls, time forfeits and protocol warnings.

Moves are checked with our own rules (chessrules.py); the runner adjudicates mate,
stalemate, the fifty-move rule, threefold repetition and insufficient material, and
bridges the protocols, so a UCI engine can meet an xboard one. An xboard engine hears
what the real xboard program sends it, in the same order: "ics -", "hard" and "easy",
"computer", "name", the "black"/"white" colour commands around the clocks, and SIGINT
before the opponent's move and the result unless it announced sigint=0.

  bench/match.py --engine orvik:xboard:build/engine/orvik --engine fairymax:xboard:/usr/games/fairymax \
                 --games 20 --tc 10+0.1 --concurrency 4 --pgn games.pgn

  bench/match.py --engine orvik:xboard:build/engine/orvik --engine sf2000:uci:/usr/games/stockfish \
                 --init "sf2000=setoption name UCI_LimitStrength value true" \
                 --init "sf2000=setoption name UCI_Elo value 2000" --games 200 --sprt 0,30

The report gives the first engine's score, the Elo difference with its 95% error bar,
and with --sprt ELO0,ELO1 a sequential probability ratio test of "the first engine is
ELO1 stronger" against "it is ELO0 stronger" (logistic Elo, alpha and beta 0.05 unless
given); the match stops as soon as the test decides.

Time controls: SECONDS+INCREMENT for the whole game (10+0.1), or MOVES/SECONDS[+INCREMENT]
where every MOVES moves of a side add SECONDS to its clock again (40/300 is xboard's
"level 40 5 0"; UCI engines get "movestogo"). An increment alone (0+2) gives the clock its
increment before every move: each move may take the increment at most.

Limits beside the clock: --depth NAME=N and --nodes NAME=N give engine NAME a depth or a
node limit with every move (UCI "go ... depth N" / "nodes N", xboard "sd N"; xboard has
no node limit). The clock still counts: a strict host forfeits an engine that ignores it.

The clock is a strict host's: an engine's move costs the time from just before the
runner writes the move, "go" or "ponderhit" line to the moment its reader thread reads
the answer, with no grace (--margin-ms gives one); an engine whose clock falls below
zero loses on time. Like a strict host it warns of thinking it cannot read: a UCI
"pv" word that is not a legal move, an xboard line that begins with a number but is no
thinking line.
"""

import argparse
import math
import os
import queue
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from chessrules import Position, START_FEN  # noqa: E402

# Short openings (coordinate moves from the start position); each is played twice,
# once with each engine as White.
OPENINGS = [
    "", "e2e4 e7e5", "e2e4 c7c5", "d2d4 d7d5", "d2d4 g8f6", "c2c4 e7e5", "g1f3 d7d5", "e2e4 e7e6",
    "e2e4 c7c6", "d2d4 g8f6 c2c4 e7e6", "e2e4 e7e5 g1f3 b8c6", "e2e4 c7c5 g1f3 d7d6", "d2d4 d7d5 c2c4 c7c6",
    "e2e4 d7d5", "d2d4 f7f5", "c2c4 c7c5", "e2e4 g7g6", "d2d4 g8f6 c2c4 g7g6", "e2e4 e7e5 f2f4",
    "b2b3 e7e5", "e2e4 b8c6", "g2g3 d7d5", "d2d4 e7e6 c2c4 f8b4", "e2e4 e7e5 g1f3 g8f6",
]

XBOARD_FEATURES = {"ping", "setboard", "playother", "san", "usermove", "time", "draw", "sigint", "sigterm", "reuse",
                   "analyze", "myname", "variants", "colors", "ics", "name", "pause", "nps", "debug", "memory",
                   "smp", "egt", "option", "done", "exclude", "setscore", "highlight"}
RESULT_RE = re.compile(r"^(1-0|0-1|1/2-1/2)\s*(\{.*\})?\s*$")
THINKING_RE = re.compile(r"^\s*\d+\s+-?\d+\s+\d+\s+\d+")
# A whole xboard thinking line: ply, score, time, nodes and the variation.
THINKING_LINE_RE = re.compile(r"^\s*\d+\s+[-+]?\d+\s+\d+\s+\d+(\s.*)?$")
UCI_KEYWORDS = ("id", "uciok", "readyok", "bestmove", "copyprotection", "registration", "info", "option")


class EngineGone(Exception):
    pass


class Engine:
    """A child process with a reader thread; lines arrive in a queue."""

    def __init__(self, name, proto, command, transcript=None):
        self.name, self.proto, self.command = name, proto, command
        self.transcript = transcript
        self.proc = None
        self.lines = queue.Queue()
        self.warnings = []
        self.other_lines = 0
        self.workdir = None
        self.dropped = set()     # command words this engine is never sent (--drop)
        self.init_lines = []     # lines sent once after the handshake (--init)
        self.last_write = 0.0    # monotonic time just before the last line was written
        self.last_read = 0.0     # monotonic time at which the reader thread got the last line read

    # ---- process -------------------------------------------------------------
    def start(self):
        self.workdir = tempfile.mkdtemp(prefix="match-%s-" % re.sub(r"\W", "_", self.name))
        argv = shlex.split(self.command)
        argv[0] = os.path.abspath(argv[0]) if os.path.exists(argv[0]) else argv[0]
        self.proc = subprocess.Popen(argv, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                     cwd=self.workdir, text=True, bufsize=1, errors="replace")
        self.lines = queue.Queue()
        threading.Thread(target=self._reader, args=(self.proc, self.lines), daemon=True).start()

    def _reader(self, proc, lines):
        # Each line carries the time it arrived: the clock does not wait for the
        # thread that plays the game.
        for line in proc.stdout:
            lines.put((time.monotonic(), line.rstrip("\r\n")))
        lines.put(None)

    def alive(self):
        return self.proc is not None and self.proc.poll() is None

    def send(self, text):
        if text.split(" ", 1)[0] in self.dropped:
            self.log(">", "(dropped) " + text)
            return
        self.log(">", text)
        try:
            self.last_write = time.monotonic()
            self.proc.stdin.write(text + "\n")
            self.proc.stdin.flush()
        except (BrokenPipeError, OSError, ValueError):
            raise EngineGone(self.name)

    def read(self, timeout):
        """Next line, or None after `timeout` seconds; EngineGone at the end of output."""
        try:
            item = self.lines.get(timeout=max(0.0, timeout))
        except queue.Empty:
            return None
        if item is None:
            self.lines.put(None)
            raise EngineGone(self.name)
        self.last_read, line = item
        self.log("<", line)
        return line

    def pending(self):
        """Lines already waiting, without blocking."""
        out = []
        while True:
            try:
                item = self.lines.get_nowait()
            except queue.Empty:
                return out
            if item is None:
                self.lines.put(None)
                return out
            line = item[1]
            self.log("<", line)
            out.append(line)

    def log(self, direction, text):
        if self.transcript:
            self.transcript.write("%.3f %s %s %s\n" % (time.monotonic(), self.name, direction, text))

    def warn(self, text):
        self.warnings.append(text)

    def send_init_lines(self):
        for text in self.init_lines:
            self.send(text)

    def stop(self):
        if self.proc is None:
            return
        try:
            self.send("quit")
        except EngineGone:
            pass
        try:
            self.proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        self.proc = None
        if self.workdir:
            shutil.rmtree(self.workdir, ignore_errors=True)
            self.workdir = None

    def kill(self):
        if self.proc is not None:
            try:
                self.proc.kill()
                self.proc.wait()
            except OSError:
                pass
            self.proc = None
        if self.workdir:
            shutil.rmtree(self.workdir, ignore_errors=True)
            self.workdir = None


class XboardEngine(Engine):
    def __init__(self, *a, **k):
        super().__init__(*a, **k)
        self.features = {}
        self.ping_number = 0
        self.first_turn = True
        self.sent = 0
        self.opponent_name = None

    def start(self):
        super().start()
        # Defaults of protocol 2 for what the engine does not announce.
        self.features = {"ping": "0", "usermove": "0", "san": "0", "time": "1", "name": "0", "colors": "1",
                         "sigint": "1", "ics": "0"}
        self.send("xboard")
        self.send("protover 2")
        deadline = time.monotonic() + 5.0
        while True:
            line = self.read(deadline - time.monotonic())
            if line is None:
                self.send_init_lines()
                return   # protocol 1 engine or slow start: go on with the defaults
            if line.startswith("feature "):
                for key, value in self.parse_features(line):
                    self.features[key] = value
                    self.send(("accepted " if key in XBOARD_FEATURES else "rejected ") + key)
                    if key == "done":
                        if value == "1":
                            self.send_init_lines()
                            return
                        deadline = time.monotonic() + 3600.0
            else:
                self.classify(line)

    def parse_features(self, line):
        pairs = []
        rest = line[len("feature "):].strip()
        pattern = re.compile(r'(\w+)=("([^"]*)"|(\S+))\s*')
        pos = 0
        while pos < len(rest):
            m = pattern.match(rest, pos)
            if not m:
                self.warn("malformed feature line: " + line)
                break
            pairs.append((m.group(1), m.group(3) if m.group(3) is not None else m.group(4)))
            pos = m.end()
        return pairs

    def classify(self, line, game_over=False):
        """Notes faults in a line that is not the answer being waited for. Returns a
        claim (result, reason) or "resign" when the line claims the game's end."""
        s = line.strip()
        if not s:
            return None
        if s.startswith("Illegal move") or s.startswith("Error"):
            self.warn(s)
            return None
        if s == "resign" or s.startswith("resign "):
            return "resign"
        m = RESULT_RE.match(s)
        if m:
            return (m.group(1), (m.group(2) or "").strip("{} "))
        if s.startswith("move "):
            if not game_over:
                self.warn("move line out of turn: " + s)
            return None
        if s.startswith("feature "):
            self.parse_features(s)
            return None
        if s[0].isdigit() or s[0] in "+-":
            if not THINKING_LINE_RE.match(s):
                self.warn("line read as thinking but no thinking line: " + s)
            return None
        if THINKING_RE.match(s) or s.startswith(("#", "tellics", "telluser", "tellall", "tellothers", "tellopponent",
                                                 "Hint:", "stat01:", "pong", "offer draw", "askuser")):
            return None
        self.other_lines += 1
        return None

    def sync(self, timeout=10.0, then=()):
        """ping / pong: every line before the pong belongs to what came before; the lines
        of `then` go out right after the ping, before the pong is awaited. Raises
        EngineGone when the engine does not answer."""
        if self.features.get("ping") != "1":
            for text in then:
                self.send(text)
            return
        self.ping_number += 1
        self.send("ping %d" % self.ping_number)
        for text in then:
            self.send(text)
        deadline = time.monotonic() + timeout
        while True:
            line = self.read(deadline - time.monotonic())
            if line is None:
                self.warn("no pong %d within %.0f s" % (self.ping_number, timeout))
                raise EngineGone(self.name + ": no pong")
            if line.strip().startswith("pong"):
                words = line.split()
                if len(words) == 2 and words[1] == str(self.ping_number):
                    return
                self.warn("pong with a wrong number: " + line)
            else:
                self.classify(line, game_over=True)

    def interrupt(self):
        """The real xboard sends SIGINT before it talks to a busy engine, unless the engine
        announced sigint=0; an engine must survive it."""
        if self.features.get("sigint") != "0" and self.proc is not None and self.proc.poll() is None:
            self.log(">", "(SIGINT)")
            try:
                self.proc.send_signal(signal.SIGINT)
            except OSError:
                pass

    def new_game(self, base, inc, ponder, opponent_name, moves=0):
        # The order of the real xboard program: the engine's "ics" feature asks for
        # "ics -", pondering off is "hard" followed by "easy", and "force" follows the ping.
        self.send("new")
        if self.features.get("ics") == "1":
            self.send("ics -")
        minutes, seconds = int(base // 60), base - 60 * int(base // 60)
        clock = ("%d:%02d" % (minutes, round(seconds))) if seconds else "%d" % minutes
        self.send("level %d %s %s" % (moves, clock, ("%g" % inc)))
        if self.depth:
            self.send("sd %d" % self.depth)
        self.send("post")
        self.send("hard")
        if not ponder:
            self.send("easy")
        self.first_turn = True
        self.sent = 0
        self.opponent_name = opponent_name
        self.sync(then=("force",))

    def move_text(self, pos, move):
        text = pos.san(move) if self.features.get("san") == "1" else move.uci()
        return ("usermove " + text) if self.features.get("usermove") == "1" else text

    def start_turn(self, game, own_ms, opp_ms):
        """Tells the engine the moves it has not seen and the clocks, and lets it think,
        in the words and order of the real xboard program."""
        pending = game.moves[self.sent:]
        # What is left, as the real xboard tells it: a clock under 10 ms is "time 0".
        clocks = ("time %d" % max(0, own_ms // 10), "otim %d" % max(0, opp_ms // 10))
        if self.first_turn:
            self.send("computer")
            if self.opponent_name and self.features.get("name") == "1":
                self.send("name " + self.opponent_name)
            colours = self.features.get("colors") != "0"
            if game.side == "w":
                # Engine White: "black" makes the clocks the engine's own, "white" gives
                # White the move again.
                for pos, m in pending:
                    self.send(self.move_text(pos, m))
                if colours:
                    self.send("black")
                for text in clocks:
                    self.send(text)
                if colours:
                    self.send("white")
            else:
                for pos, m in pending[:-1]:
                    self.send(self.move_text(pos, m))
                for text in clocks:
                    self.send(text)
                for pos, m in pending[-1:]:
                    self.send(self.move_text(pos, m))
                if colours:
                    self.send("black")
            self.send("go")
            self.first_turn = False
        else:
            self.interrupt()
            for text in clocks:
                self.send(text)
            for pos, m in pending:
                self.send(self.move_text(pos, m))
        self.sent = len(game.moves)

    def wait_move(self, game, deadline):
        """The engine's answer: ("move", text) / ("resign",) / ("claim", result, reason) / None on time-out."""
        while True:
            line = self.read(deadline - time.monotonic())
            if line is None:
                return None
            s = line.strip()
            if s.startswith("move "):
                words = s.split()
                if len(words) != 2:
                    self.warn("malformed move line: " + s)
                    return ("move", words[1] if len(words) > 1 else "")
                return ("move", words[1])
            claim = self.classify(s)
            if claim == "resign":
                return ("resign",)
            if claim:
                return ("claim",) + claim

    def moved(self):
        self.sent += 1

    def end_game(self, result, reason):
        self.interrupt()
        self.send("result %s {%s}" % (result, reason))
        self.send("force")
        self.sync()


class UciEngine(Engine):
    def __init__(self, *a, **k):
        super().__init__(*a, **k)
        self.ready = False
        self.ponder_move = None
        self.pondering = False

    def start(self):
        super().start()
        self.ready = False
        self.send("uci")
        deadline = time.monotonic() + 10.0
        while True:
            line = self.read(deadline - time.monotonic())
            if line is None:
                raise EngineGone(self.name + ": no uciok")
            if line.strip() == "uciok":
                break
        self.send_init_lines()
        self.ready = True
        self.isready()

    def classify(self, line, pos=None):
        """Notes faults in a line other than the awaited answer; with the searched
        position `pos`, every move of an "info ... pv" line must be legal in turn."""
        s = line.strip()
        if not s:
            self.warn("empty line")
            return
        words = s.split()
        if words[0] not in UCI_KEYWORDS:
            self.warn("unknown line: " + s)
        elif words[0] == "info" and pos is not None and "pv" in words:
            self.check_pv(words[words.index("pv") + 1:], pos)

    def check_pv(self, moves, pos):
        pos = pos.copy()
        for text in moves:
            m = pos.parse_coordinate(text)
            if m is None or m.uci() != text:
                self.warn("illegal PV move " + text)
                return
            pos.push(m)

    def isready(self, timeout=10.0):
        self.send("isready")
        deadline = time.monotonic() + timeout
        while True:
            line = self.read(deadline - time.monotonic())
            if line is None:
                self.warn("no readyok within %.0f s" % timeout)
                return
            if line.strip() == "readyok":
                return
            self.classify(line)

    def new_game(self, base, inc, ponder, opponent_name, moves=0):
        self.ponder = ponder
        self.send("setoption name Ponder value %s" % ("true" if ponder else "false"))
        self.send("ucinewgame")
        self.ponder_move = None
        self.pondering = False
        self.isready()

    def position_text(self, game, extra=None):
        moves = [m.uci() for _, m in game.moves] + ([extra] if extra else [])
        return "position startpos" + (" moves " + " ".join(moves) if moves else "")

    def go_text(self, game, wms, bms, inc_ms, ponder=False):
        text = "go %swtime %d btime %d winc %d binc %d" % ("ponder " if ponder else "", wms, bms, inc_ms, inc_ms)
        if game.moves_per_control:
            # Moves of the side to move (the side after the expected reply when pondering).
            side = game.side if not ponder else ("b" if game.side == "w" else "w")
            text += " movestogo %d" % game.moves_to_go(side)
        if self.depth:
            text += " depth %d" % self.depth
        if self.nodes:
            text += " nodes %d" % self.nodes
        return text

    def start_turn(self, game, own_ms, opp_ms):
        white = game.side == "w"
        wms, bms = (own_ms, opp_ms) if white else (opp_ms, own_ms)
        last = game.moves[-1][1].uci() if game.moves else None
        if self.pondering:
            self.pondering = False
            if last is not None and last == self.ponder_move:
                self.send("ponderhit")
                return
            # The answer to the stopped ponder search is not played.
            self.stop_pondering()
        self.send(self.position_text(game))
        self.send(self.go_text(game, wms, bms, game.inc_ms))

    def stop_pondering(self):
        """Stops the ponder search and waits for its bestmove, which is dropped."""
        self.send("stop")
        deadline = time.monotonic() + 5.0
        while True:
            line = self.read(deadline - time.monotonic())
            if line is None:
                self.warn("no bestmove after stop within 5 s")
                return
            if line.startswith("bestmove"):
                return
            self.classify(line)

    def wait_move(self, game, deadline):
        while True:
            line = self.read(deadline - time.monotonic())
            if line is None:
                return None
            s = line.strip()
            if s.startswith("bestmove"):
                words = s.split()
                if len(words) not in (2, 4) or (len(words) == 4 and words[2] != "ponder"):
                    self.warn("malformed bestmove line: " + s)
                self.ponder_move = words[3] if len(words) == 4 and words[2] == "ponder" else None
                return ("move", words[1] if len(words) > 1 else "")
            self.classify(s, game.pos)

    def after_own_move(self, game, own_ms, opp_ms):
        """Starts pondering on the expected reply."""
        if not self.ponder or not self.ponder_move:
            return
        white = game.side == "b"   # the side to move is the opponent now
        wms, bms = (own_ms, opp_ms) if white else (opp_ms, own_ms)
        self.send(self.position_text(game, self.ponder_move))
        self.send(self.go_text(game, wms, bms, game.inc_ms, ponder=True))
        self.pondering = True

    def moved(self):
        pass

    def end_game(self, result, reason):
        if self.pondering:
            self.pondering = False
            self.stop_pondering()
        self.isready()


DROPPED_WORDS = {}   # engine name -> command words it is never sent
INIT_LINES = {}      # engine name -> lines sent once after the handshake
DEPTHS = {}          # engine name -> depth limit with every move
NODES = {}           # engine name -> node limit with every move (UCI)


def make_engine(described, transcript):
    name, proto, command = described
    cls = XboardEngine if proto == "xboard" else UciEngine
    engine = cls(name, proto, command, transcript)
    engine.dropped = DROPPED_WORDS.get(name, set())
    engine.init_lines = INIT_LINES.get(name, [])
    engine.depth = DEPTHS.get(name, 0)
    engine.nodes = NODES.get(name, 0)
    return engine


class Game:
    def __init__(self, opening, base, inc, moves_per_control=0):
        self.pos = Position(START_FEN)
        self.moves = []          # (position before, move)
        self.side = "w"
        self.inc_ms = int(round(inc * 1000))
        self.moves_per_control = moves_per_control
        self.clock_log = []      # (side, move number of that side, ms used, ms left) per timed move
        for text in opening.split():
            m = self.pos.parse_coordinate(text)
            self.play(m)

    def side_moves(self, side):
        """Moves `side` has made in the game (the opening's included, as the engines count them)."""
        first = 0 if side == "w" else 1
        return len(range(first, len(self.moves), 2))

    def moves_to_go(self, side):
        return self.moves_per_control - self.side_moves(side) % self.moves_per_control

    def play(self, m):
        self.moves.append((self.pos.copy(), m))
        self.pos.push(m)
        self.side = self.pos.side


class Stats:
    def __init__(self, names):
        self.lock = threading.Lock()
        self.score = {n: [0, 0, 0] for n in names}   # wins, draws, losses
        self.faults = {n: {"illegal": 0, "crash": 0, "stall": 0, "forfeit": 0, "warnings": 0, "other_lines": 0}
                       for n in names}
        self.samples = {n: [] for n in names}
        self.reasons = {}
        self.games = 0
        self.move_times = {n: [] for n in names}
        self.min_left = {n: None for n in names}
        self.sprt = None         # (elo0, elo1, alpha, beta) of --sprt
        self.verdict = None      # set once the test has decided: no new game starts

    def add(self, white, black, result, reason):
        with self.lock:
            self.games += 1
            self.reasons[reason] = self.reasons.get(reason, 0) + 1
            if result == "1-0":
                self.score[white][0] += 1
                self.score[black][2] += 1
            elif result == "0-1":
                self.score[black][0] += 1
                self.score[white][2] += 1
            else:
                self.score[white][1] += 1
                self.score[black][1] += 1
            if self.sprt and self.verdict is None:
                first = next(iter(self.score))
                llr, lower, upper = sprt_llr(*self.score[first], *self.sprt)
                if llr >= upper:
                    self.verdict = "H1 accepted"
                elif llr <= lower:
                    self.verdict = "H0 accepted"

    def fault(self, name, kind, sample=None):
        with self.lock:
            self.faults[name][kind] += 1
            if sample and len(self.samples[name]) < 200:
                self.samples[name].append("%s: %s" % (kind, sample))


def play_game(number, engines, stats, args, pgn_lock, pgn_file):
    """Plays game `number` between the two running engines; engines[0] plays White in
    even games. Returns the engines to use next (crashed ones are restarted)."""
    opening = OPENINGS[(number // 2) % len(OPENINGS)] if args.openings else ""
    white, black = (engines[0], engines[1]) if number % 2 == 0 else (engines[1], engines[0])
    by_side = {"w": white, "b": black}
    game = Game(opening, args.base, args.inc, args.moves)
    for e, other in ((white, black), (black, white)):
        try:
            e.new_game(args.base, args.inc, args.ponder, other.name, args.moves)
        except EngineGone:
            stats.fault(e.name, "stall", "no answer at the start of game %d" % (number + 1))
            return {e}
    # An increment alone is on the clock before the first move too.
    start = (args.base if args.base > 0 else args.inc) * 1000.0
    clock = {"w": start, "b": start}
    result, reason = None, None
    broken = set()

    def lose(side, why):
        return ("0-1" if side == "w" else "1-0"), why

    while result is None:
        over = game.pos.outcome()
        if over:
            result, reason = over
            break
        if len(game.moves) >= args.max_plies:
            result, reason = "1/2-1/2", "Adjudicated: game length"
            break
        side = game.side
        eng = by_side[side]
        opp_side = "b" if side == "w" else "w"
        # Claims waiting from the last move (a resignation after a move).
        for line in eng.pending():
            claim = eng.classify(line) if eng.proto == "xboard" else eng.classify(line)
            if claim == "resign" or (isinstance(claim, tuple) and "resign" in claim[1].lower()):
                result, reason = lose(side, "%s resigns" % eng.name)
            elif isinstance(claim, tuple):
                eng.warn("claim %s {%s} before the game ended" % claim)
                stats.fault(eng.name, "warnings", "false claim %s {%s}" % claim)
        if result:
            break
        try:
            own_ms, opp_ms = int(clock[side]), int(clock[opp_side])
            eng.start_turn(game, own_ms, opp_ms)
            started = eng.last_write
            deadline = started + clock[side] / 1000.0 + args.stall_grace
            answer = None
            while answer is None or answer[0] == "claim":
                answer = eng.wait_move(game, deadline)
                if answer is None:
                    break
                if answer[0] == "claim":
                    claimed = (answer[1], answer[2])
                    if "resign" in answer[2].lower():
                        answer = ("resign",)
                        break
                    eng.warn("false claim %s {%s}" % claimed)
                    stats.fault(eng.name, "warnings", "false claim %s {%s}" % claimed)
            elapsed_ms = (eng.last_read - started) * 1000.0
        except EngineGone:
            stats.fault(eng.name, "crash", "during move %d" % (len(game.moves) + 1))
            broken.add(eng)
            result, reason = lose(side, "%s crashed" % eng.name)
            break
        if answer is None:
            if args.on_stall and eng.proc is not None:
                subprocess.run(args.on_stall.replace("{pid}", str(eng.proc.pid)), shell=True)
            stats.fault(eng.name, "stall", "no move %d within the time left + %.0f s" % (len(game.moves) + 1,
                                                                                          args.stall_grace))
            broken.add(eng)
            result, reason = lose(side, "%s stalled" % eng.name)
            break
        if answer[0] == "resign":
            result, reason = lose(side, "%s resigns" % eng.name)
            break
        clock[side] -= elapsed_ms
        stats.move_times[eng.name].append(elapsed_ms)
        with stats.lock:
            left = clock[side]
            if stats.min_left[eng.name] is None or left < stats.min_left[eng.name]:
                stats.min_left[eng.name] = left
        if clock[side] < -args.margin_ms:
            stats.fault(eng.name, "forfeit", "move %d, %.0f ms over" % (len(game.moves) + 1, -clock[side]))
            result, reason = lose(side, "%s forfeits on time" % eng.name)
            break
        clock[side] += args.inc * 1000.0
        done = game.side_moves(side) + 1
        game.clock_log.append((side, done, elapsed_ms, clock[side]))
        if args.show_clock:
            print("game %3d  %s move %3d (%s): %7.2f s used, %8.2f s left" % (
                number + 1, eng.name, done, side, elapsed_ms / 1000.0, clock[side] / 1000.0), flush=True)
        if args.moves and done % args.moves == 0:
            clock[side] += args.base * 1000.0
        move = game.pos.parse_move(answer[1]) if answer[1] else None
        if move is None or (eng.proto == "uci" and answer[1] != move.uci()):
            stats.fault(eng.name, "illegal", "%r in %s" % (answer[1], game.pos.fen()))
            result, reason = lose(side, "%s plays an illegal move %s" % (eng.name, answer[1]))
            break
        game.play(move)
        eng.moved()
        if eng.proto == "uci":
            eng.after_own_move(game, int(clock[side]), int(clock[opp_side]))

    for e in (white, black):
        if e in broken:
            continue
        try:
            e.end_game(result, reason)
            # A claim that disagrees with the outcome is a fault.
            for line in e.pending():
                claim = e.classify(line, game_over=True) if e.proto == "xboard" else e.classify(line)
                if isinstance(claim, tuple) and claim[0] != result and "resign" not in claim[1].lower():
                    stats.fault(e.name, "warnings", "claim %s {%s} against %s" % (claim + (result,)))
        except EngineGone:
            stats.fault(e.name, "crash", "after the game")
            broken.add(e)
    stats.add(white.name, black.name, result, reason)
    if args.verbose:
        print("game %3d  %-10s - %-10s  %-7s  %s  (%d plies)" % (number + 1, white.name, black.name, result, reason,
                                                                  len(game.moves)), flush=True)
    if pgn_file:
        text = pgn_text(number, white.name, black.name, game, result, reason, args)
        with pgn_lock:
            pgn_file.write(text)
            pgn_file.flush()
    return broken


def pgn_text(number, white, black, game, result, reason, args):
    lines = ['[Event "match %s"]' % tc_text(args), '[Site "?"]', '[Date "%s"]' % time.strftime("%Y.%m.%d"),
             '[Round "%d"]' % (number + 1), '[White "%s"]' % white, '[Black "%s"]' % black, '[Result "%s"]' % result,
             '[Termination "%s"]' % reason.replace('"', "'"), ""]
    tokens = []
    for i, (pos, m) in enumerate(game.moves):
        if pos.side == "w":
            tokens.append("%d." % pos.fullmove)
        elif i == 0:
            tokens.append("%d..." % pos.fullmove)
        tokens.append(pos.san(m))
    tokens.append(result)
    line, out = "", []
    for t in tokens:
        if len(line) + len(t) + 1 > 79:
            out.append(line)
            line = t
        else:
            line = (line + " " + t) if line else t
    out.append(line)
    return "\n".join(lines + out) + "\n\n"


def worker(indices, described, stats, args, pgn_lock, pgn_file, transcript):
    engines = [make_engine(s, transcript) for s in described]
    try:
        for e in engines:
            e.start()
        for n in indices:
            if stats.verdict is not None and n % 2 == 0:
                break   # the test has decided; a pair already begun is finished
            broken = play_game(n, engines, stats, args, pgn_lock, pgn_file)
            for i, e in enumerate(engines):
                if e in broken:
                    e.kill()
                    engines[i] = make_engine(described[i], transcript)
                    engines[i].start()
    except EngineGone as gone:
        print("engine failed to start: %s" % gone, file=sys.stderr)
    finally:
        for e in engines:
            with stats.lock:
                stats.faults[e.name]["warnings"] += len(e.warnings)
                stats.faults[e.name]["other_lines"] += e.other_lines
                for w in e.warnings[: max(0, 200 - len(stats.samples[e.name]))]:
                    stats.samples[e.name].append("warning: " + w)
            e.stop()


def elo_from_score(score):
    """Logistic Elo difference of a score fraction (clamped away from 0 and 1)."""
    score = min(max(score, 1e-6), 1 - 1e-6)
    return -400.0 * math.log10(1.0 / score - 1.0)


def score_from_elo(elo):
    return 1.0 / (1.0 + 10.0 ** (-elo / 400.0))


def score_stats(wins, draws, losses):
    """(score fraction, variance of one game's score)."""
    n = wins + draws + losses
    if n == 0:
        return 0.5, 0.0
    s = (wins + 0.5 * draws) / n
    var = (wins * (1 - s) ** 2 + draws * (0.5 - s) ** 2 + losses * s ** 2) / n
    return s, var


def elo_with_error(wins, draws, losses):
    """(Elo difference, half-width of its 95% interval) of a result."""
    n = wins + draws + losses
    s, var = score_stats(wins, draws, losses)
    margin = 1.959964 * math.sqrt(var / n) if n else 0.0
    elo = elo_from_score(s)
    low, high = elo_from_score(s - margin), elo_from_score(s + margin)
    return elo, (high - low) / 2.0


def elo_text(wins, draws, losses):
    """The Elo line's text. Every game lost (or every game won) has no finite estimate
    and no spread: it gives the one-sided 95% bound instead, from the rule of three
    (no point in n games: the true score is below 3/n)."""
    n = wins + draws + losses
    if n and wins + draws == 0:
        return "below %+d (95%%, no point in %d games)" % (round(elo_from_score(min(0.5, 3.0 / n))), n)
    if n and losses + draws == 0:
        return "above %+d (95%%, every point in %d games)" % (round(elo_from_score(max(0.5, 1 - 3.0 / n))), n)
    elo, err = elo_with_error(wins, draws, losses)
    return "%+d +/- %.0f (95%%)" % (round(elo), err)  # an integer first: never "-0"


def sprt_llr(wins, draws, losses, elo0, elo1, alpha=0.05, beta=0.05):
    """Log-likelihood ratio of H1 (ELO1) against H0 (ELO0) in the normal approximation
    of the game scores, and the test's lower and upper bounds."""
    lower, upper = math.log(beta / (1 - alpha)), math.log((1 - beta) / alpha)
    n = wins + draws + losses
    s, var = score_stats(wins, draws, losses)
    if n == 0 or var <= 0:
        return 0.0, lower, upper
    s0, s1 = score_from_elo(elo0), score_from_elo(elo1)
    return n * (s1 - s0) * (2 * s - s0 - s1) / (2 * var), lower, upper


def parse_sprt(text):
    m = re.match(r"^(-?\d+(?:\.\d+)?),(-?\d+(?:\.\d+)?)(?:,(0?\.\d+),(0?\.\d+))?$", text)
    if not m or float(m.group(1)) >= float(m.group(2)):
        raise argparse.ArgumentTypeError("--sprt as ELO0,ELO1[,ALPHA,BETA] with ELO0 < ELO1, not %r" % text)
    return (float(m.group(1)), float(m.group(2)), float(m.group(3) or 0.05), float(m.group(4) or 0.05))


def parse_engine(text):
    parts = text.split(":", 2)
    if len(parts) != 3 or parts[1] not in ("xboard", "uci"):
        raise argparse.ArgumentTypeError("engine as NAME:xboard|uci:COMMAND, not %r" % text)
    return tuple(parts)


def parse_tc(text):
    """SECONDS[+INCREMENT] or MOVES/SECONDS[+INCREMENT] -> (moves, seconds, increment); moves 0 = whole game."""
    m = re.match(r"^(?:(\d+)/)?(\d+(?:\.\d+)?)(?:\+(\d+(?:\.\d+)?))?$", text)
    if not m or (m.group(1) is not None and int(m.group(1)) < 1) or (
            float(m.group(2)) <= 0 and float(m.group(3) or 0) <= 0):
        raise argparse.ArgumentTypeError("time control as SECONDS+INCREMENT or MOVES/SECONDS+INCREMENT, not %r" % text)
    return int(m.group(1) or 0), float(m.group(2)), float(m.group(3) or 0.0)


def tc_text(args):
    text = "%s%g" % (("%d/" % args.moves) if args.moves else "", args.base)
    return text + ("+%g" % args.inc if args.inc or not args.moves else "")


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--engine", action="append", type=parse_engine, required=True,
                    help="NAME:xboard|uci:COMMAND (give two)")
    ap.add_argument("--games", type=int, default=10)
    ap.add_argument("--tc", type=parse_tc, default=(0, 10.0, 0.1),
                    help="base seconds + increment (10+0.1), or moves / seconds (+ increment) per control (40/300)")
    ap.add_argument("--concurrency", type=int, default=1)
    ap.add_argument("--ponder", action="store_true", help="both engines think on the opponent's time")
    ap.add_argument("--no-openings", dest="openings", action="store_false",
                    help="every game from the start position (otherwise short openings, each with both colours)")
    ap.add_argument("--max-plies", type=int, default=600)
    ap.add_argument("--stall-grace", type=float, default=10.0, help="seconds past the flag before a stall is declared")
    ap.add_argument("--margin-ms", type=float, default=0.0, help="tolerance of the flag in milliseconds")
    ap.add_argument("--on-stall", help="shell command run before a stalled engine is stopped; {pid} is its process")
    ap.add_argument("--pgn", help="append the games to this PGN file")
    ap.add_argument("--transcript", help="write every line to and from the engines into this file")
    ap.add_argument("--drop", action="append", default=[], metavar="NAME=WORD[,WORD]",
                    help="never send these commands to engine NAME (fairymax 5.0b crashes on \"computer\")")
    ap.add_argument("--init", action="append", default=[], metavar="NAME=LINE",
                    help="send LINE to engine NAME once after the handshake (UCI setoption, xboard memory ...)")
    ap.add_argument("--depth", action="append", default=[], metavar="NAME=N",
                    help="engine NAME searches N plies at most, beside the clock")
    ap.add_argument("--nodes", action="append", default=[], metavar="NAME=N",
                    help="engine NAME (UCI) searches N nodes at most, beside the clock")
    ap.add_argument("--sprt", type=parse_sprt, metavar="ELO0,ELO1[,ALPHA,BETA]",
                    help="stop when the test of ELO1 against ELO0 for the first engine decides")
    ap.add_argument("--show-clock", action="store_true", help="print the time used and left after every move")
    ap.add_argument("-v", "--verbose", action="store_true")
    args = ap.parse_args()
    if len(args.engine) != 2:
        ap.error("give exactly two engines")
    if args.engine[0][0] == args.engine[1][0]:
        ap.error("give the engines different names")
    args.moves, args.base, args.inc = args.tc
    for item in args.drop:
        name, _, words = item.partition("=")
        if not words:
            ap.error("--drop as NAME=WORD[,WORD], not %r" % item)
        DROPPED_WORDS.setdefault(name, set()).update(w for w in words.split(",") if w)
    for item in args.init:
        name, _, line = item.partition("=")
        if not line:
            ap.error("--init as NAME=LINE, not %r" % item)
        INIT_LINES.setdefault(name, []).append(line)
    for option, table in (("--depth", DEPTHS), ("--nodes", NODES)):
        for item in getattr(args, option[2:]):
            name, _, number = item.partition("=")
            if not number.isdigit() or int(number) < 1:
                ap.error("%s as NAME=N with N at least 1, not %r" % (option, item))
            table[name] = int(number)
    for name, proto, _ in args.engine:
        if name in NODES and proto != "uci":
            ap.error("--nodes for %s: xboard has no node limit" % name)

    names = [e[0] for e in args.engine]
    stats = Stats(names)
    stats.sprt = args.sprt
    pgn_file = open(args.pgn, "a") if args.pgn else None
    transcript = open(args.transcript, "w") if args.transcript else None
    pgn_lock = threading.Lock()
    # Game pairs stay with one worker so that each opening is played with both colours.
    workers = max(1, min(args.concurrency, args.games))
    buckets = [[] for _ in range(workers)]
    for n in range(args.games):
        buckets[(n // 2) % workers].append(n)
    started = time.monotonic()
    threads = [threading.Thread(target=worker, args=(b, args.engine, stats, args, pgn_lock, pgn_file, transcript))
               for b in buckets if b]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    if pgn_file:
        pgn_file.close()
    if transcript:
        transcript.close()

    a, b = names
    w, d, l = stats.score[a]
    print("%s vs %s: %d games at %s s%s, %.0f s" % (a, b, stats.games, tc_text(args),
                                                       " with pondering" if args.ponder else "",
                                                       time.monotonic() - started))
    print("  %s: +%d =%d -%d  (%.1f%%)" % (a, w, d, l, 100.0 * (w + d / 2) / max(1, stats.games)))
    if stats.games:
        print("  Elo difference " + elo_text(w, d, l))
    if args.sprt:
        llr, lower, upper = sprt_llr(w, d, l, *args.sprt)
        print("  SPRT elo0 %g elo1 %g: LLR %.2f (bounds %.2f, %.2f): %s" % (
            args.sprt[0], args.sprt[1], llr, lower, upper,
            stats.verdict or ("H1 accepted" if llr >= upper else "H0 accepted" if llr <= lower else "no verdict yet")))
    for reason, count in sorted(stats.reasons.items(), key=lambda kv: -kv[1]):
        print("  %3d  %s" % (count, reason))
    bad = 0
    for n in names:
        f = stats.faults[n]
        times = stats.move_times[n]
        avg = sum(times) / len(times) if times else 0.0
        low = stats.min_left[n]
        print("  %-10s illegal %d, crash %d, stall %d, time forfeit %d, protocol warnings %d; other lines %d; "
              "%.0f ms a move, least time left %.0f ms" % (n, f["illegal"], f["crash"], f["stall"], f["forfeit"],
                                                           f["warnings"], f["other_lines"], avg,
                                                           low if low is not None else 0.0))
        counts = {}
        for s in stats.samples[n]:
            counts[s] = counts.get(s, 0) + 1
        for s, c in counts.items():
            print("      %s%s" % (s, " (%d times)" % c if c > 1 else ""))
        if n == names[0]:
            bad += f["illegal"] + f["crash"] + f["stall"] + f["forfeit"] + f["warnings"]
    # The exit status speaks for the first engine, the one under test.
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
