#!/usr/bin/env python3
"""Tests of the search reference (tools/search_reference): its board, generator and table
against the engine's written rules, and its searches against the engine itself.

    search_reference_test.py [path of the orvik binary]

Without a binary the comparison with the engine is skipped."""

import os
import random
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(TOP, "bench"))
sys.path.insert(0, os.path.join(TOP, "tools", "search_reference"))

import search_compare  # noqa: E402
import search_reference as sr  # noqa: E402

ENGINE = None
START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"


def sq(name):
    return "abcdefgh".index(name[0]) + 8 * (int(name[1]) - 1)


def find(searcher, side, text):
    for m, _ in searcher.generate(side, 0):
        if sr.move_text(m) == text:
            return m
    raise AssertionError("no move %s" % text)


def snapshot(b):
    return (list(b.piece), list(b.color), sorted(b.plist[0][1:]), sorted(b.plist[1][1:]), b.plist[0][0],
            b.plist[1][0], list(b.material), list(b.pawn_mat), list(b.piece_mat), [list(x) for x in b.pof],
            list(b.moved), list(b.castled), b.rights, b.ep, b.key, b.last_irr, b.ply)


class BoardTest(unittest.TestCase):
    def test_random_games_keep_the_key_and_take_back_exactly(self):
        rng = random.Random(7)
        for fen in (START, "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
                    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1"):
            s = sr.Searcher(fen)
            b = s.b
            side = b.side
            made = []
            for _ in range(60):
                moves = [m for m, _ in s.legal_moves(side, 0)]
                if not moves:
                    break
                before = snapshot(b)
                m = rng.choice(moves)
                b.make(side, m)
                key = b.key
                lists = [list(b.plist[0]), list(b.plist[1])]
                b.recompute()
                self.assertEqual(b.key, key, "incremental key after %s" % sr.move_text(m))
                b.plist, b.lidx = lists, b.lidx
                for c in (0, 1):
                    for i, q in enumerate(b.plist[c]):
                        b.lidx[q] = i
                b.unmake(side, m)
                self.assertEqual(snapshot(b), before, "take-back of %s" % sr.move_text(m))
                b.make(side, m)
                made.append((side, m))
                side ^= 1
            for side, m in reversed(made):
                b.unmake(side, m)
            self.assertEqual(b.key, sr.Board(fen).key)

    def test_repetitions_counted_from_the_set_up_position(self):
        s = sr.Searcher(START)
        got = []
        for side, text in ((0, "g1f3"), (1, "g8f6"), (0, "f3g1"), (1, "f6g8")):
            got.append(s.b.make(side, find(s, side, text)))
        self.assertEqual(got, [0, 0, 0, 1])

    def test_en_passant_square_only_beside_an_enemy_pawn(self):
        s = sr.Searcher(START)
        s.b.make(0, find(s, 0, "e2e4"))
        self.assertEqual(s.b.ep, -1)
        s = sr.Searcher("rnbqkbnr/ppp1pppp/8/8/3p4/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1")
        s.b.make(0, find(s, 0, "e2e4"))
        self.assertEqual(s.b.ep, sq("e3"))
        self.assertIn("d4e3", [sr.move_text(m) for m, _ in s.generate(1, 0)])

    def test_captured_rook_square_ends_the_right_for_good(self):
        s = sr.Searcher("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1")
        s.b.make(0, find(s, 0, "h1h8"))
        self.assertEqual(s.b.rights & 8, 0)
        self.assertEqual(s.b.rights & 1, 1)


class GeneratorTest(unittest.TestCase):
    def test_move_counts_and_orders(self):
        s = sr.Searcher(START)
        self.assertEqual(len(s.generate(0, 0)), 20)
        s = sr.Searcher("2n1n2k/3P4/8/8/8/8/8/K7 w - - 0 1")
        moves = [sr.move_text(m) for m, _ in s.generate(0, 0) if (m & 63) == sq("d7")]
        self.assertEqual(moves, ["d7d8q", "d7d8n", "d7d8r", "d7d8b", "d7c8q", "d7c8n", "d7c8r", "d7c8b",
                                 "d7e8q", "d7e8n", "d7e8r", "d7e8b"])
        caps = [(sr.move_text(m), v) for m, v in s.generate_captures(0)]
        self.assertEqual(caps, [("d7c8q", 2 * 300 + 999 + 200), ("d7e8q", 2 * 300 + 999 + 200), ("d7d8q", 999)])

    def test_capture_values(self):
        self.assertEqual(sr.MVV_LVA[sr.P][sr.P], 10 << 17)
        self.assertEqual(sr.MVV_LVA[sr.P][sr.Q], 254 << 17)
        self.assertEqual(sr.MVV_LVA[sr.Q][sr.P], 5 << 17)

    def test_no_castling_through_or_out_of_check(self):
        through = sr.Searcher("4k3/8/8/8/8/8/5r2/4K2R w K - 0 1")
        self.assertNotIn("e1g1", [sr.move_text(m) for m, _ in through.generate(0, 0)])
        out_of = sr.Searcher("4k3/8/8/8/8/8/4r3/4K2R w K - 0 1")
        self.assertNotIn("e1g1", [sr.move_text(m) for m, _ in out_of.generate(0, 0)])

    def test_selection_is_stable(self):
        lst = [[1, 5], [2, 9], [3, 5], [4, 9], [5, 1]]
        order = [sr.Searcher.select(lst, i) for i in range(len(lst))]
        self.assertEqual(order, [2, 4, 1, 3, 5])


class TableTest(unittest.TestCase):
    def test_size_and_mate_scores_across_plies(self):
        s = sr.Searcher(START, {"hash_bytes": 1000000})
        self.assertEqual(s.bucket_mult, 27776)
        s.store(0, 29800, 64, 5, 3, find(s, 0, "e2e4"))
        self.assertEqual(s.table[s.bucket(0)][0][1], 29805)
        self.assertEqual(s.probe(0, 3)[1], 29802)
        s.store(0, -29800, 64, 5, 3, 0)
        self.assertEqual(s.probe(0, 3)[1], -29802)

    def test_replacement_keeps_the_pushed_out_entry(self):
        s = sr.Searcher(START, {"hash_bytes": 1000000})
        keys = []
        bucket = s.bucket(0)
        rng = random.Random(3)
        while len(keys) < 3:   # three positions whose keys share a bucket
            s.b.key = rng.getrandbits(64)
            if s.bucket(0) == bucket:
                keys.append(s.b.key)
        for k, depth in zip(keys, (128, 64, 192)):
            s.b.key = k
            s.store(0, 10, depth, 1, 3, 0)
        slots = s.table[bucket]
        # slot 1 (the shallower) gave way; slot 2 keeps what it held
        self.assertEqual([e[3] for e in slots], [128, 192, 64])
        s.age += 1
        s.b.key = keys[0]
        self.assertIsNotNone(s.probe(0, 1))   # the probe refreshes the age of slot 0
        self.assertEqual(slots[0][4], s.age)

    def test_age_wraps_without_touching_learned_entries(self):
        s = sr.Searcher(START)
        s.store(0, 0, 64, 1, 3, 0)
        s.table[s.bucket(0)][0][4] = 127
        for _ in range(126):
            s.new_search()
        self.assertEqual(s.age, 36)
        self.assertEqual(s.table[s.bucket(0)][0][4], 127)


class BitbaseRulesTest(unittest.TestCase):
    # (position, class, score for the side to move); classes: 0 none, 1 exact, 2 lower, 3 upper
    ANSWERS = [
        ("8/8/8/4k3/8/8/8/K7 w - - 0 1", 1, 0),            # bare kings
        ("8/8/8/4k3/8/8/8/K5n1 w - - 0 1", 1, 0),          # a minor alone
        ("8/8/8/4k3/8/8/8/K5R1 w - - 0 1", 0, 0),          # rows that need a file
        ("8/8/8/8/1k6/8/P7/K2R4 w - - 0 1", 2, 1000),      # rook and pawn, stronger to move
        ("8/8/8/8/1k6/8/P7/K2R4 b - - 0 1", 3, 0),
        ("k2r4/p7/8/1K6/8/8/8/8 b - - 0 1", 2, 1000),      # the same with Black's men
        ("8/8/8/4k3/8/8/8/KQ4N1 b - - 0 1", 3, 0),
        ("8/8/8/4k3/8/8/8/KQ4B1 w - - 0 1", 0, 0),         # queen and bishop: no row
        ("8/8/8/4k3/8/8/8/KBN5 w - - 0 1", 0, 0),
        # minor against minor: drawn, but not where the cornered side can be mated
        ("8/8/8/8/3n4/8/N1k5/K7 b - - 0 1", 0, 0),
        ("8/8/8/8/3n4/8/N1k5/K7 w - - 0 1", 0, 0),
        ("7K/5k1N/8/4n3/8/8/8/8 b - - 0 1", 0, 0),        # the same in another corner
        ("8/8/8/8/3n4/8/N1k5/1K6 b - - 0 1", 1, 0),
        ("8/8/8/8/8/1k6/8/KN2b3 w - - 0 1", 0, 0),         # Black's bishop: colours exchanged
        ("8/8/8/8/8/1k6/8/KN2b3 b - - 0 1", 0, 0),
        ("8/8/8/8/8/8/8/KNk1b3 w - - 0 1", 1, 0),
        ("8/8/8/8/5b2/2k5/B7/K7 w - - 0 1", 0, 0),         # bishops: the king on c3 too
        ("8/8/8/8/5b2/3k4/B7/K7 w - - 0 1", 1, 0),
        # two knights: a bound 0 with the bare king on the edge two squares away
        ("k7/8/1K6/8/8/2N5/8/4N3 w - - 0 1", 2, 0),
        ("k7/8/1K6/8/8/2N5/8/4N3 b - - 0 1", 3, 0),
        ("8/1k6/8/1K6/8/2N5/8/4N3 w - - 0 1", 1, 0),
        ("8/8/1k6/8/1K6/2N5/8/4N3 w - - 0 1", 1, 0),
        # two bishops: same colour, edge and distance 2, the stronger or the weaker to move
        ("8/8/8/3k4/8/8/8/K3B1B1 w - - 0 1", 1, 0),
        ("k7/8/2K5/8/8/8/8/4BB2 b - - 0 1", 3, 0),
        ("8/8/8/3k4/8/8/8/K3BB2 w - - 0 1", 2, 800),
        ("8/8/8/3k4/8/8/8/K3BB2 b - - 0 1", 3, -800),
        ("8/8/8/3k4/4B3/8/8/K5B1 b - - 0 1", 3, 0),        # the bare king may take a bishop
        ("8/8/8/3k4/8/8/1B6/KB6 b - - 0 1", 3, -800),      # bishops beside their own king
    ]

    def test_answers(self):
        for fen, kind, score in self.ANSWERS:
            s = sr.Searcher(fen)
            self.assertEqual(sr.bitbase_rules(s.b, s.b.side), (kind, score), fen)

    def test_search_takes_bounds_and_keeps_the_ceiling(self):
        fen = "8/8/8/3k4/4B3/8/8/K5B1 b - - 0 1"
        s = sr.Searcher(fen)
        s.iteration_depth, s.check_ply_limit, s.repcheck_ply_limit = 2, 6, 4
        self.assertEqual(s.search(-30001, 30001, 1, 128, 2, 0, 0)[0], 0)   # Kxe4, a draw
        self.assertEqual((s.bb_probes, s.bb_hits), (2, 2))
        # with the other reading the bound (-800) lies below the draw: the ceiling holds
        sr.READINGS["kbbk_bishop_beside"] = "own"
        try:
            s = sr.Searcher(fen)
            s.iteration_depth, s.check_ply_limit, s.repcheck_ply_limit = 2, 6, 4
            self.assertEqual(s.search(-30001, 30001, 1, 128, 2, 0, 0), (-800, [sr.NO_MOVE]))
            self.assertEqual(s.qsearch(-30001, 30001, 1, 2, 0), (-800, [sr.NO_MOVE]))
            self.assertIsNone(s.probe(1, 2))   # capped results are not stored
        finally:
            sr.READINGS["kbbk_bishop_beside"] = "lone"
        s = sr.Searcher("8/8/8/8/1k6/8/P7/K2R4 w - - 0 1")
        s.iteration_depth, s.check_ply_limit, s.repcheck_ply_limit = 2, 6, 4
        self.assertEqual(s.search(-30001, 1000, 0, 128, 2, 0, 0), (1000, [sr.BB_MARK]))
        self.assertEqual(s.search(-30001, 30001, 0, 64, 2, 0, 0)[1], [sr.BB_MARK, sr.PV_END])
        s = sr.Searcher("8/8/8/3k4/4B3/8/8/K5B1 b - - 0 1", {"bitbase_rules": False})
        s.iteration_depth, s.check_ply_limit, s.repcheck_ply_limit = 2, 6, 4
        self.assertEqual(s.search(-30001, 30001, 1, 128, 2, 0, 0)[1][0] & 0xFFF, sr.sqn("d5") | sr.sqn("e4") << 6)
        self.assertEqual(s.bb_probes, 0)


class SearchTest(unittest.TestCase):
    def test_mates_and_stalemate_at_the_root(self):
        out = sr.Searcher("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1").think(2)
        self.assertEqual((out[-1]["score"], out[-1]["pv"][0]), (29999, "a1a8"))
        self.assertEqual(sr.Searcher("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1").think(2), [])

    def test_quiescence_check_modes(self):
        # White to move is mated (back rank); reached as a quiescence check node at ply 3.
        fen = "6k1/8/8/8/8/8/5PPP/3r2K1 w - - 0 1"
        s = sr.Searcher(fen, {"qsearch_mask": 2})
        self.assertEqual(s.qsearch_check(-30001, 30001, 0, 0, 3, 0)[0], 3 - 30000)
        s = sr.Searcher(fen, {"qsearch_mask": 0})
        self.assertEqual(s.qsearch_check(-500, 500, 0, 0, 3, 0)[0], -500)

    def test_no_check_detected_with_mask_zero(self):
        s = sr.Searcher("6k1/8/8/8/8/8/5PPP/3r2K1 w - - 0 1", {"qsearch_mask": 0})
        s.b.hist[s.b.ply].flags = sr.F_CHECK
        s.qsearch_node(-30001, 30001, 0, 0, 3)
        self.assertEqual(s.nodes, 1)   # stand pat, no capture, no check node

    def test_captures_stop_eight_levels_below_the_entry(self):
        # a long chain of captures on one square: the nodes below the limit only stand pat
        fen = "3r3k/3r4/3q4/8/3p4/8/3R4/3RQ1K1 w - - 0 1"
        s = sr.Searcher(fen, {"qsearch_mask": 0})
        s.qsearch_node(-30001, 30001, 0, -8, 3)
        self.assertEqual(s.nodes, 1)
        s = sr.Searcher(fen, {"qsearch_mask": 0})
        s.qsearch_node(-30001, 30001, 0, -7, 3)
        self.assertGreater(s.nodes, 1)

    def test_fifty_moves_and_positions_without_moves(self):
        s = sr.Searcher("4k3/8/8/8/8/8/4R3/4K3 b - - 0 1")
        s.iteration_depth, s.check_ply_limit, s.repcheck_ply_limit = 2, 6, 4
        s.b.last_irr = -100
        self.assertEqual(s.search(-30001, 30001, 1, 128, 1, 0, 0), (0, [sr.NO_MOVE]))
        self.assertEqual(s.nodes, 0)   # a draw before the node counts
        s.b.hist[s.b.ply].flags = sr.F_CHECK   # the last move gave check: it gets answered
        s.search(-30001, 30001, 1, 128, 1, 0, 0)
        self.assertEqual(s.nodes, 1)   # searched; its replies, giving no check, are draws
        mated = sr.Searcher("R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1")
        mated.b.hist[0].flags = sr.F_CHECK
        mated.iteration_depth, mated.check_ply_limit, mated.repcheck_ply_limit = 2, 6, 4
        self.assertEqual(mated.search(-30001, 30001, 1, 64, 3, 0, 0)[0], 3 - 30000)

    def test_null_move_cut_is_stored_and_refused_where_null_moves_are_not(self):
        s = sr.Searcher("r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4")
        s.iteration_depth, s.check_ply_limit, s.repcheck_ply_limit = 4, 12, 8
        s.lazy_margin = [60, 60]
        v, pv = s.search(-2000, -1999, 0, 256, 2, 0, 0)
        self.assertEqual(pv[0], 0)
        bound, _, move, _ = s.probe(0, 2)
        self.assertEqual((bound & 0xF, move), (2, sr.NULL_HASH))
        nodes = s.nodes
        s.search(-2000, -1999, 0, 256, 2, 1, 0)
        self.assertGreater(s.nodes, nodes + 1)   # no cut from the null-move entry

    @unittest.skipIf(ENGINE is None and len(sys.argv) < 2, "no engine binary given")
    def test_engine_and_reference_search_the_same_trees(self):
        fens = ["r1bq1rk1/2pp1pp1/p2b3p/np1N4/3pP3/1B3N2/PPP2PPP/R2Q1RK1 w - - 0 13",
                "2rr3k/pp3pp1/1nnqbN1p/3pN3/2pP4/2P3Q1/PPB4P/R4RK1 w - - 0 1",
                "r2q1rk1/1pp1b1pp/p1npb3/5p2/2PpPB2/N2P4/PP1QBPPP/R4RK1 w - f6 0 13",
                "8/1p3k2/p1p5/2P1p3/1P2P3/P4K2/8/8 w - - 0 45"]
        runs = [(fen, 4, settings) for settings in ({}, {"qexact": 6, "prune": 0}) for fen in fens]
        # endings answered by the built-in bitbase rules; those without pawns only, since
        # the reference's first pawn ending costs seconds of table building
        runs += [(fen, 5, {}) for fen in search_compare.FEW_MEN if "P" not in fen.split()[0]]
        for fen, depth, settings in runs:
            eng, _ = search_compare.engine_lines(ENGINE, fen, depth, settings, [])
            ref = search_compare.reference_lines((fen, depth, settings, []))
            self.assertEqual([(e["depth"], e["nodes"], e["score"], e["pv"]) for e in eng],
                             [(r["depth"], r["nodes"], search_compare.xboard_score(r["score"]), r["pv"])
                              for r in ref], "%s %s" % (fen, settings))


if __name__ == "__main__":
    if len(sys.argv) > 1:
        ENGINE = sys.argv.pop(1)
    unittest.main()
