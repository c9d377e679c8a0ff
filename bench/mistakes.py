#!/usr/bin/env python3
"""Finds the move that lost each game: every move of one engine in the games it did not
win is scored by an analysing UCI engine (the best move's score against the played
move's), the first move that gave away THRESHOLD centipawns or more from a position
that was not lost yet is that game's mistake. With --retry, the engine is set the same
positions again at longer times, so that mistakes of depth (found with more time) can be
told from mistakes of judgement (kept at every time).

  bench/mistakes.py --pgn after/sf2200.pgn --name orvik --retry build/engine/orvik \
                    --times 1,10 --jobs 6

The engine being retried speaks xboard; the analyser (Debian's stockfish by default)
UCI. Figures are those of the analyser at --nodes nodes a position.
"""
import argparse
import collections
import concurrent.futures as cf
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from chessrules import Position  # noqa: E402

RESULTS = ('1-0', '0-1', '1/2-1/2', '*')
MATE = 30000


def read_games(text):
    """[(tags, [SAN moves])] of a PGN text; comments, variations' braces, move numbers
    and results are dropped."""
    out = []
    for block in re.split(r'\n(?=\[Event )', text):
        tags = dict(re.findall(r'\[(\w+) "([^"]*)"\]', block))
        if not tags:
            continue
        body = re.sub(r'\[[^\]]*\]', ' ', block)
        body = re.sub(r'\{[^}]*\}', ' ', body)
        moves = []
        for tok in body.split():
            tok = re.sub(r'^\d+\.+', '', tok)
            if tok and tok not in RESULTS:
                moves.append(tok)
        out.append((tags, moves))
    return out


def lost_or_drawn(tags, name):
    """True when the engine `name` played the game and did not win it."""
    result = tags.get('Result', '*')
    if tags.get('White') == name:
        return result != '1-0'
    if tags.get('Black') == name:
        return result != '0-1'
    return False


def first_mistakes(records, threshold, balanced):
    """The first record of each game whose move lost `threshold` centipawns or more while
    the best move still scored above -`balanced`; records in game and ply order."""
    seen, out = set(), []
    for r in records:
        if r['game'] in seen:
            continue
        if r['best'] > -balanced and r['best'] - r['played'] >= threshold:
            seen.add(r['game'])
            out.append(r)
    return out


class Analyser:
    def __init__(self, command, hash_mb=64):
        self.proc = subprocess.Popen([command], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, text=True, bufsize=1)
        self.send('uci')
        self.wait('uciok')
        self.send('setoption name Hash value %d' % hash_mb)
        self.send('isready')
        self.wait('readyok')

    def send(self, line):
        self.proc.stdin.write(line + '\n')
        self.proc.stdin.flush()

    def wait(self, word):
        while True:
            line = self.proc.stdout.readline()
            if not line:
                raise RuntimeError('analyser ended')
            if line.startswith(word):
                return line

    def score(self, fen, moves, nodes):
        """(score of the side to move in centipawns, best move) after `moves` from `fen`."""
        self.send('position fen %s%s' % (fen, ' moves ' + ' '.join(moves) if moves else ''))
        self.send('go nodes %d' % nodes)
        score = 0
        while True:
            words = self.proc.stdout.readline().split()
            if not words:
                continue
            if words[0] == 'bestmove':
                return score, words[1]
            if 'score' in words:
                i = words.index('score')
                value = int(words[i + 2])
                score = value if words[i + 1] == 'cp' else (MATE - abs(value)) * (1 if value > 0 else -1)

    def close(self):
        self.send('quit')
        self.proc.wait()


def score_game(job):
    """Scores every move of `name` in one game, up to the first position already lost."""
    index, tags, moves, name, analyser, nodes, lost_at = job
    sa = Analyser(analyser)
    pos, out = Position(), []
    try:
        for ply, san in enumerate(moves):
            move = pos.parse_move(san)
            if move is None:
                break
            if tags.get('White' if ply % 2 == 0 else 'Black') == name:
                fen = pos.fen()
                best, best_move = sa.score(fen, [], nodes)
                after, _ = sa.score(fen, [move.uci()], nodes)
                out.append(dict(game=index, ply=ply, fen=fen, move=move.uci(), san=san,
                                best=best, best_move=best_move, played=-after))
                if best < -lost_at:
                    break
            pos.push(move)
    finally:
        sa.close()
    return out


def engine_move(command, fen, seconds):
    """The move an xboard engine plays from `fen` with `seconds` a move, and its last
    thinking line."""
    proc = subprocess.Popen([command], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, text=True, bufsize=1,
                            cwd=os.path.dirname(os.path.abspath(command)))
    proc.stdin.write('xboard\nprotover 2\npost\nnew\nforce\nhash 16M\nsetboard %s\nst %g\ngo\n' % (fen, seconds))
    proc.stdin.flush()
    move, last = None, ''
    for line in proc.stdout:
        if line.startswith('move '):
            move = line.split()[1]
            break
        if line[:1].isdigit():
            last = line.strip()
    try:
        proc.stdin.write('quit\n')
        proc.stdin.flush()
    except BrokenPipeError:
        pass
    proc.wait()
    return move, last


def retry(job):
    record, command, seconds, analyser, nodes = job
    move, last = engine_move(command, record['fen'], seconds)
    sa = Analyser(analyser)
    try:
        after, _ = sa.score(record['fen'], [move], nodes) if move else (MATE, None)
    finally:
        sa.close()
    return move, -after, last


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument('--pgn', required=True)
    ap.add_argument('--name', required=True, help="the engine's name in the White/Black tags")
    ap.add_argument('--analyser', default='/usr/games/stockfish')
    ap.add_argument('--nodes', type=int, default=200000)
    ap.add_argument('--threshold', type=int, default=100, help='centipawns a mistake gives away')
    ap.add_argument('--balanced', type=int, default=150,
                    help='a mistake counts while the best move scores above minus this')
    ap.add_argument('--retry', help='xboard engine to set the mistakes again')
    ap.add_argument('--times', default='1,10', help='seconds a move for the retries')
    ap.add_argument('--jobs', type=int, default=4)
    args = ap.parse_args()

    with open(args.pgn, encoding='utf-8', errors='replace') as f:
        games = read_games(f.read())
    jobs = [(i, tags, moves, args.name, args.analyser, args.nodes, 4 * args.balanced)
            for i, (tags, moves) in enumerate(games) if lost_or_drawn(tags, args.name)]
    with cf.ProcessPoolExecutor(args.jobs) as ex:
        records = [r for rs in ex.map(score_game, jobs) for r in rs]
    mistakes = first_mistakes(records, args.threshold, args.balanced)

    even = [r for r in records if abs(r['best']) < 2 * args.balanced]
    losses = collections.Counter()
    for r in even:
        for t in (50, 100, 200, 400):
            losses[t] += r['best'] - r['played'] >= t
    print('%d games not won by %s, %d moves scored; in %d positions within +/-%d:' % (
        len(jobs), args.name, len(records), len(even), 2 * args.balanced))
    print('  ' + ', '.join('%d lose %d or more' % (losses[t], t) for t in (50, 100, 200, 400)))
    print('%d games with a first mistake of %d or more from a position above -%d' % (
        len(mistakes), args.threshold, args.balanced))

    times = [float(t) for t in args.times.split(',')] if args.retry else []
    found = {}
    for t in times:
        with cf.ProcessPoolExecutor(args.jobs) as ex:
            found[t] = list(ex.map(retry, [(r, args.retry, t, args.analyser, args.nodes) for r in mistakes]))
    for k, r in enumerate(mistakes):
        line = 'game %3d move %3d%s %-7s %5d  best %s %5d' % (
            r['game'] + 1, r['ply'] // 2 + 1, '.' if r['ply'] % 2 == 0 else '...', r['san'],
            r['played'], r['best_move'], r['best'])
        for t in times:
            move, score, _ = found[t][k]
            line += '  | %gs %s %5d%s' % (t, move, score, ' ok' if r['best'] - score < args.threshold / 2 else '')
        print(line + '  ' + r['fen'])
    for t in times:
        ok = sum(1 for k, r in enumerate(mistakes) if r['best'] - found[t][k][1] < args.threshold / 2)
        print('with %g s a move: %d of %d mistakes avoided' % (t, ok, len(mistakes)))


if __name__ == '__main__':
    main()
