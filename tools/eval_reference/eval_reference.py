"""Independent reference of Orvik's static evaluation, written from the engine's
written description of its evaluation only (never from its code).

    evaluate(fen) -> int          score for the side to move, as the `score` command
    breakdown(fen) -> dict        white-view contribution of each term group

Squares: a1 = 0 .. h8 = 63, file = s & 7, rank = s >> 3.  Colours: 0 white, 1 black.
Piece codes: 1 pawn, 2 knight, 3 bishop, 4 rook, 5 queen, 6 king.

Where the description can be read two ways, OPTIONS names the reading taken; the
comparison script can switch them to see which reading the engine follows.
"""

import functools
import re

P, N, B, R, Q, K = 1, 2, 3, 4, 5, 6
WHITE, BLACK = 0, 1
VALUES = [0, 80, 340, 350, 500, 1001, 0]
PVAL = 192

OPTIONS = {
    # preparation of the passed/candidate rows: "next entry" is the next stage or the next rank
    "smooth_passed": "stage",       # "stage", "rank", "none"
    "smooth_king": True,            # open-file rows and shield weights interpolated by stage
    "passed_file_bonus_in_table": True,
    "pawn_ending_pval": False,      # pure pawn ending result also scaled by pval
    "queen_all_from_stage1": False, # "from stage 1 on" covers proximity and file terms too
    "outpost_plus2_needs_v": True,
    "rook_behind_any": False,       # any rook behind on the file, or only a rook as the first man behind
    "no_pawns_distance": "king",   # distance in the rook/queen mate term: "king" or "taxi"
    "count_ram_in_ending": True,
    "pin_other_kind_of_mover": False,
    "alone_own_pawns_only": False,
    "candidate_support_level": True,  # a pawn level with a candidate supports it "from behind"
    # at a score of exactly 0, a side without pawns facing pawns is the stronger side (else
    # black would be, and a position and its colour mirror would scale differently)
    "even_score_pawnless_strong": True,  # "a pawn alone on its file": no other own pawn, or no other pawn at all  # "an enemy of another kind": other than the mover, or than the target
}


def file_of(s):
    return s & 7


def rank_of(s):
    return s >> 3


def kdist(a, b):
    return max(abs(file_of(a) - file_of(b)), abs(rank_of(a) - rank_of(b)))


def fdist(a, b):
    return abs(file_of(a) - file_of(b))


def rdist(a, b):
    return abs(rank_of(a) - rank_of(b))


def taxi(a, b):
    return fdist(a, b) + rdist(a, b)


def mirror(s):
    return file_of(s) + 8 * (7 - rank_of(s))


def rel_rank(side, s):
    return rank_of(s) if side == WHITE else 7 - rank_of(s)


def is_dark(s):
    return (file_of(s) + rank_of(s)) % 2 == 0


def tdiv(a, b):
    """Integer division rounding toward zero."""
    q = abs(a) // abs(b)
    return q if (a >= 0) == (b > 0) else -q


def rows_to_table(rows):
    """Rows given from rank 8 down to rank 1 -> list indexed by square (white view)."""
    t = [0] * 64
    for i, row in enumerate(rows):
        rank = 7 - i
        for f in range(8):
            t[f + 8 * rank] = row[f]
    return t


Z8 = [0] * 8
PAWN_A = rows_to_table([Z8, Z8, [0, 0, 3, 3, 3, 0, 0, 0], [0, 0, 3, 6, 6, 0, 0, 0],
                        [0, 0, 2, 6, 6, 0, 0, 0], Z8, Z8, Z8])
_pb7 = [12, 16, 24, 32, 32, 24, 16, 12]
PAWN_B = rows_to_table([Z8, _pb7, _pb7, [8, 12, 16, 24, 24, 16, 12, 8], [6, 8, 12, 16, 16, 12, 8, 6],
                        [6, 8, 8, 10, 10, 8, 8, 6], [4, 4, 4, 0, 0, 4, 4, 4], Z8])
PAWN_END_RANK = [0, 0, 5, 12, 18, 24, 25, 0]
KNIGHT_T = rows_to_table([[0, 4, 10, 12, 12, 10, 4, 0], [6, 10, 20, 22, 22, 20, 10, 6],
                          [12, 18, 28, 32, 32, 28, 18, 12], [14, 22, 30, 34, 34, 30, 22, 14],
                          [12, 20, 28, 32, 32, 28, 20, 12], [10, 16, 24, 28, 28, 24, 16, 10],
                          [2, 6, 16, 18, 18, 16, 6, 2], [0, 2, 10, 12, 12, 10, 2, 0]])
_b81 = [10, 12, 18, 18, 18, 18, 12, 10]
_b64 = [18, 22, 28, 28, 28, 28, 22, 18]
BISHOP_T = rows_to_table([_b81, [12, 25, 26, 26, 26, 26, 25, 12], _b64, [18, 22, 30, 30, 30, 30, 22, 18],
                          _b64, [18, 22, 25, 25, 25, 25, 22, 18], [12, 25, 22, 22, 22, 22, 25, 12], _b81])
_r81 = [1, 2, 4, 6, 6, 4, 2, 1]
_r65 = [0, 2, 4, 6, 6, 4, 2, 0]
_r432 = [-4, 2, 4, 6, 6, 4, 2, -4]
ROOK_T = rows_to_table([_r81, [2, 3, 5, 7, 7, 5, 3, 2], _r65, _r65, _r432, _r432, _r432, _r81])
_q65 = [0, 2, 4, 6, 6, 4, 2, 0]
QUEEN_T = rows_to_table([Z8, [0, 2, 4, 5, 5, 4, 2, 0], _q65, _q65, [-10, 2, 4, 6, 6, 4, 2, -10],
                         [-10, -10, 4, 5, 5, 4, -10, -10], [-10, 2, 2, 2, 2, 2, 2, -10],
                         [-10, -8, 0, 0, 0, 0, -8, -10]])
_k82 = [6, 12, 18, 24, 24, 18, 12, 6]
_k73 = [12, 16, 24, 30, 30, 24, 16, 12]
_k64 = [14, 20, 30, 36, 36, 30, 20, 14]
KING_END_T = rows_to_table([_k82, _k73, _k64, [16, 22, 32, 38, 38, 32, 22, 16], _k64, _k73, _k82,
                            [0, 6, 12, 18, 18, 12, 6, 0]])
OUTPOST_T = rows_to_table([Z8, [0, 0, 0, 1, 1, 0, 0, 0], [0, 1, 3, 6, 6, 3, 1, 0], [0, 1, 4, 5, 5, 4, 1, 0],
                           [0, 0, 0, 2, 2, 0, 0, 0], Z8, Z8, Z8])
_c81 = [0, 8, 16, 24, 24, 16, 8, 0]
_c72 = [8, 32, 40, 48, 48, 40, 32, 8]
_c63 = [16, 40, 56, 64, 64, 56, 40, 16]
_c54 = [24, 48, 64, 72, 72, 64, 48, 24]
CENTRE_T = rows_to_table([_c81, _c72, _c63, _c54, _c54, _c63, _c72, _c81])
_m18 = [0, 8, 0, -10, -10, 8, 8, 0]
_m27 = [-4, -4, -8, -12, -12, -8, -4, -4]
_m36 = [-12, -16, -20, -20, -20, -20, -16, -12]
_m45 = [-16, -20, -24, -24, -24, -24, -20, -16]
KING_MID_T = rows_to_table([_m18, _m27, _m36, _m45, _m45, _m36, _m27, _m18])

W1 = [15, 15, 15, 12, 9, 6, 3, 0, 0, 0, 0]
W2 = [-30, -30, -25, -20, -10, -5, -2, 0, 0, 0, 0]
PAWN_BONUS = [0, 0, 0, 2, 4, 6, 9, 12, 15, 19, 23]
W4 = [12, 12, 12, 12, 10, 8, 6, 4, 2, 0, 0]
W5 = [12, 12, 12, 12, 10, 8, 6, 4, 2, 0, 0]
W6 = [0, 0, 0, 0, 5, 5, 10, 15, 20, 25, 25]
ROOK_BONUS = [0, 0, 0, 2, 6, 10, 14, 18, 22, 26, 28]
BISHOP_BONUS = [0, 0, 0, 2, 4, 6, 8, 10, 12, 14, 16]
PAIR_BONUS = [20 + 2 * s for s in range(11)]
ENEMY_ROOK_BEHIND = [0, 0, 0, 0, 5, 5, 10, 15, 20, 25, 25]
KING_ADVANCED = [-15, -15, -12, -10, -8, -5, 0, 0, 0, 0, 0]

DOUBLED = [0, 0, -14, -14, -14, -14, -14, -14, -8]
ISO_BY_ENEMY = [-8, 0, 0, 0, 0, 0, 0, 0, 15]
ISO_BY_FILE = [-8, -10, -12, -14, -14, -12, -10, -8]
PASSED_BY_FILE = [12, 6, 0, 0, 0, 0, 6, 12]
SUPPORTED_END = [0, 4, 8, 16, 24, 50, 60, 60]
OUTSIDE_END = [0, 50, 60, 80, 120, 160, 200, 200]
OUTSIDE_QUEEN = [0, 5, 8, 15, 20, 30, 40, 40]
SUPPORTED_MID = [0, 2, 4, 8, 12, 25, 30, 30]
KING_SUPPORT = {2: [4, 4, 2], 3: [8, 8, 4], 4: [10, 10, 4], 5: [16, 16, 8], 6: [20, 10, 10]}

STAGE_F = [100, 110, 120, 130, 140, 150, 180, 200, 250, 280, 300]
PASSED_BASE = [0, 1, 2, 4, 7, 14, 25, 0]      # by rank index, second..seventh rank
CAND_BASE = [0, 1, 1, 2, 3, 5, 0, 0]

OWN_BISHOP_PAWNS = [35, 32, 29, 26, 23, 20, 15, 10, 0, -10, -15, -20, -23, -26, -29, -32, -35]
ENEMY_BISHOP_PAWNS = [26, 23, 20, 17, 14, 11, 8, 5, 0, -5, -8, -11, -14, -17, -20, -23, -26]
G_STAGE = [70, 73, 76, 79, 82, 85, 88, 91, 94, 97, 100]
H_STAGE = [0, 1, 4, 9, 16, 25, 36, 49, 64, 71, 100]

BISHOP_MOB = [-12, -8, -5, -2, 0, 2, 4, 6, 8, 9, 10, 10, 11, 11]
ROOK_MOB = [-9, -5, -2, 0, 2, 4, 5, 6, 7, 8, 8, 8, 9, 9]

OPEN_NEAR_OWN = [-16, -16, -16, -16, -13, -10, -8, -7, -5, 0, 0]
OPEN_NEAR_ENEMY = [-20, -20, -20, -20, -16, -13, -10, -8, -7, 0, 0]
OPEN_SIDE_OWN = [-8, -8, -8, -8, -6, -5, -4, -3, -3, 0, 0]
OPEN_SIDE_ENEMY = [-10, -10, -10, -10, -8, -6, -5, -4, -3, 0, 0]
OPEN_FAR_OWN = [-4, -4, -4, -4, -3, -2, -1, -1, -1, 0, 0]
OPEN_FAR_ENEMY = [-5, -5, -5, -5, -4, -3, -3, -2, -2, 0, 0]
SHIELD1 = [18, 18, 18, 18, 16, 14, 11, 8, 6, 0, 0]
SHIELD2 = [10, 10, 10, 10, 9, 8, 6, 5, 3, 0, 0]
SHIELD3 = [-8, -8, -8, -8, -7, -6, -5, -3, -2, 0, 0]
SHIELD_NONE = [-22, -22, -22, -22, -19, -17, -13, -10, -7, 0, 0]
# open-file classes by king file: list of (file, class) with class 0 near, 1 side, 2 far
OPEN_CLASSES = [
    [(0, 0), (1, 1), (2, 1)], [(0, 1), (1, 0), (2, 2)], [(0, 1), (1, 1), (2, 0)], [(2, 1), (3, 1)],
    [(4, 1), (5, 1)], [(5, 0), (6, 1), (7, 1)], [(5, 1), (6, 0), (7, 1)], [(5, 2), (6, 1), (7, 0)],
]
HOLE_NEAR = {P: 50, N: 10, B: 50, Q: 20}
HOLE_NEXT = {P: 20, N: 5, B: 10, Q: 10}
Q_RANKD = [4, 4, 2, 0, -2, -4, -6, -8]
Q_KINGD = [0, 10, 10, 7, 4, 0, -4, -10]


def smooth_stage_row(row):
    out = []
    for i in range(len(row)):
        nxt = row[i + 1] if i + 1 < len(row) else row[i]
        out.append((3 * row[i] + nxt) // 4)
    return out


@functools.lru_cache(maxsize=None)
def tables(key):
    opts = dict(key)
    passed = [[PASSED_BASE[r] * STAGE_F[st] // 100 + 25 if 1 <= r <= 6 else 0 for r in range(8)]
              for st in range(11)]
    cand = [[CAND_BASE[r] * STAGE_F[st] // 100 + 4 if 1 <= r <= 5 else 0 for r in range(8)]
            for st in range(11)]
    mode = opts["smooth_passed"]

    def sm(t):
        if mode == "stage":
            return [[(3 * t[st][r] + t[min(st + 1, 10)][r]) // 4 for r in range(8)] for st in range(11)]
        if mode == "rank":
            return [[(3 * t[st][r] + t[st][min(r + 1, 7)]) // 4 for r in range(8)] for st in range(11)]
        return t
    passed_p, cand_p = sm(passed), sm(cand)
    fb = PASSED_BY_FILE if opts["passed_file_bonus_in_table"] else [0] * 8
    # the first rank has no passed value, so no file bonus either; the blocked row
    # follows from the prepared passed row
    passed_f = [[[passed_p[st][r] + fb[f] if passed_p[st][r] else 0 for r in range(8)] for f in range(8)]
                for st in range(11)]
    blocked_f = [[[(3 * passed_f[st][f][r - 1] + passed_f[st][f][r]) // 4 if r else 0 for r in range(8)]
                  for f in range(8)] for st in range(11)]
    qpassed = [PASSED_BASE[r] * 280 // 100 + 25 if 1 <= r <= 6 else 0 for r in range(8)]
    qblocked = [(3 * qpassed[r - 1] + qpassed[r]) // 4 if r >= 1 else 0 for r in range(8)]
    ks = {}
    for name, row in (("no", OPEN_NEAR_OWN), ("ne", OPEN_NEAR_ENEMY), ("so", OPEN_SIDE_OWN),
                      ("se", OPEN_SIDE_ENEMY), ("fo", OPEN_FAR_OWN), ("fe", OPEN_FAR_ENEMY),
                      ("s1", SHIELD1), ("s2", SHIELD2), ("s3", SHIELD3), ("s0", SHIELD_NONE)):
        ks[name] = smooth_stage_row(row) if opts["smooth_king"] else list(row)
    return {"passed": passed_f, "blocked": blocked_f, "cand": cand_p, "qpassed": qpassed,
            "qblocked": qblocked, "ks": ks}


def psq(side, code, s):
    w = s if side == WHITE else mirror(s)
    if code == P:
        return PAWN_A[w] + PAWN_B[w] - 4
    if code == N:
        return KNIGHT_T[w] - 15
    if code == B:
        return BISHOP_T[w] - 20
    if code == R:
        return ROOK_T[w]
    if code == Q:
        return tdiv(QUEEN_T[w], 2)
    if code == K:
        return KING_END_T[w]
    return 0


START_PLACEMENT = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR"
LETTERS = {"p": P, "n": N, "b": B, "r": R, "q": Q, "k": K}


def parse_placement(text):
    board = [None] * 64
    for i, row in enumerate(text.split("/")):
        cells = re.sub(r"[1-8]", lambda m: "." * int(m.group()), row)
        for f, ch in enumerate(cells[:8]):
            if ch != ".":
                board[f + 8 * (7 - i)] = (WHITE if ch.isupper() else BLACK, LETTERS[ch.lower()])
    return board


START_BOARD = parse_placement(START_PLACEMENT)


class Pos:
    def __init__(self, fen, played=None):
        parts = fen.split()
        self.board = parse_placement(parts[0])
        self.stm = WHITE if parts[1] in ("w", "W") else BLACK
        cast = parts[2] if len(parts) > 2 else "-"
        self.moved = [0 if self.board[s] == START_BOARD[s] else 1 for s in range(64)]
        # a missing right marks its rook square, a side with neither right its king square
        for short, long_, king, hrook, arook in (("K", "Q", 4, 7, 0), ("k", "q", 60, 63, 56)):
            for letter, rook in ((short, hrook), (long_, arook)):
                if letter not in cast:
                    self.moved[rook] = 10
            if short not in cast and long_ not in cast:
                self.moved[king] = 10
        self.castled = [0, 0]
        if played is not None:
            # touch counters and castled flags of a position reached by moves
            self.moved, self.castled = list(played[0]), list(played[1])
        self.rights = 0
        for c, king, short_bit, long_bit in ((WHITE, 4, 2, 1), (BLACK, 60, 8, 4)):
            if self.moved[king] == 0 and not self.castled[c]:
                self.rights |= (short_bit if self.moved[king + 3] == 0 else 0) | (long_bit if self.moved[king - 4] == 0 else 0)
        self.king = [0, 0]
        self.men = [[], []]      # squares of non-king men in square order
        self.material = [0, 0]
        self.pawn_mat = [0, 0]
        self.piece_mat = [0, 0]
        self.pawns_on_file = [[0] * 8, [0] * 8]
        for s in range(64):
            if self.board[s] is None:
                continue
            c, code = self.board[s]
            if code == K:
                self.king[c] = s
                continue
            self.men[c].append(s)
            self.material[c] += VALUES[code]
            if code == P:
                self.pawn_mat[c] += VALUES[code]
                self.pawns_on_file[c][file_of(s)] += 1
            else:
                self.piece_mat[c] += VALUES[code]
        self.pawns = [[s for s in self.men[c] if self.board[s][1] == P] for c in (0, 1)]
        self.pieces = [[s for s in self.men[c] if self.board[s][1] != P] for c in (0, 1)]

    def code(self, s):
        return self.board[s][1] if self.board[s] else 0

    def colour(self, s):
        return self.board[s][0] if self.board[s] else 2

    def is_(self, s, c, code):
        return self.board[s] == (c, code)

    def kinds(self, c):
        return sorted(self.code(s) for s in self.pieces[c])


def step(s, df, dr):
    f, r = file_of(s) + df, rank_of(s) + dr
    if 0 <= f < 8 and 0 <= r < 8:
        return f + 8 * r
    return None


def fwd(side):
    return 1 if side == WHITE else -1


def front_square(side, s):
    return step(s, 0, fwd(side))


def pawn_protected(pos, side, s):
    """An own pawn guards s."""
    for df in (-1, 1):
        t = step(s, df, -fwd(side))
        if t is not None and pos.is_(t, side, P):
            return True
    return False


def pawn_beside(pos, side, s):
    for df in (-1, 1):
        t = step(s, df, 0)
        if t is not None and pos.is_(t, side, P):
            return True
    return False


def support_from_behind(pos, side, s):
    """An own pawn on a neighbouring file behind s (or level with it, by the reading taken)."""
    level = 0 if OPTIONS["candidate_support_level"] else -1
    return any(fdist(t, s) == 1 and rel_rank(side, t) - rel_rank(side, s) <= level for t in pos.pawns[side])


def enemy_pawn_can_attack(pos, side, s):
    """An enemy pawn on a neighbouring file ahead of s (from side's view) can come to attack s."""
    e = 1 - side
    for df in (-1, 1):
        f = file_of(s) + df
        if not 0 <= f < 8:
            continue
        for t in pos.pawns[e]:
            if file_of(t) == f and rel_rank(side, t) > rel_rank(side, s):
                return True
    return False


def is_passed(pos, side, s):
    e = 1 - side
    for t in pos.pawns[e]:
        if fdist(t, s) <= 1 and rel_rank(side, t) > rel_rank(side, s):
            return False
    return True


def own_pawn_in_front(pos, side, s):
    return any(file_of(t) == file_of(s) and rel_rank(side, t) > rel_rank(side, s) for t in pos.pawns[side])


def own_pawn_behind(pos, side, s):
    return any(file_of(t) == file_of(s) and rel_rank(side, t) < rel_rank(side, s) for t in pos.pawns[side])


def outside_square(pos, side, s):
    """The enemy king cannot reach the pawn's promotion square in time (no side to move)."""
    promo = file_of(s) + (56 if side == WHITE else 0)
    dist = min(5, 7 - rel_rank(side, s))
    return kdist(pos.king[1 - side], promo) > dist


class Ctx:
    def __init__(self, pos, opts):
        self.pos = pos
        self.opts = opts
        pm = pos.piece_mat[0] + pos.piece_mat[1]
        self.stage = 0 if pm >= 6600 else (10 if pm < 1481 else (6600 - pm) >> 9)
        self.t = tables(tuple(sorted(opts.items())))
        self.bishops = [[], []]
        self.knights = [0, 0]
        self.pawn_colour = [[0, 0], [0, 0]]   # [side][dark]
        self.rammed = set()
        self.bd = {}

    def add(self, name, side, v):
        self.bd[name] = self.bd.get(name, 0) + (v if side == WHITE else -v)


# ---------------------------------------------------------------- mobility

DIRS_B = [(-1, 1), (1, 1), (1, -1), (-1, -1)]
DIRS_R = [(1, 0), (0, 1), (-1, 0), (0, -1)]


def mobility(ctx, side, s, code):
    pos, st = ctx.pos, ctx.stage
    ek = pos.king[1 - side]
    direct = xray = bonus = 0
    for df, dr in (DIRS_B if code == B else DIRS_R):
        t = step(s, df, dr)
        first = None
        while t is not None:
            if pos.board[t] is None:
                if first is None:
                    direct += 1
                    if kdist(t, ek) < 2:
                        bonus += W4[st]
                else:
                    xray += 1
                    if kdist(t, ek) < 2:
                        bonus += W5[st]
                t = step(t, df, dr)
                continue
            c, k = pos.board[t]
            if first is None:
                if kdist(t, ek) < 2:
                    bonus += W4[st]
                if k in (P, K):
                    break
                if code == R and c == side and k in (R, Q):
                    if file_of(t) == file_of(s) or rdist(t, ek) <= 1:
                        bonus += 8 if k == R else 10
                first = (c, k)
                t = step(t, df, dr)
                continue
            # second man on the ray
            fc, fk = first
            if c != side and k > code:
                if fc != side:
                    if fk != (code if OPTIONS["pin_other_kind_of_mover"] else k):
                        bonus += 20 if k == K else 16
                else:
                    bonus += 16 if k == K else 8
            elif c != side and k != P:
                bonus += 3
            elif code == R and c == side and k in (R, Q) and file_of(t) == file_of(s):
                bonus += 4 if k == R else 5
            if kdist(t, ek) < 2:
                bonus += W5[st]
            break
    table = BISHOP_MOB if code == B else ROOK_MOB
    return table[min(13, direct + xray // 2)] + bonus


# ---------------------------------------------------------------- pieces

def outpost(ctx, side, s, protected_mult):
    pos = ctx.pos
    v = OUTPOST_T[s if side == WHITE else mirror(s)]
    prot = pawn_protected(pos, side, s)
    if not enemy_pawn_can_attack(pos, side, s):
        if v > 0:
            return protected_mult * v if prot else v
        return 0
    if prot and (v > 0 or not ctx.opts["outpost_plus2_needs_v"]):
        return 2
    return 0


def eval_knight(ctx, side, s):
    pos = ctx.pos
    ctx.knights[side] += 1
    v = psq(side, N, s)
    home = (1, 6) if side == WHITE else (57, 62)
    if s in home and pos.moved[s] == 0:
        v -= 10
    if kdist(s, pos.king[1 - side]) < 4:
        v += 5
    v += outpost(ctx, side, s, 3)
    return v


def eval_bishop(ctx, side, s):
    pos, st = ctx.pos, ctx.stage
    v = psq(side, B, s) + BISHOP_BONUS[st]
    ctx.bishops[side].append(s)
    if len(ctx.bishops[side]) == 2:
        v += PAIR_BONUS[st]
    home = (2, 5) if side == WHITE else (58, 61)
    if s in home and pos.moved[s] == 0:
        v -= 10
    v += mobility(ctx, side, s, B)
    e = 1 - side
    trapped = {WHITE: {55: (46, 54), 48: (41, 49)}, BLACK: {15: (22, 14), 8: (17, 9)}}[side]
    if s in trapped:
        a, b = trapped[s]
        if pos.is_(a, e, P):
            v -= 100
        elif pos.is_(b, e, P):
            v -= 50
    v += outpost(ctx, side, s, 2)
    return v


def eval_rook(ctx, side, s):
    pos, st = ctx.pos, ctx.stage
    ek = pos.king[1 - side]
    v = psq(side, R, s) + ROOK_BONUS[st]
    if st < 9:
        v += mobility(ctx, side, s, R)
    if rel_rank(side, ek) == 7:
        if rel_rank(side, s) == 6:
            v += 30
        elif rel_rank(side, s) == 7:
            v += 5
    if rdist(s, ek) <= 1:
        v += 5
    d = min(fdist(s, ek), 2)
    own = pos.pawns_on_file[side][file_of(s)]
    enemy = pos.pawns_on_file[1 - side][file_of(s)]
    if own == 0:
        v += (20, 18, 10)[d]
        if enemy == 0:
            v += (20, 18, 10)[d]
    elif enemy == 0:
        v += (3, 2, 1)[d]
    else:
        v += (2, 1, 0)[d]
    return v


def eval_queen(ctx, side, s):
    pos, st = ctx.pos, ctx.stage
    ek = pos.king[1 - side]
    v = psq(side, Q, s)
    all_gated = ctx.opts["queen_all_from_stage1"]
    if all_gated and st < 1:
        return v
    if st >= 1 and rel_rank(side, ek) == 7:
        if rel_rank(side, s) == 6:
            v += 5
        elif rel_rank(side, s) == 7:
            v += 3
    v += Q_RANKD[rdist(s, ek)] + Q_KINGD[kdist(s, ek)]
    d = fdist(s, ek)
    own = pos.pawns_on_file[side][file_of(s)]
    enemy = pos.pawns_on_file[1 - side][file_of(s)]
    if own == 0:
        v += (9, 8, 4)[min(d, 2)]
        if enemy == 0:
            v += (6, 5, 2)[min(d, 2)]
    elif enemy == 0:
        v += (4, 3, 2, 1)[min(d, 3)]
    else:
        v += (3, 2, 1, 0)[min(d, 3)]
    return v


def _sq(name):
    return "abcdefgh".index(name[0]) + 8 * (int(name[1]) - 1)


# Shield squares per king square of the king side (white view; the queen side mirrors
# it): for each of the three files, the squares looked at in order with the weight
# index (1, 2, 3) the first own pawn found gives; the rook-trap file.  The squares are
# the engine developer's choice (the written rules fix only g1 and h1); taken over as data.
_ZONE_SOURCE = {
    "f1": ([[("e2", 1), ("e3", 2)], [("f2", 0), ("f3", 2)], [("g2", 1), ("g3", 2)]], 7),
    "g1": ([[("f2", 0), ("f3", 2)], [("g2", 1), ("g3", 2)], [("h2", 1), ("h3", 2)]], 7),
    "h1": ([[("f2", 2), ("f3", 2)], [("g2", 2), ("g3", 2)], [("h2", 2)]], None),
    "f2": ([[("e3", 0), ("e2", 1), ("e4", 2)], [("f3", 0), ("f4", 2)], [("g3", 0), ("g2", 1), ("g4", 2)]], None),
    "g2": ([[("f3", 0), ("f2", 1), ("f4", 2)], [("g3", 0), ("g4", 2)], [("h3", 0), ("h2", 1), ("h4", 2)]], None),
    "h2": ([[("f3", 2), ("f2", 2)], [("g3", 0), ("g2", 1), ("g4", 2)], [("h3", 0), ("h4", 2)]], None),
    "f3": ([[("e4", 0), ("e3", 1), ("e5", 2)], [("f4", 0), ("f5", 2)], [("g4", 0), ("g3", 1), ("g5", 2)]], None),
    "g3": ([[("f4", 0), ("f3", 1), ("f5", 2)], [("g4", 0), ("g5", 2)], [("h4", 0), ("h3", 1), ("h5", 2)]], None),
    "h3": ([[("f4", 2), ("f3", 2)], [("g4", 0), ("g3", 1), ("g5", 2)], [("h4", 0), ("h5", 2)]], None),
}
ZONES = {}
for _k, (_files, _trap) in _ZONE_SOURCE.items():
    for _mirrored in (False, True):
        _m = (lambda q: q ^ 7) if _mirrored else (lambda q: q)
        ZONES[_m(_sq(_k))] = ([[(_m(_sq(q)), w) for q, w in f] for f in _files],
                             None if _trap is None else (7 - _trap if _mirrored else _trap))


def rel_sq(side, s):
    return s if side == WHITE else mirror(s)


def eval_king(ctx, side, s):
    pos, st = ctx.pos, ctx.stage
    w = s if side == WHITE else mirror(s)
    blend = KING_MID_T[w] * (10 - st) + KING_END_T[w] * st
    if st > 8:
        return tdiv(blend, 8)
    v = tdiv(blend, 10)
    ks = ctx.t["ks"]
    e = 1 - side
    if pos.castled[side]:
        v += W1[st]
    elif not (pos.rights & (3 if side == WHITE else 12)):
        v += W2[st]
    if rel_rank(side, s) > 1:
        v += KING_ADVANCED[st]
    zone = ZONES.get(rel_sq(side, s))
    # fianchetto holes
    if zone and pos.material[e] % 2 == 1:
        hole = rel_sq(side, 14 if file_of(s) >= 4 else 9)
        if not pos.is_(hole, side, P):
            bs = [t for t in pos.pieces[side] if pos.code(t) == B]
            if pos.colour(hole) == e and pos.code(hole) in HOLE_NEAR:
                v -= HOLE_NEAR[pos.code(hole)]
                if not bs or (len(bs) == 1 and is_dark(bs[0]) != is_dark(hole)):
                    v -= 10
            for df in (-1, 1):
                t = step(hole, df, fwd(side))
                if pos.colour(t) == e and pos.code(t) in HOLE_NEXT:
                    v -= HOLE_NEXT[pos.code(t)]
    # open files
    for f, cls in OPEN_CLASSES[file_of(s)]:
        own = pos.pawns_on_file[side][f]
        enemy = pos.pawns_on_file[e][f]
        if own == 0:
            v += ks[("no", "so", "fo")[cls]][st]
        if enemy == 0:
            v += ks[("ne", "se", "fe")[cls]][st]
    # shield
    if zone:
        names = ("s1", "s2", "s3")
        files, trap = zone
        for squares in files:
            w = "s0"
            for q, wi in squares:
                if pos.is_(rel_sq(side, q), side, P):
                    w = names[wi]
                    break
            v += ks[w][st]
        if trap is not None:
            p2, p3 = pos.is_(rel_sq(side, 8 + trap), side, P), pos.is_(rel_sq(side, 16 + trap), side, P)
            if ((p2 or p3) and pos.is_(rel_sq(side, trap), side, R)) or (p3 and pos.is_(rel_sq(side, 8 + trap), side, R)):
                v -= 30
    return v


EVALUATORS = {N: eval_knight, B: eval_bishop, R: eval_rook, Q: eval_queen, K: eval_king}


# ---------------------------------------------------------------- pawns

def pawn_common(ctx, side, s, part):
    """Isolated and doubled terms shared by every pawn evaluation."""
    pos = ctx.pos
    e = 1 - side
    f = file_of(s)
    v = 0
    iso = not any(0 <= ff < 8 and pos.pawns_on_file[side][ff] for ff in (f - 1, f + 1))
    if iso:
        v += ISO_BY_ENEMY[pos.pawns_on_file[e][f]] + ISO_BY_FILE[f]
        ctx.add("pawn_isolated", side, ISO_BY_ENEMY[pos.pawns_on_file[e][f]] + ISO_BY_FILE[f])
    v += DOUBLED[pos.pawns_on_file[side][f]]
    ctx.add("pawn_doubled", side, DOUBLED[pos.pawns_on_file[side][f]])
    return v


def pawn_start(ctx, side, s, base):
    """Common frame of a pawn's evaluation: (position, stage, tables, enemy, relative rank,
    file, value so far = base + the stage's pawn bonus)."""
    v = base + PAWN_BONUS[ctx.stage]
    ctx.add("pawn_base", side, v)
    return ctx.pos, ctx.stage, ctx.t, 1 - side, rel_rank(side, s), file_of(s), v


def pawn_ending_pawn(ctx, side, s, queen_ending):
    pos, st, t, e, r, f, v = pawn_start(ctx, side, s,
                                        PAWN_END_RANK[rel_rank(side, s)] + kdist(ctx.pos.king[1 - side], s))
    fs = front_square(side, s)
    if fs is not None and pos.colour(fs) == e:
        v -= 5
        ctx.add("pawn_blocked", side, -5)
    v += pawn_common(ctx, side, s, "end")
    pv = 0
    if pos.pawns_on_file[side][f] == 1 or not own_pawn_in_front(pos, side, s):
        if is_passed(pos, side, s):
            if queen_ending and fs is not None and fs == pos.king[e]:
                pv += t["qblocked"][r]
            elif queen_ending:
                pv += t["qpassed"][r]
            else:
                pv += t["passed"][st][f][r]
            pv += PASSED_BY_FILE[f]
            if pawn_protected(pos, side, s) or pawn_beside(pos, side, s):
                pv += SUPPORTED_END[r]
            if outside_square(pos, side, s):
                pv += (OUTSIDE_QUEEN if queen_ending else OUTSIDE_END)[r]
            if fs is not None:
                d = kdist(pos.king[side], fs)
                if r in KING_SUPPORT and d <= 2:
                    pv += KING_SUPPORT[r][d]
            pv += -4 + 2 * fdist(pos.king[e], s)
        elif pos.pawns_on_file[e][f] == 0:
            pv += t["cand"][st][r]
    v += pv
    ctx.add("passed", side, pv)
    return v


def pawn_sum(ctx, one_pawn):
    """White's pawns minus Black's, each valued by one_pawn(side, square)."""
    return sum(one_pawn(side, s) * (1 if side == WHITE else -1) for side in (WHITE, BLACK) for s in ctx.pos.pawns[side])


def pawn_ending(ctx, queen_ending=False):
    pos = ctx.pos
    total = pawn_sum(ctx, lambda side, s: pawn_ending_pawn(ctx, side, s, queen_ending))
    if queen_ending:
        return total
    res = tdiv(total * 3, 2)
    kt = 2 * (KING_END_T[pos.king[0]] - KING_END_T[mirror(pos.king[1])])
    ctx.bd["pawn_ending_x3/2_adjust"] = res - total
    ctx.bd["king_table"] = kt
    return res + kt


def structure_pawn(ctx, side, s, ending):
    pos, st, t, e, r, f, v = pawn_start(ctx, side, s, PAWN_END_RANK[rel_rank(side, s)] if ending else psq(side, P, s))
    ctx.pawn_colour[side][1 if is_dark(s) else 0] += 1
    fs = front_square(side, s)
    if not ending and f in (3, 4) and r == 1 and pos.board[fs] is not None:
        v -= 15
        ctx.add("pawn_blocked", side, -15)
    if pos.colour(fs) == e:
        v -= 5
        ctx.add("pawn_blocked", side, -5)
        if pos.code(fs) == P and side == WHITE and f in (3, 4) and (not ending or ctx.opts["count_ram_in_ending"]):
            ctx.rammed.add(f)
    v += pawn_common(ctx, side, s, "mid")
    pv = 0
    rearmost = not own_pawn_behind(pos, side, s)
    if rearmost and is_passed(pos, side, s):
        alone = (pos.pawns_on_file[side][f] + (0 if OPTIONS["alone_own_pawns_only"] else pos.pawns_on_file[e][f])) == 1
        if W6[st] and (not ending or alone):
            pv += rook_behind(ctx, side, s)
        if pos.colour(fs) == e:
            rr = r
            if pos.code(fs) == N and r > 2:
                rr = r - 1
            pv += t["blocked"][st][f][rr]
        else:
            pv += t["passed"][st][f][r]
            if pawn_protected(pos, side, s) or pawn_beside(pos, side, s):
                pv += SUPPORTED_MID[r]
    elif not is_passed(pos, side, s) and pos.pawns_on_file[e][f] == 0:
        if support_from_behind(pos, side, s):
            pv += t["cand"][st][r]
        elif r in (1, 2):
            pv -= 2
    v += pv
    ctx.add("passed" if is_passed(pos, side, s) else "candidate", side, pv)
    return v


def rook_behind(ctx, side, s):
    pos, st = ctx.pos, ctx.stage
    v = 0
    t = step(s, 0, -fwd(side))
    while t is not None:
        if pos.board[t] is not None:
            c, k = pos.board[t]
            if k == R:
                v += W6[st] if c == side else -ENEMY_ROOK_BEHIND[st]
                if not ctx.opts["rook_behind_any"]:
                    break
            elif not ctx.opts["rook_behind_any"]:
                break
        t = step(t, 0, -fwd(side))
    return v


def pawn_structure(ctx, ending):
    return pawn_sum(ctx, lambda side, s: structure_pawn(ctx, side, s, ending))


# ---------------------------------------------------------------- eval_pieces

def eval_pieces(ctx):
    pos, st = ctx.pos, ctx.stage
    if pos.piece_mat[0] == 0 and pos.piece_mat[1] == 0:
        ctx.bd["path"] = "pawn ending"
        v = pawn_ending(ctx)
        if ctx.opts["pawn_ending_pval"]:
            v2 = tdiv(v * PVAL, 256)
            ctx.bd["pval_adjust"] = v2 - v
            v = v2
        return v
    total = 0
    for side in (WHITE, BLACK):
        sign = 1 if side == WHITE else -1
        for s in reversed(pos.pieces[side]):
            code = pos.code(s)
            v = EVALUATORS[code](ctx, side, s)
            ctx.add("piece_" + "..NBRQK"[code], side, v)
            total += sign * v
        v = eval_king(ctx, side, pos.king[side])
        ctx.add("king_safety", side, v)
        total += sign * v
    if pos.piece_mat[0] == VALUES[Q] and pos.piece_mat[1] == VALUES[Q] and pos.kinds(0) == [Q] and pos.kinds(1) == [Q]:
        ctx.bd["path"] = "queen ending"
        total += pawn_ending(ctx, queen_ending=True)
    else:
        ending = st >= 9
        ctx.bd["path"] = "ending structure" if ending else "middle-game structure"
        total += pawn_structure(ctx, ending)
    # bishop colour
    for side in (WHITE, BLACK):
        if len(ctx.bishops[side]) == 1:
            dark = is_dark(ctx.bishops[side][0])
            e = 1 - side
            own_on = ctx.pawn_colour[side][1 if dark else 0]
            own_off = ctx.pawn_colour[side][0 if dark else 1]
            en_on = ctx.pawn_colour[e][1 if dark else 0]
            en_off = ctx.pawn_colour[e][0 if dark else 1]
            d1 = max(-8, min(8, own_on - own_off))
            d2 = max(-8, min(8, en_off - en_on))
            v = tdiv(OWN_BISHOP_PAWNS[d1 + 8] * G_STAGE[st], 100) + tdiv(ENEMY_BISHOP_PAWNS[d2 + 8] * H_STAGE[st], 100)
            ctx.add("bishop_colour", side, v)
            total += v if side == WHITE else -v
    if ctx.rammed:
        mult = 16 if len(ctx.rammed) == 2 else 8
        v = mult * (ctx.knights[0] - ctx.knights[1] - len(ctx.bishops[0]) + len(ctx.bishops[1]))
        ctx.bd["closed_centre"] = v
        total += v
    # scaling
    nb = [len(ctx.bishops[0]), len(ctx.bishops[1])]
    opposite = nb == [1, 1] and is_dark(ctx.bishops[0][0]) != is_dark(ctx.bishops[1][0])
    before = total
    if opposite:
        if pos.piece_mat[0] <= VALUES[Q] and pos.piece_mat[1] <= VALUES[Q]:
            if pos.kinds(0) == [B] and pos.kinds(1) == [B]:
                total = tdiv(total, 2)
            elif abs(pos.piece_mat[0] - pos.piece_mat[1]) < 100:
                total = tdiv(total * 3, 4)
    elif (pos.kinds(0) == [R] and pos.kinds(1) == [R]) or (pos.kinds(0) == [R, R] and pos.kinds(1) == [R, R]):
        total = tdiv(total * 3, 4)
    if total != before:
        ctx.bd["scaling_adjust"] = total - before
    v = tdiv(total * PVAL, 256)
    ctx.bd["pval_adjust"] = v - total
    return v


# ---------------------------------------------------------------- special endings

@functools.lru_cache(maxsize=1)
def kpk_table():
    """Win table for king and pawn against king, pawn side White moving up, pawn on files a..d.
    Returns a dict keyed (stm, pawn_sq, weak_king, strong_king) -> bool win for the pawn side;
    stm 0 = pawn side to move."""
    return _kpk_generate()


def eval_kpk(pos, strong, stm):
    sk, wk = pos.king[strong], pos.king[1 - strong]
    p = pos.pawns[strong][0]
    if strong == BLACK:
        sk, wk, p = mirror(sk), mirror(wk), mirror(p)
    if file_of(p) > 3:
        sk, wk, p = sk ^ 7, wk ^ 7, p ^ 7
    side_bit = 0 if stm == strong else 1
    if kpk_table()[side_bit + 2 * (4 * (rank_of(p) - 1) + file_of(p) + 24 * (wk + 64 * sk))]:
        return 32 * rank_of(p) + 650
    if file_of(p) == 0:
        return 0
    return 5 * kdist(p, wk)


def eval_no_pawns(pos, stm, strong):
    weak = 1 - strong
    sk, wk = pos.king[strong], pos.king[weak]
    kinds = pos.kinds(strong)
    if pos.material[strong] == 0 and pos.material[weak] == 0:
        v = 0
    elif kinds == [N, B]:
        ns = [s for s in pos.pieces[strong] if pos.code(s) == N][0]
        bs = [s for s in pos.pieces[strong] if pos.code(s) == B][0]
        corners = [c for c in (0, 7, 56, 63) if is_dark(c) == is_dark(bs)]
        edge = min(file_of(wk), 7 - file_of(wk), rank_of(wk), 7 - rank_of(wk))
        v = (-3 * kdist(sk, wk) - kdist(sk, ns) - taxi(sk, wk) - 16 * edge
             + 8 * (125 - min(kdist(c, wk) for c in corners)))
    elif kinds == [N, N] or pos.piece_mat[strong] < VALUES[R]:
        v = 0
    elif kinds == [B, B] and len({is_dark(s) for s in pos.pieces[strong]}) == 1:
        v = 0
    else:
        d = kdist(sk, wk) if OPTIONS["no_pawns_distance"] == "king" else taxi(sk, wk)
        v = (50 - d) * 10 - CENTRE_T[wk] + pos.piece_mat[strong]
    return v if stm == strong else -v


def eval_king_vs_pawns(pos, stm, strong):
    weak = 1 - strong
    if pos.material[strong] == 0:
        return 0
    if len(pos.pawns[strong]) == 1:
        v = eval_kpk(pos, strong, stm)
        return v if stm == strong else -v
    sk, wk = pos.king[strong], pos.king[weak]
    total = 0
    for s in pos.pawns[strong]:
        f = file_of(s)
        rank = rank_of(s)
        v = 5 if f in (0, 7) else 150
        if strong == WHITE:
            r = rank - (1 if stm == weak else 0)
            caught = not (rank_of(wk) < r or kdist(s, wk) >= 8 - r)
            if not caught:
                v = (rank * 5 + 50) * 10
        else:
            r = rank + (1 if stm == weak else 0)
            caught = not (rank_of(wk) > r or kdist(s, wk) >= r + 1)
            if not caught:
                v = (17 - rank) * 50
        if caught:
            v += 10 * (rel_rank(strong, s) - 1)
        fs = front_square(strong, s)
        if rel_rank(strong, s) == 1:
            fs = front_square(strong, fs)
        v += 8 * (taxi(wk, fs) - taxi(sk, fs))
        if v < 100:
            v = 0
        total += v
    return total if stm == strong else -total


def rook_pawn_draw(pos, strong, corner_file, stm):
    pawns = pos.pawns[strong]
    if not pawns:
        return False
    weak = 1 - strong
    rear = min(pawns, key=lambda s: rel_rank(strong, s))
    for t in pos.pawns[weak]:
        if file_of(t) == file_of(rear) and rel_rank(strong, t) > rel_rank(strong, rear):
            return False
    corner = corner_file + (56 if strong == WHITE else 0)
    wk, sk = pos.king[weak], pos.king[strong]
    if kdist(wk, corner) <= 1:
        return True
    lead = max(pawns, key=lambda s: rel_rank(strong, s))
    d = min(kdist(lead, corner), 5, kdist(sk, corner))
    limit = d - 1 if stm == strong else d
    return kdist(wk, corner) < limit


def play_marks(start_fen, moves):
    """Touch counters and castled flags after `moves` (uci texts) from `start_fen`:
    a move touches its origin, a capture also its destination; castling only sets the flag."""
    pos = Pos(start_fen)
    moved, castled = list(pos.moved), [0, 0]
    board = list(pos.board)
    for m in moves:
        a = _sq(m[0:2])
        b = _sq(m[2:4])
        c, code = board[a]
        if code == K and abs(b - a) == 2:
            castled[c] = 1
            rook_from, rook_to = (a + 3, b - 1) if b > a else (a - 4, b + 1)
            board[rook_to], board[rook_from] = board[rook_from], None
        elif code == P and file_of(a) != file_of(b) and board[b] is None:
            moved[a] += 1
            board[b - 8 if c == WHITE else b + 8] = None
        else:
            if board[b] is not None:
                moved[b] += 1
            moved[a] += 1
        board[b], board[a] = board[a], None
        if len(m) > 4:
            board[b] = (c, LETTERS[m[4].lower()])
    return moved, castled


def evaluate_full(fen, opts=None, played=None):
    opts = dict(OPTIONS, **(opts or {}))
    pos = Pos(fen, played)
    stm = pos.stm
    bd = {}
    # bare king against pawns or pieces
    for weak in (WHITE, BLACK):
        strong = 1 - weak
        if not pos.pawns[0] or not pos.pawns[1]:
            if not pos.men[weak]:
                if pos.pawns[strong] and not pos.pieces[strong]:
                    v = eval_king_vs_pawns(pos, stm, strong)
                    return v, {"path": "king against pawns", "total_white": v if stm == WHITE else -v}
                if pos.pieces[strong] and not pos.pawns[strong]:
                    v = eval_no_pawns(pos, stm, strong)
                    return v, {"path": "king against pieces", "total_white": v if stm == WHITE else -v}
    ctx = Ctx(pos, opts)
    p = eval_pieces(ctx)
    bd = ctx.bd
    bd["stage"] = ctx.stage
    bd["material"] = pos.material[0] - pos.material[1]
    bd["positional"] = p
    score = pos.material[0] - pos.material[1] + p
    strong = WHITE if score >= 1 else BLACK
    if score == 0 and opts["even_score_pawnless_strong"] and not pos.pawns[WHITE] and pos.pawns[BLACK]:
        strong = WHITE
    weak = 1 - strong
    before = score
    if not pos.pawns[strong]:
        if pos.piece_mat[strong] < VALUES[R]:
            if pos.pawns[weak]:
                score = tdiv(score - 500, 16) if strong == WHITE else tdiv(score + 500, 16)
            else:
                score = 0
        else:
            diff = pos.piece_mat[strong] - pos.piece_mat[weak]
            kinds = pos.kinds(strong)
            bsq = [s for s in pos.pieces[strong] if pos.code(s) == B]
            if ((diff <= VALUES[B] and (kinds != [Q] or diff < 200)) or kinds == [N, N]
                    or (kinds == [B, B] and is_dark(bsq[0]) == is_dark(bsq[1]))):
                score = tdiv(score, 4)
    elif pos.kinds(strong) == [B]:
        bs = [s for s in pos.pieces[strong] if pos.code(s) == B][0]
        light = not is_dark(bs)
        if strong == WHITE:
            rf = 7 if light else 0
        else:
            rf = 0 if light else 7
        all_on = all(file_of(s) == rf for s in pos.pawns[strong])
        other = pos.pieces[weak]
        alt = (pos.kinds(weak) == [B] and is_dark(other[0]) != is_dark(bs) and len(pos.pawns[strong]) == 2
               and any(file_of(s) == rf for s in pos.pawns[strong]))
        if (all_on or alt) and rook_pawn_draw(pos, strong, rf, stm):
            bd["path"] += "; wrong bishop draw"
            score = 0
    elif not pos.pieces[0] and not pos.pieces[1]:
        first = 7 if strong == WHITE else 0
        for rf in (first, 7 - first):
            if all(file_of(s) == rf for s in pos.pawns[strong]) and rook_pawn_draw(pos, strong, rf, stm):
                bd["path"] += "; rook pawn draw"
                score = 0
                break
    if score != before:
        bd["ending_scale_adjust"] = score - before
    bd["total_white"] = score
    return (score if stm == WHITE else -score), bd


def evaluate(fen, opts=None, played=None):
    """Score for the side to move; `played` = play_marks(...) for a position reached by moves."""
    return evaluate_full(fen, opts, played)[0]


def breakdown(fen, opts=None, played=None):
    """White-view contribution of each term group, the path taken and the scaling applied."""
    return evaluate_full(fen, opts, played)[1]


# ---------------------------------------------------------------- king, pawn and king win table

def _kpk_generate():
    """Retrograde analysis; pawn side is White moving up, pawn on files a..d, ranks 2..7.
    Returns a bytearray indexed (stm + 2 * (pidx + 24 * (wk + 64 * sk))), 1 = win."""
    king_moves = [[t for t in (step(s, df, dr) for df in (-1, 0, 1) for dr in (-1, 0, 1)
                               if df or dr) if t is not None] for s in range(64)]
    pawn_squares = [f + 8 * r for r in range(1, 7) for f in range(4)]
    pidx = {p: 4 * (rank_of(p) - 1) + file_of(p) for p in pawn_squares}

    def idx(stm, p, wk, sk):
        return stm + 2 * (pidx[p] + 24 * (wk + 64 * sk))

    def pawn_attacks(p):
        return [t for t in (step(p, -1, 1), step(p, 1, 1)) if t is not None]

    def placements():
        """(pawn, pawn's attacks, strong king, weak king) with the men on distinct squares
        and the kings apart."""
        for p in pawn_squares:
            pa = set(pawn_attacks(p))
            for sk in range(64):
                for wk in range(64):
                    if len({p, sk, wk}) == 3 and kdist(wk, sk) >= 2:
                        yield p, pa, sk, wk

    all_placements = list(placements())
    win = bytearray(2 * 24 * 4096)
    valid = bytearray(2 * 24 * 4096)
    for p, pa, sk, wk in all_placements:
        if wk not in pa:              # White to move: Black must not be in check
            valid[idx(0, p, wk, sk)] = 1
        valid[idx(1, p, wk, sk)] = 1

    def queen_wins(q, wk, sk):
        """After promotion on q with Black to move: win unless Black takes the queen or is stalemated."""
        if kdist(wk, q) == 1 and kdist(sk, q) > 1:
            return False          # queen hangs
        # queen attacks (blocked by the white king)
        att = set()
        for df, dr in ((1, 0), (-1, 0), (0, 1), (0, -1), (1, 1), (1, -1), (-1, 1), (-1, -1)):
            t = step(q, df, dr)
            while t is not None:
                att.add(t)
                if t == sk:
                    break
                t = step(t, df, dr)
        in_check = wk in att
        for t in king_moves[wk]:
            if t in att or kdist(t, sk) < 2:
                continue
            return True           # Black has a move: assume the queen wins
        return in_check           # mate, else stalemate

    changed = True
    while changed:
        changed = False
        for p, pa, sk, wk in all_placements:
            i0 = idx(0, p, wk, sk)
            if valid[i0] and not win[i0]:
                ok = False
                for t in king_moves[sk]:
                    if t != p and kdist(t, wk) >= 2 and win[idx(1, p, wk, t)]:
                        ok = True
                        break
                if not ok:
                    t = p + 8
                    if t != wk and t != sk:
                        if rank_of(t) == 7:
                            ok = queen_wins(t, wk, sk)
                        else:
                            ok = bool(win[idx(1, t, wk, sk)])
                            if not ok and rank_of(p) == 1 and t + 8 not in (wk, sk):
                                ok = bool(win[idx(1, t + 8, wk, sk)])
                if ok:
                    win[i0] = 1
                    changed = True
            i1 = idx(1, p, wk, sk)
            if valid[i1] and not win[i1]:
                moves = 0
                lost = True
                for t in king_moves[wk]:
                    if kdist(t, sk) < 2 or t in pa:
                        continue
                    moves += 1
                    if t == p or not win[idx(0, p, t, sk)]:   # takes the pawn, or a drawn square
                        lost = False
                        break
                if lost and moves > 0:
                    win[i1] = 1
                    changed = True
    return win


if __name__ == "__main__":
    import sys
    for line in sys.stdin:
        line = line.strip()
        if line:
            v, bd = evaluate_full(line)
            print(v, bd)
