"""Compact chess rules for the match runner: FEN, legal moves, check, game end,
coordinate and SAN move text. Squares are 0..63 with a1 = 0, h8 = 63."""

START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"

KNIGHT_STEPS = [(1, 2), (2, 1), (2, -1), (1, -2), (-1, -2), (-2, -1), (-2, 1), (-1, 2)]
KING_STEPS = [(1, 0), (1, 1), (0, 1), (-1, 1), (-1, 0), (-1, -1), (0, -1), (1, -1)]
ROOK_DIRS = [(1, 0), (-1, 0), (0, 1), (0, -1)]
BISHOP_DIRS = [(1, 1), (1, -1), (-1, 1), (-1, -1)]


def sq_name(sq):
    return "abcdefgh"[sq & 7] + str((sq >> 3) + 1)


def sq_index(name):
    if len(name) != 2 or name[0] not in "abcdefgh" or name[1] not in "12345678":
        return None
    return "abcdefgh".index(name[0]) + 8 * (int(name[1]) - 1)


def colour_of(piece):
    return "w" if piece.isupper() else "b"


class Move:
    __slots__ = ("frm", "to", "promo", "castle", "ep")

    def __init__(self, frm, to, promo=None, castle=False, ep=False):
        self.frm, self.to, self.promo, self.castle, self.ep = frm, to, promo, castle, ep

    def uci(self):
        return sq_name(self.frm) + sq_name(self.to) + (self.promo.lower() if self.promo else "")

    def __eq__(self, other):
        return isinstance(other, Move) and (self.frm, self.to, self.promo) == (other.frm, other.to, other.promo)

    def __hash__(self):
        return hash((self.frm, self.to, self.promo))

    def __repr__(self):
        return self.uci()


class Position:
    def __init__(self, fen=START_FEN):
        self.set_fen(fen)

    # ---- set-up --------------------------------------------------------------
    def set_fen(self, fen):
        parts = fen.split()
        if len(parts) < 4:
            raise ValueError("FEN needs at least four fields: " + fen)
        rows = parts[0].split("/")
        if len(rows) != 8:
            raise ValueError("FEN board needs eight ranks: " + fen)
        self.board = ["."] * 64
        for r, row in enumerate(rows):
            rank = 7 - r
            f = 0
            for c in row:
                if c.isdigit():
                    f += int(c)
                elif c in "PNBRQKpnbrqk":
                    if f > 7:
                        raise ValueError("FEN rank too long: " + fen)
                    self.board[rank * 8 + f] = c
                    f += 1
                else:
                    raise ValueError("bad FEN letter %r" % c)
            if f != 8:
                raise ValueError("FEN rank of wrong length: " + fen)
        self.side = parts[1]
        if self.side not in ("w", "b"):
            raise ValueError("bad side to move: " + fen)
        self.castling = "" if parts[2] == "-" else parts[2]
        self.ep = None if parts[3] == "-" else sq_index(parts[3])
        self.halfmove = int(parts[4]) if len(parts) > 4 else 0
        self.fullmove = int(parts[5]) if len(parts) > 5 else 1
        self.history = [self.key()]

    def fen(self):
        rows = []
        for rank in range(7, -1, -1):
            row, empty = "", 0
            for f in range(8):
                p = self.board[rank * 8 + f]
                if p == ".":
                    empty += 1
                else:
                    if empty:
                        row += str(empty)
                        empty = 0
                    row += p
            if empty:
                row += str(empty)
            rows.append(row)
        return "%s %s %s %s %d %d" % ("/".join(rows), self.side, self.castling or "-",
                                      sq_name(self.ep) if self.ep is not None else "-", self.halfmove, self.fullmove)

    def copy(self):
        p = Position.__new__(Position)
        p.board = self.board[:]
        p.side, p.castling, p.ep = self.side, self.castling, self.ep
        p.halfmove, p.fullmove = self.halfmove, self.fullmove
        p.history = self.history[:]
        return p

    # ---- attacks -------------------------------------------------------------
    def attacked(self, sq, by):
        """Whether side `by` ("w"/"b") attacks square `sq`."""
        b = self.board
        f0, r0 = sq & 7, sq >> 3
        pawn, knight, bishop, rook, queen, king = ("PNBRQK" if by == "w" else "pnbrqk")
        dr = -1 if by == "w" else 1   # a white pawn attacking sq stands one rank below
        for df in (-1, 1):
            f, r = f0 + df, r0 + dr
            if 0 <= f < 8 and 0 <= r < 8 and b[r * 8 + f] == pawn:
                return True
        for df, dr2 in KNIGHT_STEPS:
            f, r = f0 + df, r0 + dr2
            if 0 <= f < 8 and 0 <= r < 8 and b[r * 8 + f] == knight:
                return True
        for df, dr2 in KING_STEPS:
            f, r = f0 + df, r0 + dr2
            if 0 <= f < 8 and 0 <= r < 8 and b[r * 8 + f] == king:
                return True
        for dirs, sliders in ((ROOK_DIRS, (rook, queen)), (BISHOP_DIRS, (bishop, queen))):
            for df, dr2 in dirs:
                f, r = f0 + df, r0 + dr2
                while 0 <= f < 8 and 0 <= r < 8:
                    p = b[r * 8 + f]
                    if p != ".":
                        if p in sliders:
                            return True
                        break
                    f += df
                    r += dr2
        return False

    def king_square(self, side):
        k = "K" if side == "w" else "k"
        for i, p in enumerate(self.board):
            if p == k:
                return i
        return None

    def in_check(self, side=None):
        side = side or self.side
        k = self.king_square(side)
        return k is not None and self.attacked(k, "b" if side == "w" else "w")

    # ---- moves ---------------------------------------------------------------
    def pseudo_moves(self):
        b, side = self.board, self.side
        own = str.isupper if side == "w" else str.islower
        moves = []
        for sq, p in enumerate(b):
            if p == "." or not own(p):
                continue
            f0, r0 = sq & 7, sq >> 3
            kind = p.upper()
            if kind == "P":
                dr = 1 if side == "w" else -1
                start_rank = 1 if side == "w" else 6
                last_rank = 7 if side == "w" else 0
                r = r0 + dr
                if 0 <= r < 8:
                    to = r * 8 + f0
                    if b[to] == ".":
                        self._pawn_move(moves, sq, to, r == last_rank)
                        if r0 == start_rank and b[(r0 + 2 * dr) * 8 + f0] == ".":
                            moves.append(Move(sq, (r0 + 2 * dr) * 8 + f0))
                    for df in (-1, 1):
                        f = f0 + df
                        if 0 <= f < 8:
                            to = r * 8 + f
                            if b[to] != "." and not own(b[to]):
                                self._pawn_move(moves, sq, to, r == last_rank)
                            elif to == self.ep:
                                moves.append(Move(sq, to, ep=True))
            elif kind in "NK":
                for df, dr in (KNIGHT_STEPS if kind == "N" else KING_STEPS):
                    f, r = f0 + df, r0 + dr
                    if 0 <= f < 8 and 0 <= r < 8:
                        to = r * 8 + f
                        if b[to] == "." or not own(b[to]):
                            moves.append(Move(sq, to))
            else:
                dirs = (ROOK_DIRS if kind == "R" else BISHOP_DIRS if kind == "B" else ROOK_DIRS + BISHOP_DIRS)
                for df, dr in dirs:
                    f, r = f0 + df, r0 + dr
                    while 0 <= f < 8 and 0 <= r < 8:
                        to = r * 8 + f
                        if b[to] == ".":
                            moves.append(Move(sq, to))
                        else:
                            if not own(b[to]):
                                moves.append(Move(sq, to))
                            break
                        f += df
                        r += dr
        # Castling.
        enemy = "b" if side == "w" else "w"
        home = 0 if side == "w" else 56
        king = "K" if side == "w" else "k"
        rook = "R" if side == "w" else "r"
        short_right, long_right = ("K", "Q") if side == "w" else ("k", "q")
        if b[home + 4] == king and not self.attacked(home + 4, enemy):
            if (short_right in self.castling and b[home + 7] == rook and b[home + 5] == "." and b[home + 6] == "."
                    and not self.attacked(home + 5, enemy) and not self.attacked(home + 6, enemy)):
                moves.append(Move(home + 4, home + 6, castle=True))
            if (long_right in self.castling and b[home] == rook and b[home + 1] == "." and b[home + 2] == "."
                    and b[home + 3] == "." and not self.attacked(home + 3, enemy) and not self.attacked(home + 2, enemy)):
                moves.append(Move(home + 4, home + 2, castle=True))
        return moves

    @staticmethod
    def _pawn_move(moves, frm, to, promotes):
        if promotes:
            for q in "QRBN":
                moves.append(Move(frm, to, promo=q))
        else:
            moves.append(Move(frm, to))

    def legal_moves(self):
        result = []
        for m in self.pseudo_moves():
            child = self.copy()
            child._apply(m)
            if not child.in_check(self.side):
                result.append(m)
        return result

    def _apply(self, m):
        """Makes the move on the board without legality tests or history."""
        b = self.board
        p = b[m.frm]
        captured = b[m.to]
        b[m.to] = p
        b[m.frm] = "."
        if m.ep:
            b[m.to - 8 if self.side == "w" else m.to + 8] = "."
            captured = "p"
        if m.promo:
            b[m.to] = m.promo if self.side == "w" else m.promo.lower()
        if m.castle:
            home = m.frm - 4
            if m.to == home + 6:
                b[home + 5], b[home + 7] = b[home + 7], "."
            else:
                b[home + 3], b[home] = b[home], "."
        rights = self.castling
        for sq, lose in ((4, "KQ"), (60, "kq"), (0, "Q"), (7, "K"), (56, "q"), (63, "k")):
            if m.frm == sq or m.to == sq:
                rights = "".join(c for c in rights if c not in lose)
        self.castling = rights
        self.ep = None
        if p.upper() == "P" and abs(m.to - m.frm) == 16:
            self.ep = (m.frm + m.to) // 2
        self.halfmove = 0 if (p.upper() == "P" or captured != ".") else self.halfmove + 1
        if self.side == "b":
            self.fullmove += 1
        self.side = "b" if self.side == "w" else "w"

    def push(self, m):
        self._apply(m)
        self.history.append(self.key())

    def key(self):
        """Position identity for repetitions: an en-passant square counts only when a
        capture there is possible."""
        ep = None
        if self.ep is not None:
            pawn = "P" if self.side == "w" else "p"
            f, r = self.ep & 7, self.ep >> 3
            r_from = r - 1 if self.side == "w" else r + 1
            for df in (-1, 1):
                if 0 <= f + df < 8 and self.board[r_from * 8 + f + df] == pawn:
                    ep = self.ep
        return ("".join(self.board), self.side, self.castling, ep)

    # ---- move text -----------------------------------------------------------
    def parse_coordinate(self, text):
        """Legal move for a coordinate text ("e2e4", "e7e8q", "e7e8Q", "e7e8=Q"), or None."""
        t = text.strip().replace("=", "")
        if len(t) < 4:
            return None
        frm, to = sq_index(t[0:2].lower()), sq_index(t[2:4].lower())
        if frm is None or to is None:
            return None
        promo = t[4:5].upper() or None
        if len(t) > 5:
            return None
        for m in self.legal_moves():
            if m.frm == frm and m.to == to and (m.promo or None) == promo:
                return m
        return None

    def san(self, m, legal=None):
        legal = legal if legal is not None else self.legal_moves()
        p = self.board[m.frm].upper()
        if m.castle:
            text = "O-O" if (m.to & 7) == 6 else "O-O-O"
        else:
            capture = self.board[m.to] != "." or m.ep
            if p == "P":
                text = (sq_name(m.frm)[0] + "x" if capture else "") + sq_name(m.to)
                if m.promo:
                    text += "=" + m.promo
            else:
                text = p
                rivals = [o for o in legal if o.to == m.to and o.frm != m.frm and self.board[o.frm].upper() == p]
                if rivals:
                    same_file = any((o.frm & 7) == (m.frm & 7) for o in rivals)
                    same_rank = any((o.frm >> 3) == (m.frm >> 3) for o in rivals)
                    if not same_file:
                        text += sq_name(m.frm)[0]
                    elif not same_rank:
                        text += sq_name(m.frm)[1]
                    else:
                        text += sq_name(m.frm)
                text += ("x" if capture else "") + sq_name(m.to)
        child = self.copy()
        child._apply(m)
        if child.in_check():
            text += "#" if not child.legal_moves() else "+"
        return text

    def parse_san(self, text):
        t = text.strip().rstrip("+#!?")
        t = t.replace("0-0-0", "O-O-O").replace("0-0", "O-O")
        legal = self.legal_moves()
        for m in legal:
            s = self.san(m, legal).rstrip("+#")
            if s == t or s.replace("=", "") == t.replace("=", ""):
                return m
        return None

    def parse_move(self, text):
        return self.parse_coordinate(text) or self.parse_san(text)

    # ---- game end ------------------------------------------------------------
    def insufficient_material(self):
        men = [(i, p) for i, p in enumerate(self.board) if p not in ".Kk"]
        if not men:
            return True
        if len(men) == 1 and men[0][1].upper() in "NB":
            return True
        if all(p.upper() == "B" for _, p in men):
            colours = {((i & 7) + (i >> 3)) & 1 for i, _ in men}
            return len(colours) == 1
        return False

    def repetitions(self):
        return self.history.count(self.history[-1])

    def outcome(self):
        """(result, reason) when the game is over by the rules, else None."""
        if not self.legal_moves():
            if self.in_check():
                return ("0-1", "Black mates") if self.side == "w" else ("1-0", "White mates")
            return ("1/2-1/2", "Stalemate")
        if self.insufficient_material():
            return ("1/2-1/2", "Insufficient material")
        if self.halfmove >= 100:
            return ("1/2-1/2", "Fifty-move rule")
        if self.repetitions() >= 3:
            return ("1/2-1/2", "Threefold repetition")
        return None


def perft(pos, depth):
    if depth == 0:
        return 1
    total = 0
    for m in pos.legal_moves():
        child = pos.copy()
        child._apply(m)
        total += perft(child, depth - 1) if depth > 1 else 1
    return total


if __name__ == "__main__":
    # Self-check of the move generator against published counts.
    checks = [
        (START_FEN, 3, 8902),
        ("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 2, 2039),
        ("8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 3, 2812),
        ("r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 2, 264),
        ("rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 2, 1486),
    ]
    ok = True
    for fen, depth, want in checks:
        got = perft(Position(fen), depth)
        print("%-70s d%d %8d %s" % (fen[:70], depth, got, "ok" if got == want else "WRONG, want %d" % want))
        ok &= got == want
    raise SystemExit(0 if ok else 1)
