"""Independent reference of Orvik's search, written from the engine's written
description only: board, keys and history, move generation with its ordering
values, make/unmake with the repetition counters, the transposition table, the
node search, the three quiescence procedures and the root search with iterative
deepening.  The leaf evaluation is the evaluation reference (tools/eval_reference).

    Searcher(fen, settings).think(max_depth) -> list of iteration records

Squares a1 = 0 .. h8 = 63; colours 0 white, 1 black; piece codes 1 pawn .. 6 king.
Left out: endgame tables and bitbase files (of the bitbases only the built-in answers
for two men besides the kings, setting "bitbase_rules"), the book, pondering, analysis,
time limits.

Where the description reads two ways, READINGS names the reading taken so that the
comparison can switch it. Other readings taken where the text allows more than one, each
the one the engine's searches agree with:
- the root is ply 0 and its moves lead to ply 1 (a mate in one scores 29999);
- a hash move that cut as a null move earns no killer or history credit;
- at the capture-depth limit the quiescence node keeps its stand-pat bound;
- a futility-pruned move scores alpha like a searched move (it may become the best);
- a root move already searched at this depth counts with its stored score;
- pinned men's captures in the quiescence search are refused before the move is made,
  and the check evasions are generated legal, so no trial move reorders the men's lists;
- "no move" is stored in the table as 0;
- a node held under an upper bound of the built-in endgame answers returns that bound,
  stores nothing, when its best score lies above it (after the best move's killer and
  history credit); a quiescence node that hands over to the check node returns that
  node's score as it is.
The order of each side's list of men decides the order of equal-valued moves, and taking
back a capture puts the taken man at the end of its list: the reference makes and takes
back exactly the moves the engine does (move texts of the root moves, reading the
searchmoves list), and puts the lists back where the engine puts the whole board back.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "eval_reference"))
import eval_reference as evref  # noqa: E402

P, N, B, R, Q, K = 1, 2, 3, 4, 5, 6
WHITE, BLACK, EMPTY = 0, 1, 2
VALUES = [0, 80, 340, 350, 500, 1001, 0]

CAPTURE, CASTLE, EP, PROMO = 0x200000, 0x10000, 0x20000, 0x8000
F_RECAPTURE, F_CHECK, F_PAWN7, F_THREAT, F_REPCHECK, F_PAWNEND, F_ONEREP = 1, 2, 4, 0x10, 0x20, 0x80, 0x800
NO_MOVE, PV_END, NULL_HASH, TB_HASH = 0xFFFF, 0xEFFF, 0xF000, 0xE000
MASK32 = 0xFFFFFFFF

DEFAULTS = {
    "null_low": 192, "null_high": 192, "null_endgame": 128, "null_split": 352,
    "icheck": 64, "irepcheck": 38, "irecapture": 38, "ipawn7": 64, "inullthreat": 64,
    "ipawne": 89, "ionerep": 64, "prune": 1, "deepen": 1, "fail_low_early": 1,
    "window": 40, "qsearch_mask": 7, "hash_bytes": 64000000,
    # root move texts written in SAN (console and xboard dialogues) rather than coordinates
    "san_texts": True,
    # thinking lines built (and their variations stored in the table) as the search goes
    "thinking_lines": True,
    # the game loop's work before a search: killers one ply down, history halved, table age
    "game_loop": True,
    # the built-in answers for endings of two men besides the kings (no files loaded)
    "bitbase_rules": True,
    # the engine's ORVIK_OFF switches that the comparison may use on both sides
    "off": (),
}

READINGS = {
    # the ordering bonus of the null move's threat move: given after every failed null
    # move ("always"), or only after a mate threat ("mate")
    "threat_bonus": "always",
    # which node flags a child inherits: all but "no null move" and "follows a null move"
    # ("node"), or all of them ("all")
    "child_flags": "node",
    # which king a bishop stands beside when the bare king's side to move keeps only an
    # upper bound 0 against two bishops: the bishops' own ("own") or the bare one ("lone")
    "kbbk_bishop_beside": "lone",
    # beta under an upper bound from the built-in rules: set to the bound even where that
    # raises it ("set"), or only lowered ("min")
    "bound_beta": "set",
}

QEXACT_MASK = {1: 1, 2: 7, 3: 11, 4: 9, 5: 4, 6: 0, 7: 6, 8: 10, 9: 8}


def fr(s):
    return s & 7, s >> 3


def on_board(f, r):
    return 0 <= f < 8 and 0 <= r < 8


# ---------------------------------------------------------------- geometry

KNIGHT_DIRS = [(-2, 1), (2, -1), (2, 1), (-2, -1), (-1, 2), (1, -2), (1, 2), (-1, -2)]
BISHOP_DIRS = [(-1, 1), (1, 1), (1, -1), (-1, -1)]
ROOK_DIRS = [(1, 0), (0, 1), (-1, 0), (0, -1)]
QUEEN_DIRS = ROOK_DIRS + BISHOP_DIRS


def rays(s, dirs, slide):
    out = []
    f0, r0 = fr(s)
    for df, dr in dirs:
        ray = []
        f, r = f0 + df, r0 + dr
        while on_board(f, r):
            ray.append(f + 8 * r)
            if not slide:
                break
            f, r = f + df, r + dr
        if ray:
            out.append(ray)
    return out


RAYS = {code: [rays(s, d, sl) for s in range(64)] for code, d, sl in (
    (N, KNIGHT_DIRS, False), (B, BISHOP_DIRS, True), (R, ROOK_DIRS, True),
    (Q, QUEEN_DIRS, True), (K, QUEEN_DIRS, False))}


def line_dir(a, b):
    """Step (df, dr) from a towards b when they share a line, else None."""
    fa, ra = fr(a)
    fb, rb = fr(b)
    df, dr = fb - fa, rb - ra
    if a == b or not (df == 0 or dr == 0 or abs(df) == abs(dr)):
        return None
    return (df > 0) - (df < 0), (dr > 0) - (dr < 0)


def mvv_lva_value(att, vic):
    V = [0, 100, 300, 350, 500, 1000, 2000]
    d = V[vic] - V[att]
    x = (V[vic] + max(d, 0)) // 10
    if d > 0:
        x += 64
    elif d < 0:
        x -= att
    return x << 17


MVV_LVA = [[mvv_lva_value(a, v) if a and v else 0 for v in range(7)] for a in range(7)]
QV = [0, 100, 300, 350, 500, 1000, 2000]


# ---------------------------------------------------------------- keys

def make_zobrist():
    a, b = 0x12345678, 0x87654321
    out = []
    for _ in range(2 * 8 * 64):
        pair = []
        for _ in range(2):
            a = (36969 * (a & 0xFFFF) + (a >> 16)) & MASK32
            b = (18000 * (b & 0xFFFF) + (b >> 16)) & MASK32
            pair.append(((a << 16) + (b & 0xFFFF)) & MASK32)
        out.append(pair[0] | (pair[1] << 32))
    return [[[out[(c * 8 + code) * 64 + s] for s in range(64)] for code in range(8)] for c in range(2)]


ZOB = make_zobrist()


def ep_key(s):
    return ZOB[WHITE][7][0] if s < 0 else ZOB[WHITE][7][1 + s]


def castle_key(r):
    return ZOB[BLACK][7][r]


# ---------------------------------------------------------------- board


def castle_men(frm, to):
    """(from, to, code) of the king and the rook of a castling move."""
    rf, rt = (frm + 3, to - 1) if to > frm else (frm - 4, to + 1)
    return (frm, to, K), (rf, rt, R)


def ep_victim(frm, to):
    return to - 8 if to > frm else to + 8


class Hist:
    __slots__ = ("key", "last_irr", "move", "flags", "rights", "captured", "ep")

    def __init__(self, key, last_irr, move, rights, captured, ep):
        self.key, self.last_irr, self.move, self.rights = key, last_irr, move, rights
        self.captured, self.ep, self.flags = captured, ep, 0


class Board:
    def __init__(self, fen):
        pos = evref.Pos(fen)
        self.side = pos.stm
        self.piece = [0] * 64
        self.color = [EMPTY] * 64
        for s in range(64):
            if pos.board[s]:
                self.color[s], self.piece[s] = pos.board[s]
        self.moved = list(pos.moved)
        self.castled = [0, 0]
        parts = fen.split()
        self.ep = -1
        if len(parts) > 3 and parts[3] not in ("-", "n"):
            s = "abcdefgh".index(parts[3][0].lower()) + 8 * (int(parts[3][1]) - 1)
            if (parts[3][1] == "6" and self.side == WHITE) or (parts[3][1] == "3" and self.side == BLACK):
                self.ep = s
        self.recompute()
        self.ply = 0
        self.last_irr = 0
        self.hist = [Hist(self.key, 0, 0, self.rights, 0, self.ep)]
        self.rep = [[0] * 4096, [0] * 4096]
        self.rep[self.side ^ 1][self.key & 0xFFF] += 1

    def compute_rights(self):
        r = 0
        for c, king, short_bit, long_bit in ((WHITE, 4, 2, 1), (BLACK, 60, 8, 4)):
            if not self.castled[c] and self.moved[king] == 0:
                if self.moved[king + 3] == 0:
                    r |= short_bit
                if self.moved[king - 4] == 0:
                    r |= long_bit
        return r

    def recompute(self):
        self.plist = [[None], [None]]
        self.lidx = [0] * 64
        self.material = [0, 0]
        self.pawn_mat = [0, 0]
        self.piece_mat = [0, 0]
        self.pof = [[0] * 8, [0] * 8]
        key = 0
        for s in range(64):
            c = self.color[s]
            if c == EMPTY:
                continue
            code = self.piece[s]
            if code == K:
                self.plist[c][0] = s
                self.lidx[s] = 0
            else:
                self.lidx[s] = len(self.plist[c])
                self.plist[c].append(s)
                self.material[c] += VALUES[code]
                if code == P:
                    self.pawn_mat[c] += VALUES[code]
                    self.pof[c][s & 7] += 1
                else:
                    self.piece_mat[c] += VALUES[code]
            key ^= ZOB[c][code][s]
        key ^= ep_key(self.ep)
        self.rights = self.compute_rights()
        key ^= castle_key(self.rights)
        self.key = key

    def king(self, c):
        return self.plist[c][0]

    def walk(self, side):
        """The side's men from the last of its list to the king, as the generators walk
        them: (square, code, file, rank, pawn step)."""
        pl = self.plist[side]
        dr = 1 if side == WHITE else -1
        for idx in range(len(pl) - 1, -1, -1):
            s = pl[idx]
            yield s, self.piece[s], s & 7, s >> 3, dr

    # --------------------------------------------------------- attacks
    def attacked(self, side, s):
        """Whether the opponent of `side` attacks s."""
        opp = side ^ 1
        piece, color = self.piece, self.color
        for kind, sliders in ((B, (B, Q)), (R, (R, Q))):
            for ray in RAYS[kind][s]:
                for t in ray:
                    if color[t] != EMPTY:
                        if color[t] == opp and piece[t] in sliders:
                            return True
                        break
        for ray in RAYS[N][s]:
            t = ray[0]
            if color[t] == opp and piece[t] == N:
                return True
        f, r = fr(s)
        pr = r - 1 if opp == WHITE else r + 1
        for pf in (f - 1, f + 1):
            if on_board(pf, pr):
                t = pf + 8 * pr
                if color[t] == opp and piece[t] == P:
                    return True
        for ray in RAYS[K][s]:
            t = ray[0]
            if color[t] == opp and piece[t] == K:
                return True
        return False

    def in_check(self, side):
        return self.attacked(side, self.king(side))

    def men(self, c):
        return len(self.plist[c]) - 1

    # --------------------------------------------------------- make/unmake
    def _remove(self, c, s):
        i = self.lidx[s]
        last = self.plist[c].pop()
        if i < len(self.plist[c]):
            self.plist[c][i] = last
            self.lidx[last] = i

    def _add_material(self, c, code, s, sign):
        v = VALUES[code] * sign
        self.material[c] += v
        if code == P:
            self.pawn_mat[c] += v
            self.pof[c][s & 7] += sign
        else:
            self.piece_mat[c] += v

    def push(self, move, captured):
        """A new history record for `move`; the en-passant square leaves the key."""
        self.ply += 1
        h = Hist(self.key, self.last_irr, move, self.rights, captured, self.ep)
        if len(self.hist) > self.ply:
            self.hist[self.ply] = h
        else:
            self.hist.append(h)
        self.key ^= ep_key(self.ep) ^ ep_key(-1)
        self.ep = -1
        return h

    def relocate(self, side, code, a, b):
        """Moves the man of `side` on a to b, keeping its place in the list."""
        self.piece[b], self.color[b] = code, side
        self.piece[a], self.color[a] = 0, EMPTY
        i = self.lidx[a]
        self.plist[side][i] = b
        self.lidx[b] = i

    def make(self, side, move):
        frm, to = move & 63, (move >> 6) & 63
        opp = side ^ 1
        self.push(move, self.piece[to])
        if move & CASTLE:
            for a, b, code in castle_men(frm, to):
                self.relocate(side, code, a, b)
                self.key ^= ZOB[side][code][a] ^ ZOB[side][code][b]
            self.castled[side] = 1
            self.last_irr = self.ply
        elif move & EP:
            self.moved[frm] += 1
            self.piece[to], self.color[to] = P, side
            self.piece[frm], self.color[frm] = 0, EMPTY
            cap = ep_victim(frm, to)
            self.piece[cap], self.color[cap] = 0, EMPTY
            self.recompute()
            self.last_irr = self.ply
        else:
            code = self.piece[frm]
            if move & CAPTURE:
                self.moved[to] += 1
                vic = self.piece[to]
                self._add_material(opp, vic, to, -1)
                self.key ^= ZOB[opp][vic][to]
                self._remove(opp, to)
                if code == P:
                    self.pof[side][frm & 7] -= 1
                    self.pof[side][to & 7] += 1
                self.last_irr = self.ply
            elif code == P:
                self.last_irr = self.ply
                if abs(to - frm) == 16:
                    e = (frm + to) // 2
                    f = to & 7
                    keep = False
                    for nf in (f - 1, f + 1):
                        if 0 <= nf < 8:
                            t = (to & ~7) + nf
                            if self.piece[t] == P and self.color[t] == opp:
                                keep = True
                                break
                    if keep:
                        self.ep = e
                        self.key ^= ep_key(-1) ^ ep_key(e)
            promo = (move >> 12) & 7
            if promo and code == P:
                self.material[side] += VALUES[promo] - VALUES[P]
                self.piece_mat[side] += VALUES[promo]
                self.pawn_mat[side] -= VALUES[P]
                self.pof[side][to & 7] -= 1
                self.key ^= ZOB[side][promo][frm] ^ ZOB[side][P][frm]
                code = promo
            self.moved[frm] += 1
            i = self.lidx[frm]
            self.plist[side][i] = to
            self.lidx[to] = i
            self.piece[to], self.color[to] = code, side
            self.piece[frm], self.color[frm] = 0, EMPTY
            self.key ^= ZOB[side][code][frm] ^ ZOB[side][code][to]
        if frm in (0, 4, 7, 56, 60, 63) or to in (0, 4, 7, 56, 60, 63):
            nr = self.compute_rights()
            self.key ^= castle_key(self.rights) ^ castle_key(nr)
            self.rights = nr
        slot = self.key & 0xFFF
        self.rep[side][slot] += 1
        if self.rep[side][slot] < 2:
            return 0
        count = 0
        i = self.ply - 1
        while i >= max(self.last_irr, 1):
            if self.hist[i].key == self.key:
                count += 1
            i -= 2
        return count

    def unmake(self, side, move):
        frm, to = move & 63, (move >> 6) & 63
        opp = side ^ 1
        self.rep[side][self.key & 0xFFF] -= 1
        h = self.hist[self.ply]
        self.key, self.ep, self.last_irr, self.rights = h.key, h.ep, h.last_irr, h.rights
        if move & CASTLE:
            for a, b, code in castle_men(frm, to):
                self.relocate(side, code, b, a)
            self.castled[side] = 0
        elif move & EP:
            self.moved[frm] -= 1
            self.piece[frm], self.color[frm] = P, side
            self.piece[to], self.color[to] = 0, EMPTY
            cap = ep_victim(frm, to)
            self.piece[cap], self.color[cap] = P, opp
            self.recompute()
            self.key, self.rights = h.key, h.rights
        else:
            self.moved[frm] -= 1
            code = self.piece[to]
            promo = (move >> 12) & 7
            if promo and (move & PROMO):
                self.material[side] -= VALUES[promo] - VALUES[P]
                self.piece_mat[side] -= VALUES[promo]
                self.pawn_mat[side] += VALUES[P]
                self.pof[side][to & 7] += 1
                code = P
            i = self.lidx[to]
            self.plist[side][i] = frm
            self.lidx[frm] = i
            self.piece[frm], self.color[frm] = code, side
            self.piece[to], self.color[to] = 0, EMPTY
            if move & CAPTURE:
                self.moved[to] -= 1
                vic = h.captured
                self.piece[to], self.color[to] = vic, opp
                self.lidx[to] = len(self.plist[opp])
                self.plist[opp].append(to)
                self._add_material(opp, vic, to, 1)
                if code == P:
                    self.pof[side][to & 7] -= 1
                    self.pof[side][frm & 7] += 1
        self.ply -= 1

    def placement(self):
        rows = []
        for r in range(7, -1, -1):
            row, run = "", 0
            for f in range(8):
                s = f + 8 * r
                if self.color[s] == EMPTY:
                    run += 1
                    continue
                if run:
                    row += str(run)
                    run = 0
                ch = ".pnbrqk"[self.piece[s]]
                row += ch.upper() if self.color[s] == WHITE else ch
            if run:
                row += str(run)
            rows.append(row)
        return "/".join(rows)


# ---------------------------------------------------------------- built-in endgame rules
# Endings of two men besides the kings that the engine answers without any file: a class
# (0 no answer, 1 exact, 2 lower bound, 3 upper bound) and a score for the side to move.

NO_ANSWER, EXACT, LOWER, UPPER = 0, 1, 2, 3
BB_MARK = 0xCFFF


def sqn(name):
    return "abcdefgh".index(name[0]) + 8 * (int(name[1]) - 1)


def king_distance(a, b):
    return max(abs((a & 7) - (b & 7)), abs((a >> 3) - (b >> 3)))


def on_edge(s):
    return (s & 7) in (0, 7) or (s >> 3) in (0, 7)


def fold_pawnless(wk, squares):
    """The squares folded into a1-d4 by White's king, then reflected in the a1-h8 diagonal
    when White's king lies above it, or on it with Black's king (squares[0]) above it."""
    if wk & 7 >= 4:
        wk, squares = wk ^ 7, [s ^ 7 for s in squares]
    if wk >= 32:
        wk, squares = wk ^ 56, [s ^ 56 for s in squares]
    def above(s):
        return (s >> 3) > (s & 7)
    if above(wk) or ((wk >> 3) == (wk & 7) and above(squares[0])):
        def swap(s):
            return ((s & 7) << 3) | (s >> 3)
        wk, squares = swap(wk), [swap(s) for s in squares]
    return wk, squares


def _cases(text):
    """'wk bk owner square' lines: owner w or b names whose man stands on the square."""
    out = set()
    for item in text.split(","):
        wk, bk, owner, man = item.split()
        out.add((sqn(wk), sqn(bk), owner == "w", sqn(man)))
    return frozenset(out)


# Minor against minor: the drawn rows give no answer where the side with the minor in the
# corner beside its king can still be mated.
MINOR_MATES = {
    (N, N): _cases("a1 c2 w a2, a1 b3 w b1, c2 a1 b a2, b3 a1 b b1"),
    (B, N): _cases("a1 c1 w a2, a1 a3 w b1, c2 a1 b a2, b3 a1 b b1"),
    (B, B): _cases(", ".join(["a1 %s w a2" % k for k in ("c1", "c2", "c3")]
                             + ["a1 %s w b1" % k for k in ("a3", "b3", "c3")]
                             + ["%s a1 b a2" % k for k in ("c1", "c2", "c3")]
                             + ["%s a1 b b1" % k for k in ("a3", "b3", "c3")])),
}
# Two pieces against the bare king that win as a rule.
STRONG_PAIRS = {(R, P), (R, N), (R, B), (R, R), (Q, P), (Q, N)}


def bitbase_rules(board, side):
    """(class, score for `side`) of the built-in rules for the board; rows that need a
    file answer nothing, since none is loaded."""
    men = [(c, board.piece[s], s) for c in (WHITE, BLACK) for s in board.plist[c][1:]]
    if not men:
        return EXACT, 0
    if len(men) > 2:
        return NO_ANSWER, 0
    if len(men) == 1:
        return (EXACT, 0) if men[0][1] in (N, B) else (NO_ANSWER, 0)
    (c1, t1, s1), (c2, t2, s2) = men
    wk, bk = board.king(WHITE), board.king(BLACK)
    if c1 != c2:
        (wt, ws), (bt, bs) = ((t1, s1), (t2, s2)) if c1 == WHITE else ((t2, s2), (t1, s1))
        if wt < bt or (wt == bt and side == BLACK):
            wt, ws, bt, bs = bt, bs ^ 56, wt, ws ^ 56
            wk, bk, side = bk ^ 56, wk ^ 56, side ^ 1
        cases = MINOR_MATES.get((wt, bt))
        if cases is None:
            return NO_ANSWER, 0
        fk, (fb, fw, fbm) = fold_pawnless(wk, [bk, ws, bs])
        if (fk, fb, True, fw) in cases or (fk, fb, False, fbm) in cases:
            return NO_ANSWER, 0
        return EXACT, 0
    if c1 == BLACK:
        s1, s2, wk, bk, side = s1 ^ 56, s2 ^ 56, bk ^ 56, wk ^ 56, side ^ 1
    hi, lo = max(t1, t2), min(t1, t2)
    strong_to_move = side == WHITE
    if (hi, lo) in STRONG_PAIRS:
        return (LOWER, 1000) if strong_to_move else (UPPER, 0)
    edge_two = on_edge(bk) and king_distance(wk, bk) == 2
    bound_zero = (LOWER, 0) if strong_to_move else (UPPER, 0)
    if (hi, lo) == (N, N):
        return bound_zero if edge_two else (EXACT, 0)
    if (hi, lo) == (B, B):
        if ((s1 & 7) + (s1 >> 3)) % 2 == ((s2 & 7) + (s2 >> 3)) % 2:
            return EXACT, 0
        if edge_two:
            return bound_zero
        if strong_to_move:
            return LOWER, 800
        king = wk if READINGS["kbbk_bishop_beside"] == "own" else bk
        beside = king_distance(s1, king) == 1 or king_distance(s2, king) == 1
        return UPPER, 0 if beside else -800
    return NO_ANSWER, 0


def bound_beta(beta, v):
    """Beta under an upper bound v from the built-in rules (see READINGS)."""
    return v if READINGS["bound_beta"] == "set" else min(beta, v)


def bitbase_exact_score(v, ply):
    """An exact answer in the search's scale (mate distances counted from this ply)."""
    if v > 0:
        return 2 * v - ply - 35533
    if v < 0:
        return 2 * v + ply + 35532
    return 0


def move_text(m):
    if m in (NO_MOVE, PV_END):
        return "-"
    if m & 0xFFF == 0:
        return "null"
    t = "abcdefgh"[m & 7] + str(((m >> 3) & 7) + 1) + "abcdefgh"[(m >> 6) & 7] + str(((m >> 9) & 7) + 1)
    if m & PROMO:
        t += ".pnbrqk"[(m >> 12) & 7]
    return t


# ---------------------------------------------------------------- the searcher


class Searcher:
    def __init__(self, fen, settings=None):
        self.s = dict(DEFAULTS, **(settings or {}))
        self.off = set(self.s["off"])
        self.b = Board(fen)
        self.root_side = self.b.side
        self.history = [[0] * 4096, [0] * 4096]
        self.killer1 = [0] * 64
        self.killer2 = [0] * 64
        self.mate_killer = [0] * 64
        self.recapture_bonus = [0] * 65
        self.pv_hint = [0] * 66
        self.lazy_margin = [0, 0]
        self.eval_complete = 1
        self.nodes = 0
        self.eval_cache = {}
        entries = (self.s["hash_bytes"] // 36) * 3
        self.bucket_mult = entries // 3 - 1
        self.table = {}
        self.age = 0
        self.mask = self.s["qsearch_mask"]
        self.bb_on = self.s["bitbase_rules"]
        self.bb_probes = self.bb_hits = 0

    trace = None   # a list receiving one line per node, for comparisons
    trace_lists = False

    def trace_node(self, kind, ply, alpha, beta):
        b = self.b
        path = " ".join("%s%d%s%d" % ("abcdefgh"[m & 7], 1 + ((m >> 3) & 7), "abcdefgh"[(m >> 6) & 7], 1 + ((m >> 9) & 7))
                        for m in (h.move for h in b.hist[1:b.ply + 1]))
        line = "%s %d a %d b %d n %d : %s" % (kind, ply, alpha, beta, self.nodes, path)
        if self.trace_lists:
            for c in (0, 1):
                line += " |" + "".join(" %s%d" % ("abcdefgh"[q & 7], 1 + (q >> 3)) for q in b.plist[c])
        self.trace.append(line)

    # --------------------------------------------------------- evaluation
    def full_eval(self, side):
        b = self.b
        key = (b.placement(), side, tuple(b.moved), tuple(b.castled))
        r = self.eval_cache.get(key)
        if r is None:
            fen = "%s %s - - 0 1" % (key[0], "w" if side == WHITE else "b")
            score, bd = evref.evaluate_full(fen, None, (list(b.moved), list(b.castled)))
            r = (score, bd.get("positional"))
            self.eval_cache[key] = r
        return r

    def evaluate(self, side, alpha, beta):
        b = self.b
        opp = side ^ 1
        self.eval_complete = 1
        pawns = [b.pawn_mat[0] > 0, b.pawn_mat[1] > 0]
        if not pawns[0] or not pawns[1]:
            for weak in (WHITE, BLACK):
                strong = weak ^ 1
                if b.men(weak) == 0 and b.men(strong) > 0 and (b.pawn_mat[strong] == 0 or b.piece_mat[strong] == 0):
                    return self.full_eval(side)[0]
        both_pieces = b.piece_mat[0] > 0 and b.piece_mat[1] > 0
        if pawns[0] and pawns[1] and both_pieces and "lazy" not in self.off:
            d = b.material[side] - b.material[opp]
            if self.lazy_margin[side] + d <= alpha:
                self.eval_complete = 0
                return self.lazy_margin[side] + d
            if d - self.lazy_margin[opp] >= beta:
                self.eval_complete = 0
                return d - self.lazy_margin[opp]
        score, p = self.full_eval(side)
        if both_pieces and p is not None:
            if p > self.lazy_margin[WHITE]:
                self.lazy_margin[WHITE] = p
            elif -p > self.lazy_margin[BLACK]:
                self.lazy_margin[BLACK] = -p
        return score

    # --------------------------------------------------------- table
    def bucket(self, side):
        return ((self.bucket_mult * (self.b.key & MASK32)) >> 32) + side

    def probe(self, side, ply):
        bk = self.table.get(self.bucket(side))
        if not bk:
            return None
        lock = self.b.key >> 32
        for e in bk:
            if e is not None and e[0] == lock:
                if e[4] != 127:
                    e[4] = self.age
                score = e[1]
                if score > 29500:
                    score -= ply
                elif score < -29500:
                    score += ply
                return e[5], score, e[2], e[3]
        return None

    def store(self, side, score, depth, ply, bound, move):
        if score > 29500:
            score += ply
        elif score < -29500:
            score -= ply
        if move == NO_MOVE:
            move = 0
        elif move not in (NULL_HASH, TB_HASH):
            move &= 0x7FFF
        bi = self.bucket(side)
        bk = self.table.get(bi)
        if bk is None:
            bk = self.table[bi] = [None, None, None]
        lock = self.b.key >> 32

        def write(i):
            e = bk[i]
            age = 127 if (e is not None and e[4] == 127) else self.age
            bk[i] = [lock, score, move, depth, age, bound]

        for i in (0, 1):
            e = bk[i]
            if e is None:
                return write(i)
            if e[0] == lock:
                if e[4] == 127 and e[3] > depth:
                    return None
                return write(i)
        s0, s1 = bk[0], bk[1]
        v = 0 if (s0[4] < s1[4] or (s0[4] == s1[4] and s0[3] <= s1[3])) else 1
        if bk[v][4] == 127:
            return None
        bk[2] = bk[v]
        bk[v] = None
        write(v)
        return None

    def new_search(self):
        self.age += 1
        if self.age >= 126:
            for bk in self.table.values():
                for e in bk:
                    if e is not None and e[4] != 127:
                        e[4] = max(0, e[4] - 90)
            self.age -= 90

    # --------------------------------------------------------- generation
    def gen_piece_moves(self, side, out):
        b = self.b
        hist = self.history[side]
        rb = self.recapture_bonus
        piece, color = b.piece, b.color
        opp = side ^ 1
        for s, code, f, r, dr in b.walk(side):
            if code == P:
                rel = (r + dr) if side == WHITE else 7 - (r + dr)   # relative rank of the push square
                bonus = 0x20000 if rel == 5 else (0x60000 if rel == 6 else 0)
                t = s + 8 * dr
                if color[t] == EMPTY:
                    m = s | (t << 6)
                    if rel == 7:
                        for pc in (Q, N, R, B):
                            out.append([m | PROMO | (pc << 12), hist[m & 0xFFF] + (0x1480000 if pc == Q else 0)])
                    else:
                        out.append([m, hist[m & 0xFFF] + bonus])
                        if rel == 2:
                            t2 = t + 8 * dr
                            if color[t2] == EMPTY:
                                m2 = s | (t2 << 6)
                                out.append([m2, hist[m2 & 0xFFF]])
                for cf in ((f - 1, f + 1) if side == WHITE else (f + 1, f - 1)):
                    if 0 <= cf < 8:
                        t = cf + 8 * (r + dr)
                        if color[t] == opp:
                            m = s | (t << 6) | CAPTURE
                            base = MVV_LVA[P][piece[t]] + hist[m & 0xFFF] + rb[t]
                            if rel == 7:
                                for pc in (Q, N, R, B):
                                    out.append([m | PROMO | (pc << 12), base + (0x1480000 if pc == Q else 0)])
                            else:
                                out.append([m, base + bonus])
                continue
            for ray in RAYS[code][s]:
                for t in ray:
                    c = color[t]
                    if c == EMPTY:
                        m = s | (t << 6)
                        out.append([m, hist[m & 0xFFF]])
                        continue
                    if c == opp:
                        m = s | (t << 6) | CAPTURE
                        out.append([m, MVV_LVA[code][piece[t]] + hist[m & 0xFFF] + rb[t]])
                    break

    def generate(self, side, ply):
        b = self.b
        hist = self.history[side]
        boosts = []
        if "killers" not in self.off:
            boosts = [(self.mate_killer[ply], 0x2000000), (self.killer1[ply], 0x800000), (self.killer2[ply], 0x7E0000)]
        for m, v in boosts:
            hist[m] += v
        last = b.hist[b.ply].move
        d = ((last >> 6) & 63) if last & 0xFFF else 64
        self.recapture_bonus[d] += 0x1000000
        out = []
        self.gen_piece_moves(side, out)
        if b.rights & (3 if side == WHITE else 12):
            k = b.king(side)
            checked = None
            if b.rights & (2 if side == WHITE else 8) and b.color[k + 1] == EMPTY and b.color[k + 2] == EMPTY:
                checked = b.in_check(side)
                if not checked and not b.attacked(side, k + 1) and not b.attacked(side, k + 2):
                    m = k | ((k + 2) << 6) | CASTLE
                    out.append([m, hist[m & 0xFFF] + 0x20000])
            if (b.rights & (1 if side == WHITE else 4) and b.color[k - 1] == EMPTY and b.color[k - 2] == EMPTY
                    and b.color[k - 3] == EMPTY):
                if checked is None:
                    checked = b.in_check(side)
                if not checked and not b.attacked(side, k - 1) and not b.attacked(side, k - 2):
                    m = k | ((k - 2) << 6) | CASTLE
                    out.append([m, hist[m & 0xFFF] + 0x20000])
        if b.ep > 0:
            # the squares from which a pawn of `side` takes on the en-passant square, as
            # an enemy pawn standing there would capture: file + 1 first for white
            target = b.ep - 8 if side == WHITE else b.ep + 8
            order = ((target & 7) + 1, (target & 7) - 1) if side == WHITE else ((target & 7) - 1, (target & 7) + 1)
            for nf in order:
                if 0 <= nf < 8:
                    s = (target & ~7) + nf
                    if b.piece[s] == P and b.color[s] == side:
                        m = s | (b.ep << 6) | EP | CAPTURE
                        out.append([m, hist[m & 0xFFF] + 0x1140000])
        self.recapture_bonus[d] -= 0x1000000
        for m, v in boosts:
            hist[m] -= v
        return out

    def generate_captures(self, side):
        b = self.b
        piece, color = b.piece, b.color
        opp = side ^ 1
        out = []
        for s, code, f, r, dr in b.walk(side):
            if code == P:
                rel7 = (r + dr) == (7 if side == WHITE else 0)
                for cf in ((f - 1, f + 1) if side == WHITE else (f + 1, f - 1)):
                    if 0 <= cf < 8:
                        t = cf + 8 * (r + dr)
                        if color[t] == opp:
                            v = QV[piece[t]]
                            m = s | (t << 6) | CAPTURE
                            if rel7:
                                out.append([m | PROMO | (Q << 12), 2 * v + 999 + max(0, v - 100)])
                            else:
                                out.append([m, v - 1 + max(0, v - 100)])
                t = s + 8 * dr
                if rel7 and color[t] == EMPTY:
                    out.append([s | (t << 6) | PROMO | (Q << 12), 999])
                continue
            for ray in RAYS[code][s]:
                for t in ray:
                    c = color[t]
                    if c == EMPTY:
                        continue
                    if c == opp:
                        v = QV[piece[t]]
                        out.append([s | (t << 6) | CAPTURE, v - code + max(0, v - QV[code])])
                    break
        return out

    def is_legal(self, side, move):
        """The test on the board alone: the piece lists keep their order."""
        b = self.b
        lists, lidx = [list(b.plist[0]), list(b.plist[1])], list(b.lidx)
        b.make(side, move)
        ok = not b.in_check(side)
        b.unmake(side, move)
        b.plist, b.lidx = lists, lidx
        return ok

    def legal_moves(self, side, ply):
        return [e for e in self.generate(side, ply) if self.is_legal(side, e[0])]

    @staticmethod
    def select(lst, i):
        best = i
        for j in range(i + 1, len(lst)):
            if lst[j][1] > lst[best][1]:
                best = j
        if best != i:
            lst.insert(i, lst.pop(best))   # the others keep their order
        return lst[i][0]

    def gives_check(self, side):
        return self.b.in_check(side ^ 1)

    # --------------------------------------------------------- hash move check
    def find_and_make(self, side, move15):
        """The generated move with these 15 bits, when legal, with the repetitions it makes
        (100 once the fifty-move count is reached); the move is made and taken back."""
        b = self.b
        for m, _ in self.generate(side, 0):
            if (m & 0x7FFF) == move15 and b.piece[(m >> 6) & 63] != K:
                reps = b.make(side, m)
                if b.in_check(side):
                    b.unmake(side, m)
                    return 0, 0
                if b.ply - b.last_irr >= 100:
                    reps = 100
                b.unmake(side, m)
                return m, reps
        return 0, 0

    def check_hash_move(self, side, move, score):
        """(code, pv): code 0 when the table move may be used."""
        if move == NULL_HASH:
            return 0, [0, PV_END]
        if move == TB_HASH:
            return -1, [0xDFFF]
        if move & 0xFFF == 0:
            return 0, [NO_MOVE]
        m, reps = self.find_and_make(side, move & 0x7FFF)
        if not m:
            return -1, [NO_MOVE]
        return (reps if score and reps else 0), [m & 0x7FFF, PV_END]

    def reward(self, side, ply, move, score, depth, history_too):
        """Mate killer, history credit and killers for a move that cut or raised alpha."""
        if move & 0xFFF == 0 or is_end(move):
            return
        b = self.b
        if score > 29900 and "killers" not in self.off:
            self.mate_killer[ply] = move & 0xFFF
        last = b.hist[b.ply].move
        on_last = (last & 0xFFF) != 0 and ((last >> 6) & 63) == ((move >> 6) & 63)
        if history_too and not on_last and not (move & 0x7000) and "history" not in self.off:
            h = self.history[side]
            h[move & 0xFFF] += (depth * depth) >> 6
            if h[move & 0xFFF] >= 0x200000:
                for t in self.history:
                    for i in range(4096):
                        t[i] >>= 1
        if "killers" not in self.off and self.killer1[ply] != move & 0xFFF:
            self.killer2[ply] = self.killer1[ply]
            self.killer1[ply] = move & 0xFFF

    def set_hint(self, ply, pv):
        """The expected line from `ply` on, cleared after its end."""
        p = ply
        for m in pv:
            if is_end(m) or p >= 64:
                break
            self.pv_hint[p] = m & 0xFFF
            p += 1
        for j in range(p, 64):
            self.pv_hint[j] = 0

    def make_null(self):
        b = self.b
        b.push(0, 0)
        b.last_irr = b.ply

    def unmake_null(self):
        b = self.b
        h = b.hist[b.ply]
        b.key, b.ep, b.last_irr, b.rights = h.key, h.ep, h.last_irr, h.rights
        b.ply -= 1

    # --------------------------------------------------------- node search
    def search(self, alpha, beta, side, depth, ply, flags, repeated):
        b = self.b
        s = self.s
        opp = side ^ 1
        led_here = b.hist[b.ply].flags
        if b.ply - b.last_irr >= 100 and not (led_here & F_CHECK):
            return 0, [NO_MOVE]
        self.nodes += 1
        if self.trace is not None:
            self.trace_node("S%d" % depth, ply, alpha, beta)
        if beta <= ply - 30000:
            return ply - 30000, [NO_MOVE]
        if ply >= 63:
            return self.evaluate(side, -30000, 30000), [NO_MOVE]
        best = -31000
        best_move = 0
        pv = [NO_MOVE]
        rtype = 1
        threat = False
        threat_move = 0
        threat_bonus = 0
        hb = self.probe(side, ply)
        hbound, hscore, hmove, hdepth = hb if hb else (0, 0, 0, 0)
        if "threatbit" in self.off:
            hbound &= ~F_THREAT
        htype = hbound & 0xF
        if hbound & F_THREAT:
            flags |= 1
            threat = True
        if htype and not repeated and "tablecuts" not in self.off:
            cut = False
            if htype == 1:
                if hdepth >= depth or hscore < -29200:
                    if hscore <= alpha:
                        code, cpv = self.check_hash_move(side, hmove, hscore)
                        if code == 0:
                            return hscore, cpv
                if hdepth > 0:
                    flags |= 1
            elif htype == 2:
                if hdepth >= depth or hscore > 29200:
                    null_refused = hmove == NULL_HASH and flags & 1
                    if hscore >= beta and not null_refused:
                        code, cpv = self.check_hash_move(side, hmove, hscore)
                        if code == 0:
                            cut = True
                    elif hscore > alpha and (hscore < 29200 or hdepth >= depth) and hmove != NULL_HASH:
                        code, cpv = self.check_hash_move(side, hmove, hscore)
                        if code == 0:
                            alpha = best = hscore
                            best_move = hmove
                            rtype = 8
            elif htype == 3:
                usable = (hdepth >= depth or hmove == TB_HASH or (hscore > 29200 and hscore >= beta)
                          or (hscore < -29200 and hscore <= alpha))
                code = -1
                if usable:
                    code, cpv = self.check_hash_move(side, hmove, hscore)
                if usable and code == 0:
                    if not names_squares(hmove) or hscore <= alpha:
                        return hscore, cpv
                    cut = True
                elif hscore < beta and hdepth >= depth - s["null_high"]:
                    flags |= 1
            if cut:
                if hmove not in (NULL_HASH, TB_HASH):
                    self.reward(side, ply, hmove, hscore, depth, True)
                return hscore, cpv
        usable_hash_move = htype and names_squares(hmove)
        ceiling = 30000
        if self.bb_on and b.men(0) + b.men(1) <= 2:
            kind, v = self.bitbase(side)
            if kind == EXACT:
                return bitbase_exact_score(v, ply), [BB_MARK]
            if kind == LOWER:
                if v >= beta:
                    return v, [BB_MARK]
                if v > alpha:
                    alpha = best = v
                    best_move = BB_MARK
                    rtype = 8
            elif kind == UPPER:
                if v <= alpha:
                    return v, [BB_MARK]
                if v < 30000:
                    ceiling = v
                    beta = bound_beta(beta, v)
        # no endgame tables are loaded: of their step only the bare kings' draw remains
        if b.men(0) + b.men(1) == 0:
            return 0, [NO_MOVE]
        in_check = bool(led_here & F_CHECK)
        # null move
        if ply + 1 < 64:
            self.mate_killer[ply + 1] = 0
        if not (flags & 1) and not in_check and beta < 29200 and not repeated:
            allowed = True
            if depth >= 320:
                allowed = len(self.legal_moves(side, ply)) > 6
            red = 0
            if allowed:
                pm = b.piece_mat[side]
                if pm > 450:
                    red = s["null_high"] if depth > s["null_split"] else s["null_low"]
                if red <= 0 or pm <= 450:
                    red = s["null_endgame"] if pm > 0 and s["null_endgame"] > 0 else 0
            if allowed and red > 0:
                nd = depth - red - 64
                vpv = [NO_MOVE]
                if "verify" in self.off:
                    v = beta
                elif nd < 1:
                    v, vpv = self.qsearch(beta - 1, beta, side, ply, flags)
                else:
                    v, vpv = self.search(beta - 1, beta, side, nd, ply, flags | 1, 0)
                if v > 29200:
                    return v, vpv
                if not is_end(vpv[0]) and vpv[0] & 0xFFF:
                    threat_move = vpv[0]
                if v < beta:
                    if threat_move:
                        threat_bonus = 0x20000
                else:
                    saved = self.lazy_margin[opp]
                    self.make_null()
                    if nd < 1:
                        v, cpv = self.qsearch(-beta, 1 - beta, opp, ply + 1, flags)
                    else:
                        v, cpv = self.search(-beta, 1 - beta, opp, nd, ply + 1, flags | 0x21, 0)
                    v = -v
                    self.unmake_null()
                    self.lazy_margin[opp] = saved
                    if v >= beta:
                        if v >= 29200:
                            v = beta
                        self.store(side, v, depth, ply, 2, NULL_HASH)
                        return v, pv_copy(0, cpv)
                    if v < -29200:
                        threat = True
                    if threat_move and (READINGS["threat_bonus"] == "always" or v < -29200):
                        threat_bonus = 0x13880000 if nd >= 1 else 0x1000000
                        if htype == 1 or (htype and hdepth <= nd):
                            threat_bonus *= 2
        # mate-threat extension
        threat_ext = 0
        if threat and not (flags & 0x20):
            own_prev = b.hist[b.ply - 1].flags if b.ply >= 1 else 0
            if not (own_prev & F_THREAT) or (not (led_here & F_THREAT) and ply < self.iteration_depth and (
                    ply <= 4 or not (self.rec_flags(b.ply - 2) & F_THREAT) or not (self.rec_flags(b.ply - 3) & F_THREAT))):
                threat_ext = s["inullthreat"]
            flags &= ~1
        # internal iterative deepening
        order_hash_move = hmove if usable_hash_move else 0
        hash_bonus = 0x400000 if htype == 1 else (0x4000000 if hdepth <= 0 else 0x10000000)
        if (s["deepen"] and depth > 128 and beta != alpha + 1 and flags & 0xC and not usable_hash_move
                and not repeated and not (threat_move and threat_bonus >= 0x1000000) and not (flags & 0x20)
                and (not (flags & 2) or not self.pv_hint[ply])):
            v, ipv = self.search(alpha, beta, side, depth - 128, ply, flags | 1, 0)
            if v <= alpha:
                v, ipv = self.search(-30001, alpha + 1, side, depth - 128, ply, flags | 1, 0)
            if not is_end(ipv[0]) and ipv[0] & 0xFFF:
                order_hash_move = ipv[0]
                hash_bonus = 0x10000000
        # ordering bonuses and generation
        hist = self.history[side]
        hint = self.pv_hint[ply] if ply < 64 else 0
        if flags & 2 and not hint:
            flags &= ~2
        hint_bonus = 0x2EE00000 if flags & 2 else 0x800000
        bon = []
        if threat_move:
            bon.append((threat_move & 0xFFF, threat_bonus))
        if order_hash_move:
            bon.append((order_hash_move & 0xFFF, hash_bonus))
        if hint:
            bon.append((hint & 0xFFF, hint_bonus))
        for m, v in bon:
            hist[m] += v
        one_rep = 0
        if in_check:
            moves = self.legal_moves(side, ply)
            if len(moves) == 1 and depth > 320 and not threat_ext and not (led_here & F_THREAT):
                one_rep = s["ionerep"]
        else:
            moves = self.generate(side, ply)
        for m, v in bon:
            hist[m] -= v
        # per-node preconditions
        futility = (s["prune"] and 64 < depth <= 128 and b.piece_mat[0] > 450 and b.piece_mat[1] > 450
                    and alpha < 29200 and not (led_here & F_THREAT)
                    and not (self.rec_flags(b.ply - 1) & (F_CHECK | F_PAWN7)))
        last_move = b.hist[b.ply].move
        pawn_end = (depth > 192 and b.piece_mat[side] == 0 and b.piece_mat[opp] <= 1001
                    and not (last_move & 0x7000))
        own_prev_flags = self.rec_flags(b.ply - 1)
        opp_last_capture = bool(last_move & CAPTURE) and not (led_here & F_RECAPTURE)
        ksq = b.king(side)
        legal = 0
        for i in range(len(moves)):
            move = self.select(moves, i)
            frm, to = move & 63, (move >> 6) & 63
            must_test = not in_check and (frm == ksq or move & EP)
            if not in_check and not must_test and line_dir(ksq, frm) is not None and self.exposes(side, ksq, move):
                continue
            balance = b.material[side] - b.material[opp]
            mover = b.piece[frm]
            victim = b.piece[to]
            reps = b.make(side, move)
            if must_test and b.in_check(side):
                b.unmake(side, move)
                continue
            legal += 1
            rec = b.hist[b.ply]
            cpv = [NO_MOVE]
            if reps > (1 if ply + 1 <= 3 else 0):
                rec.flags = 0
                score = 0
            else:
                chk = b.in_check(opp)
                fl = F_THREAT if threat else 0
                ext = 0
                if chk:
                    fl |= F_CHECK
                    if ply + 1 < self.check_ply_limit and balance <= 750:
                        ext += s["icheck"]
                    if (ply + 1 > 2 and balance <= 750 and own_prev_flags & F_CHECK and not (own_prev_flags & F_REPCHECK)
                            and ((ply + 1 < self.iteration_depth and b.piece_mat[side] > 800)
                                 or ((led_here & ~F_ONEREP) == 0 and ply + 1 < self.repcheck_ply_limit))):
                        ext += s["irepcheck"]
                        fl |= F_REPCHECK
                if one_rep:
                    ext += one_rep
                    fl |= F_ONEREP
                ext += threat_ext
                pawn7 = mover == P and (to >> 3) in (1, 6)
                if pawn7 and balance <= 550:
                    ext += s["ipawn7"]
                    fl |= F_PAWN7
                if pawn_end and victim not in (0, P) and b.piece_mat[opp] == 0:
                    ext += s["ipawne"]
                    fl |= F_PAWNEND
                rec.flags = fl
                pruned = False
                score = 0
                if (futility and not chk and not pawn7 and b.piece_mat[opp] > 450
                        and b.material[side] - b.material[opp] <= alpha):
                    v = self.evaluate(side, alpha - 100, alpha - 99)
                    if v + 100 <= alpha:
                        pruned = True
                        score = alpha
                if not pruned:
                    promo = (move >> 12) & 7 if move & PROMO else 0
                    if (balance <= 550 and (move & CAPTURE or promo == Q) and promo in (0, Q) and opp_last_capture
                            and ply + 1 < self.iteration_depth
                            and (depth > 128 or self.lazy_margin[side] + b.material[side] - b.material[opp] >= alpha
                                 or led_here & F_CHECK)):
                        ext += s["irecapture"]
                        rec.flags |= F_RECAPTURE
                    nd = depth - 64 + ext
                    if chk and nd < 1:
                        nd = 1
                    if nd > depth:
                        nd = min(nd, depth + 64) if rec.flags & (F_REPCHECK | F_PAWNEND) else depth
                    cflags = self.child_flags(flags)
                    if legal == 1:
                        score, cpv = self.child(-beta, -alpha, opp, nd, ply + 1, cflags, reps)
                    else:
                        score, cpv = self.child(-alpha - 1, -alpha, opp, nd, ply + 1, cflags, reps)
                        if alpha < score < beta:
                            flags |= 2
                            self.set_hint(ply + 1, cpv)
                            score, cpv = self.child(-beta, -alpha, opp, nd, ply + 1, self.child_flags(flags), reps)
            b.unmake(side, move)
            flags &= ~(2 | 8)
            if score > best:
                best = score
                best_move = move
                pv = pv_copy(move, cpv)
                if score > alpha:
                    alpha = score
                    rtype = 3
                    flags &= ~(4 | 8 | 0x40)
                    if score >= beta:
                        rtype = 2
                        break
        if legal == 0 and rtype == 1:
            best = ply - 30000 if in_check else 0
            rtype = 3
            best_move = 0
            pv = [NO_MOVE]
        if rtype in (2, 3) and best_move:
            self.reward(side, ply, best_move, best, depth, not (best_move & CAPTURE))
        if rtype == 8:
            return best, [best_move & 0xFFFF, PV_END]
        if best > ceiling:
            return ceiling, [NO_MOVE]
        self.store(side, best, depth, ply, rtype | (F_THREAT if threat else 0), best_move)
        return best, pv

    def rec_flags(self, index):
        return self.b.hist[index].flags if index >= 0 else 0

    @staticmethod
    def child_flags(flags):
        if READINGS["child_flags"] == "node":
            return (flags & ~0x21) ^ 0x40
        return flags ^ 0x40

    def child(self, alpha, beta, side, depth, ply, flags, reps):
        if depth < 1:
            v, pv = self.qsearch(alpha, beta, side, ply, flags)
        else:
            v, pv = self.search(alpha, beta, side, depth, ply, flags, reps)
        return -v, pv

    def exposes(self, side, k, move):
        b = self.b
        frm, to = move & 63, (move >> 6) & 63
        d1 = line_dir(k, frm)
        if d1 is not None and d1 == line_dir(k, to):
            return False
        saved = b.piece[frm], b.color[frm]
        b.piece[frm], b.color[frm] = 0, EMPTY
        f, r = fr(k)
        df, dr = d1
        f, r = f + df, r + dr
        res = False
        while on_board(f, r):
            t = f + 8 * r
            if b.color[t] != EMPTY:
                if b.color[t] == side ^ 1:
                    code = b.piece[t]
                    res = code in (R, Q) if (df == 0 or dr == 0) else code in (B, Q)
                break
            f, r = f + df, r + dr
        b.piece[frm], b.color[frm] = saved
        return res

    def bitbase(self, side):
        """The built-in endgame rules, counted as probes and hits."""
        self.bb_probes += 1
        kind, v = bitbase_rules(self.b, side)
        if kind != NO_ANSWER:
            self.bb_hits += 1
        return kind, v

    # --------------------------------------------------------- quiescence
    def q_probe(self, side, ply, alpha, beta, nonzero_floor):
        """(cut score or None, floor or None, table move) of the quiescence probe."""
        hb = self.probe(side, ply)
        if hb is None:
            return None, None, 0
        kind, score, move, _ = hb
        kind &= 0xF
        if (kind == 1 and score <= alpha) or (kind == 2 and score >= beta and move != NULL_HASH) or kind == 3:
            return score, None, move
        if kind == 2 and score >= alpha and move != NULL_HASH and (score != 0 or not nonzero_floor):
            return None, score, move
        return None, None, move if kind else 0

    def q_bitbase(self, side, ply, alpha, beta, floor):
        """The built-in endgame rules in a quiescence node: (score and variation that end
        the node, or None; the floor; beta; the ceiling)."""
        b = self.b
        if not self.bb_on or b.men(0) + b.men(1) > 2:
            return None, floor, beta, 30000
        kind, v = self.bitbase(side)
        if kind == EXACT:
            return (bitbase_exact_score(v, ply), [BB_MARK]), floor, beta, 30000
        if kind == LOWER:
            if v >= beta:
                return (v, [BB_MARK]), floor, beta, 30000
            if floor is None or v > floor:
                floor = v
        elif kind == UPPER:
            if v <= alpha:
                return (v, [BB_MARK]), floor, beta, 30000
            if v < 30000:
                return None, floor, bound_beta(beta, v), v
        return None, floor, beta, 30000

    def q_tables(self, side, ply, alpha, beta, nonzero_floor):
        """The table probe and the built-in endgame rules at a quiescence node's entry:
        (score and variation that end the node, or None; floor; beta; ceiling; table move)."""
        cut, floor, hmove = self.q_probe(side, ply, alpha, beta, nonzero_floor)
        if cut is not None:
            return (cut, [PV_END]), floor, beta, 30000, hmove
        done, floor, beta, ceiling = self.q_bitbase(side, ply, alpha, beta, floor)
        return done, floor, beta, ceiling, hmove

    def capture_loop(self, alpha, beta, side, qdepth, ply, best, rtype, delta):
        b = self.b
        opp = side ^ 1
        caps = self.generate_captures(side)
        base = self.lazy_margin[side] + b.material[side] - b.material[opp] if delta else 0
        checked = bool(b.hist[b.ply].flags & F_CHECK)
        ksq = b.king(side)
        best_move = 0
        pv = [NO_MOVE]
        for i in range(len(caps)):
            move = self.select(caps, i)
            if delta:
                promo = (move >> 12) & 7 if move & PROMO else 0
                opt = base + VALUES[b.piece[(move >> 6) & 63]] + VALUES[promo]
                if opt <= alpha:
                    if opt > best:
                        best = opt
                        best_move = 0
                        pv = [NO_MOVE]
                    continue
            # out of check only the king and a man on a line with it need the test on the board
            frm = move & 63
            must_test = checked or frm == ksq
            if not must_test and line_dir(ksq, frm) is not None and self.exposes(side, ksq, move):
                continue
            b.make(side, move)
            if must_test and b.in_check(side):
                b.unmake(side, move)
                continue
            v, cpv = self.q_child(side, move, alpha, beta, qdepth, ply)
            if v > best:
                best, best_move, pv, alpha, rtype = q_better(v, move, cpv, alpha, beta, rtype)
                if rtype == 2:
                    break
        return len(caps), best, best_move, pv, rtype

    def q_child(self, side, move, alpha, beta, qdepth, ply):
        """The made move's reply node searched and the move taken back."""
        b = self.b
        b.hist[b.ply].flags = F_CHECK if b.in_check(side ^ 1) else 0
        v, cpv = self.qsearch_node(-beta, -alpha, side ^ 1, qdepth, ply + 1)
        b.unmake(side, move)
        return -v, cpv

    def qsearch(self, alpha, beta, side, ply, flags):
        b = self.b
        self.nodes += 1
        if self.trace is not None:
            self.trace_node("Q", ply, alpha, beta)
        if beta <= ply - 30000:
            return ply - 30000, [NO_MOVE]
        if b.ply - b.last_irr >= 100:
            return 0, [NO_MOVE]
        if ply >= 63:
            return self.evaluate(side, alpha, beta), [NO_MOVE]
        done, floor, beta, ceiling, _ = self.q_tables(side, ply, alpha, beta, False)
        if done:
            return done
        e = self.evaluate(side, alpha, beta)
        if floor is not None and e < floor:
            e = floor
        best, best_move, pv = e, 0, [NO_MOVE]
        rtype, alpha = stand_pat(e, alpha, beta)
        if rtype != 2:
            complete = self.eval_complete
            n, best, best_move, pv, rtype = self.capture_loop(alpha, beta, side, 0, ply, best, rtype, False)
            if n == 0 and complete:
                rtype = 3
        if best > ceiling:
            return ceiling, [NO_MOVE]
        self.store(side, best, -640, ply, rtype, best_move)
        return best, pv

    def qsearch_node(self, alpha, beta, side, qdepth, ply):
        b = self.b
        self.nodes += 1
        if self.trace is not None:
            self.trace_node("N", ply, alpha, beta)
        if ply >= 63:
            return self.evaluate(side, alpha, beta), [NO_MOVE]
        if beta <= ply - 30000:
            return ply - 30000, [NO_MOVE]
        if b.ply - b.last_irr >= 100:
            return 0, [NO_MOVE]
        done, floor, beta, ceiling, hmove = self.q_tables(side, ply, alpha, beta, True)
        if done:
            return done
        checked = bool(b.hist[b.ply].flags & F_CHECK)
        if self.mask & 8 and checked:
            return self.qsearch_check(alpha, beta, side, qdepth, ply, hmove)
        e = self.evaluate(side, alpha, beta)
        if floor is not None and e < floor:
            e = floor
        if self.mask & 4 and e > alpha and checked:
            return self.qsearch_check(alpha, beta, side, qdepth, ply, hmove)
        best, best_move, pv = e, 0, [NO_MOVE]
        rtype, alpha = stand_pat(e, alpha, beta)
        if rtype != 2 and qdepth > -8:
            complete = self.eval_complete
            opp = side ^ 1
            delta = bool(self.mask & 1) and b.pawn_mat[side] > 0 and b.pawn_mat[opp] > 110 and \
                b.piece_mat[side] > 0 and b.piece_mat[opp] > 0
            n, best, best_move, pv, rtype = self.capture_loop(alpha, beta, side, qdepth - 1, ply, best, rtype, delta)
            if n == 0 and complete:
                rtype = 3
        if best > ceiling:
            return ceiling, [NO_MOVE]
        self.store(side, best, -1280, ply, rtype, best_move)
        return best, pv

    def qsearch_check(self, alpha, beta, side, qdepth, ply, hash_move):
        b = self.b
        self.nodes += 1
        if self.trace is not None:
            self.trace_node("C", ply, alpha, beta)
        rtype = 1
        if not (self.mask & 2) and alpha >= -29200:
            best = alpha
            moves = self.generate_captures(side)
            if not moves:
                self.store(side, alpha, 0, ply, 1, 0)
                return alpha, [NO_MOVE]
        else:
            best = -31000
            hist = self.history[side]
            bon = []
            if names_squares(hash_move):
                bon.append((hash_move & 0xFFF, 0x10000000))
            if self.pv_hint[ply] if ply < 64 else 0:
                bon.append((self.pv_hint[ply] & 0xFFF, 0x800000))
            for m, v in bon:
                hist[m] += v
            moves = self.legal_moves(side, ply)
            for m, v in bon:
                hist[m] -= v
        start = best
        best_move = 0
        pv = [NO_MOVE]
        legal = 0
        for i in range(len(moves)):
            move = self.select(moves, i)
            b.make(side, move)
            if start != -31000 and b.in_check(side):
                b.unmake(side, move)
                continue
            legal += 1
            v, cpv = self.q_child(side, move, alpha, beta, qdepth - 1, ply)
            if v > best:
                best, best_move, pv, alpha, rtype = q_better(v, move, cpv, alpha, beta, rtype)
                if rtype == 2:
                    break
        if best == -31000 and legal == 0:
            best, rtype = ply - 30000, 3
        self.store(side, best, 0, ply, rtype, best_move)
        return best, pv

    # --------------------------------------------------------- thinking output
    def print_line(self, pv, side, from_table=False):
        """What building a thinking line's variation does to the table: each move of the
        line not in the table is stored as a shallow entry, and with `from_table` (the
        engine's lines after one second of search) a line that ended in the table is
        followed there, every probe refreshing the entry's age."""
        b = self.b
        if not self.s["thinking_lines"]:
            line = []
            for m in pv[:63]:
                if is_end(m):
                    break
                line.append(m)
            return line
        lists, lidx = [list(b.plist[0]), list(b.plist[1])], list(b.lidx)
        made = []
        s = side
        i = 0
        while i < 63 and not is_end(pv[i]):
            m16 = pv[i]
            if m16 & 0xFFF == 0:
                self.make_null()
                full = 0
            else:
                full, _ = self.find_and_make(s, m16 & 0x7FFF)
                if not full:
                    break
                if self.probe(s, 0) is None:
                    self.store(s, 0, -1920, 0, 8, full)
                b.make(s, full)
            made.append((s, full))
            s ^= 1
            i += 1
        if i < 63 and pv[i] == PV_END and from_table:
            while len(made) < 150:
                hb = self.probe(s, 0)
                if hb is None:
                    break
                hm = hb[2]
                if hm == TB_HASH:
                    break
                reps = 0
                if hm == NULL_HASH:
                    self.make_null()
                    full = 0
                elif hm & 0xFFF == 0:
                    break
                else:
                    full, _ = self.find_and_make(s, hm & 0x7FFF)
                    if not full:
                        break
                    reps = b.make(s, full)
                made.append((s, full))
                s ^= 1
                if reps >= 2:
                    break
        line = [m for _, m in made]
        for side_k, m in reversed(made):
            if m == 0:
                self.unmake_null()
            else:
                b.unmake(side_k, m)
        b.plist, b.lidx = lists, lidx
        return line

    def root_text(self, side, m):
        """What writing a root move's text does to the piece lists: the check mark tries
        the replies to a check, and a piece move's shortest form is found by trying the
        moves of that piece kind to the same square, with the move itself taken back."""
        b = self.b
        opp = side ^ 1
        to = (m >> 6) & 63
        if b.in_check(opp):
            for c, _ in self.generate(opp, 0):
                b.make(opp, c)
                still = b.in_check(opp)
                b.unmake(opp, c)
                if not still:
                    break
        code = b.piece[to]
        if m & PROMO or m & CASTLE or code == P:
            return
        b.unmake(side, m)
        frm = m & 63
        for ff, rr in ((None, None), (frm & 7, None), (None, frm >> 3), (frm & 7, frm >> 3)):
            count, found = 0, 0
            for c, _ in self.generate(side, 0):
                cf = c & 63
                if (c >> 6) & 63 != to or b.piece[cf] != code:
                    continue
                if (ff is not None and cf & 7 != ff) or (rr is not None and cf >> 3 != rr):
                    continue
                if m & CAPTURE and not c & CAPTURE:
                    continue
                if c & PROMO or b.piece[to] == K:
                    continue
                b.make(side, c)
                ok = not b.in_check(side)
                b.unmake(side, c)
                if ok:
                    count += 1
                    found = found or c
            if count == 1 and found == m:
                break
        b.make(side, m)

    # --------------------------------------------------------- root
    def think(self, max_depth, report=None, searchmoves=None):
        b = self.b
        side = b.side
        if self.s["game_loop"]:
            self.killer1 = self.killer1[1:] + [0]
            self.killer2 = self.killer2[1:] + [0]
            for t in self.history:
                for i in range(4096):
                    t[i] >>= 1
            self.new_search()
        _, p = self.full_eval(side)
        e = p if p is not None else 0
        self.lazy_margin = [e + 60, 60 - e]
        self.nodes = 0
        for text in searchmoves or ():
            # reading a move of the list tries it on the board
            for c, _ in self.generate(side, 0):
                if move_text(c) == text:
                    b.make(side, c)
                    b.unmake(side, c)
        hb = self.probe(side, 0)
        hmove = hb[2] if hb else 0
        root = []
        for m, v in self.legal_moves(side, 0):
            b.make(side, m)
            if self.s["san_texts"]:
                self.root_text(side, m)
            if b.ply == 1:
                v = self.evaluate(side, -30000, 30000) + 10000
            elif hb and (m & 0x7FFF) == (hmove & 0x7FFF):
                v += 10000
            b.unmake(side, m)
            root.append({"move": m, "score": v, "depth": -10, "pv": [NO_MOVE],
                         "excluded": bool(searchmoves) and move_text(m) not in searchmoves})
        if len(root) <= 1:
            return []
        pm = b.piece_mat
        d_mode = 2 if (pm[0] < 500 and pm[1] < 500) else (1 if (pm[0] < 1000 and pm[1] < 1000) else 0)
        root.sort(key=lambda r: -r["score"])
        self.root = root
        self.pv_hint = [0] * 64
        alpha, beta = -30001, 30001
        out = []
        for d in range(1, max_depth + 1):
            self.iteration_depth = d
            self.check_ply_limit, self.repcheck_ply_limit = [(3 * d, 2 * d), (2 * d, d), (d // 2, 0)][d_mode]
            fails_low = fails_high = 0
            while True:
                score = self.search_root(alpha, beta, side, d)
                if score <= alpha and alpha > -30001:
                    fails_low += 1
                    na = score - 100 if fails_low == 1 else (score - 500 if fails_low == 2 else -30001)
                    na = max(na, -30001)
                    if na >= 29200:
                        na = 0
                        fails_low = 2
                    alpha = na
                    self.print_line(root[0]["pv"], side)
                    continue
                if score >= beta and beta < 30001:
                    fails_high += 1
                    nb = score + 100 if fails_high == 1 else (score + 500 if fails_high == 2 else 30001)
                    if nb >= 29200:
                        nb = 30001
                    beta = nb
                    self.print_line(root[0]["pv"], side)
                    continue
                break
            best = root[0]["score"]
            line = self.print_line(root[0]["pv"], side)
            out.append({"depth": d, "score": best, "nodes": self.nodes, "pv": [move_text(m) for m in line]})
            if report:
                report(out[-1])
            alpha = max(-30001, best - self.s["window"])
            beta = min(30001, best + self.s["window"])
            if d >= 4 and (best >= 30002 - d or best <= d - 30002):
                break
        self.print_line(root[0]["pv"], side)
        return out

    def move_entry_to(self, i, j):
        self.root.insert(j, self.root.pop(i))

    def search_root(self, alpha, beta, side, d):
        b = self.b
        opp = side ^ 1
        depth = d * 64
        flags = 0x4E
        best = -31000
        rtype = 1
        root = self.root
        for i in range(len(root)):
            ent = root[i]
            if ent["excluded"]:
                continue
            if ent["depth"] == depth or (ent["score"] < -29200 and ent["score"] <= alpha):
                if ent["depth"] == depth and ent["score"] > best:
                    best = ent["score"]
                    alpha = max(alpha, best)
                    self.move_entry_to(i, 0)
                continue
            m = ent["move"]
            reps = b.make(side, m)
            fell_back = False
            cpv = [NO_MOVE]
            if reps >= 2:
                score = 0
                b.hist[b.ply].flags = 0
            else:
                chk = b.in_check(opp)
                b.hist[b.ply].flags = F_CHECK if chk else 0
                self.set_hint(1, ent["pv"] if is_end(ent["pv"][0]) else ent["pv"][1:])
                nd = depth - 64 + (self.s["icheck"] if chk else 0)
                full = flags & 8 or alpha <= -30000
                if full:
                    score, cpv = self.child(-beta, -alpha, opp, nd, 1, flags, reps)
                else:
                    score, cpv = self.child(-alpha - 1, -alpha, opp, nd, 1, flags & ~0x40, reps)
                if not full and alpha < score < beta:
                    self.set_hint(1, cpv)
                    b.unmake(side, m)
                    self.print_line(pv_copy(m, cpv), side)
                    b.make(side, m)
                    b.hist[b.ply].flags = F_CHECK if chk else 0
                    again, cpv = self.child(-beta, -alpha, opp, nd, 1, 0x4E, reps)
                    if again <= alpha:
                        fell_back = True
                    score = again
            b.unmake(side, m)
            ent["score"] = score
            ent["pv"] = pv_copy(m, cpv)
            if fell_back:
                self.print_line(ent["pv"], side)
                self.print_line(root[0]["pv"], side)
                if i > 1:
                    self.move_entry_to(i, 1)
            flags = (flags & ~8) | 2
            first_failed_low = i == 0 and score <= alpha
            if score > best:
                best = score
                self.move_entry_to(i, 0)
                if score >= beta:
                    rtype = 2
                    break
                if score > alpha:
                    rtype = 3
                    alpha = score
                    root[0]["depth"] = depth
                    flags = 2
                    self.print_line(root[0]["pv"], side)
            if first_failed_low and self.s["fail_low_early"]:
                return score
        if rtype in (2, 3):
            m = root[0]["move"]
            self.reward(side, 0, m, best, depth, not (m & CAPTURE))
        self.store(side, best, depth, 0, rtype, root[0]["move"])
        return best


def stand_pat(e, alpha, beta):
    """Result type and alpha after standing pat with e."""
    if e > alpha:
        return (2, alpha) if e >= beta else (3, e)
    return 1, alpha


def q_better(v, move, cpv, alpha, beta, rtype):
    """A quiescence score above the best: (best, best move, variation, alpha, result type)."""
    if v > alpha:
        alpha = v
        rtype = 2 if v >= beta else 3
    return v, move, pv_copy(move, cpv), alpha, rtype


def is_end(w):
    return (w & 0xFFF) == 0xFFF


def names_squares(m):
    return (m & 0xFFF) != 0 and not is_end(m)


def pv_copy(move, child):
    """The move followed by the child's line and its end word."""
    out = [move & 0xFFFF if move & 0xFFF == 0 else move & 0x7FFF]
    for w in child:
        if is_end(w) or len(out) >= 61:
            out.append(w if is_end(w) else PV_END)
            return out
        out.append(w)
    out.append(PV_END)
    return out
