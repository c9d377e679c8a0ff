#!/usr/bin/env python3
"""The mistake finder reads the games of one engine, scores its moves from that engine's
side (a mate against it is the worst score) and picks the first move of each game that
gave a balanced position away."""
import os
import stat
import sys
import tempfile
import textwrap
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "bench"))
import mistakes  # noqa: E402

GAMES = textwrap.dedent("""\
    [Event "m"]
    [White "x"]
    [Black "y"]
    [Result "0-1"]

    1. f3 {book} e5 2. g4 Qh4# 0-1

    [Event "m"]
    [White "y"]
    [Black "x"]
    [Result "0-1"]

    1. e4 e5 2. Nf3 Nc6 3... 0-1

    [Event "m"]
    [White "y"]
    [Black "x"]
    [Result "1/2-1/2"]

    1. d4 d5 1/2-1/2
    """)

# Scores for the side to move: the start 20, after 1.f3 e5 level, 2.g4 mates at once.
ANALYSER = textwrap.dedent("""\
    import sys
    for line in sys.stdin:
        w = line.split()
        if not w: continue
        if w[0] == 'uci': print('uciok', flush=True)
        elif w[0] == 'isready': print('readyok', flush=True)
        elif w[0] == 'position':
            moves = w[w.index('moves') + 1:] if 'moves' in w else []
            board = w[2]
        elif w[0] == 'go':
            if moves == ['g2g4']: s = 'mate 1'
            elif not moves and board.startswith('rnbqkbnr/pppp1ppp/8/4p3/8/5P2'): s = 'cp 0'
            elif not moves: s = 'cp 20'
            else: s = 'cp -30'
            print('info depth 1 score %s pv a2a3' % s, flush=True)
            print('bestmove a2a3', flush=True)
        elif w[0] == 'quit': break
    """)


class ReadGames(unittest.TestCase):
    def test_moves_without_numbers_comments_or_results(self):
        games = mistakes.read_games(GAMES)
        self.assertEqual(len(games), 3)
        self.assertEqual(games[0][1], ["f3", "e5", "g4", "Qh4#"])
        self.assertEqual(games[1][1], ["e4", "e5", "Nf3", "Nc6"])
        self.assertEqual([mistakes.lost_or_drawn(t, "x") for t, _ in games], [True, False, True])
        self.assertFalse(mistakes.lost_or_drawn(games[0][0], "z"))


class FirstMistakes(unittest.TestCase):
    def test_one_per_game_and_only_from_positions_not_yet_lost(self):
        r = lambda g, ply, best, played: dict(game=g, ply=ply, best=best, played=played)
        records = [r(0, 0, 30, -60), r(0, 2, 20, -200), r(0, 4, -100, -500),
                   r(1, 1, -400, -900), r(1, 3, -149, -249),
                   r(2, 0, 0, -99)]
        picked = mistakes.first_mistakes(records, 100, 150)
        self.assertEqual([(m['game'], m['ply']) for m in picked], [(0, 2), (1, 3)])


class ScoreGame(unittest.TestCase):
    def test_played_move_is_scored_from_the_movers_side(self):
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "analyser")
            with open(path, "w") as f:
                f.write("#!%s\n%s" % (sys.executable, ANALYSER))
            os.chmod(path, os.stat(path).st_mode | stat.S_IEXEC)
            tags, moves = mistakes.read_games(GAMES)[0]
            records = mistakes.score_game((0, tags, moves, "x", path, 1000, 600))
        self.assertEqual([(r['san'], r['best'], r['played']) for r in records],
                         [("f3", 20, 30), ("g4", 0, -29999)])
        picked = mistakes.first_mistakes(records, 100, 150)
        self.assertEqual([m['san'] for m in picked], ["g4"])
        self.assertEqual(picked[0]['fen'].split()[1], "w")


if __name__ == "__main__":
    unittest.main()
