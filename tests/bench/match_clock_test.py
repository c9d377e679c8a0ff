#!/usr/bin/env python3
"""The match runner's clock is a strict host's: scripted engines that answer after known
delays must be charged at least those delays, lose on time as soon as their clock falls
below zero (no grace), and keep their games when they stay inside it. The runner also
warns of thinking a strict host cannot read."""
import os
import re
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
MATCH = os.path.join(HERE, "..", "..", "bench", "match.py")
FAKE = os.path.join(HERE, "fake_engine.py")
USED_RE = re.compile(r"game +\d+ +(\w+) move +(\d+) \((\w)\): +([\d.]+) s used, +(-?[\d.]+) s left")


def run_match(slow, fast="xboard", tc="1+0", extra=(), max_plies=40):
    """Plays one game, the scripted engine `slow` (proto, delays, options...) as White
    against a fast one; returns (output, [(move, seconds used, seconds left)] of `slow`)."""
    proto, delays, *options = slow
    slow_cmd = " ".join([sys.executable, FAKE, proto, delays] + list(options))
    fast_cmd = " ".join([sys.executable, FAKE, fast, "0"])
    out = subprocess.run([sys.executable, MATCH, "--engine", "slow:%s:%s" % (proto, slow_cmd),
                          "--engine", "fast:%s:%s" % (fast, fast_cmd), "--games", "1", "--tc", tc,
                          "--no-openings", "--max-plies", str(max_plies), "--stall-grace", "5", "--show-clock",
                          "-v"] + list(extra),
                         capture_output=True, text=True, timeout=120).stdout
    moves = [(int(m.group(2)), float(m.group(4)), float(m.group(5)))
             for m in USED_RE.finditer(out) if m.group(1) == "slow"]
    return out, moves


def fault_counts(out, name):
    line = next(l for l in out.splitlines() if l.strip().startswith(name + " ") and "illegal" in l)
    line = line.replace("time forfeit", "forfeit").replace("protocol warnings", "warnings")
    return {k: int(v) for k, v in re.findall(r"(illegal|crash|stall|forfeit|warnings) (\d+)", line)}


class StrictClock(unittest.TestCase):
    def test_each_move_costs_at_least_its_delay_under_both_protocols(self):
        for proto in ("uci", "xboard"):
            with self.subTest(proto=proto):
                out, moves = run_match((proto, "0.05,0.15,0.25,0"), tc="10+0", max_plies=8)
                self.assertEqual(fault_counts(out, "slow")["forfeit"], 0, out)
                self.assertEqual([m[0] for m in moves], [1, 2, 3, 4], out)
                for (_, used, _), delay in zip(moves, (0.05, 0.15, 0.25, 0.0)):
                    # Never less than the delay; a loaded machine may add, never subtract.
                    self.assertGreaterEqual(used, delay - 0.0005, out)
                    self.assertLess(used, delay + 0.5, out)

    def test_a_clock_below_zero_loses_at_once_without_grace(self):
        # 1 s for the game: three moves of 0.3 s leave at most 0.1 s, the fourth overruns it.
        out, moves = run_match(("uci", "0.3,0.3,0.3,0.3"), tc="1+0")
        self.assertIn("slow forfeits on time", out)
        self.assertEqual(fault_counts(out, "slow")["forfeit"], 1, out)
        self.assertEqual(len(moves), 3, out)  # the overrunning move is not played
        # An increment keeps a slower engine alive: 0.3 s a move against 0.3 s back.
        out, moves = run_match(("xboard", "0.25"), tc="1+0.3", max_plies=12)
        self.assertEqual(fault_counts(out, "slow")["forfeit"], 0, out)
        self.assertEqual(len(moves), 6, out)

    def test_thinking_a_host_cannot_read_is_warned(self):
        out, _ = run_match(("uci", "0", "--null-pv"), tc="10+0", max_plies=6)
        self.assertGreater(fault_counts(out, "slow")["warnings"], 0, out)
        self.assertIn("illegal PV move null", out)
        out, _ = run_match(("xboard", "0", "--line", "'3356345 Nodes, 18.82% Leavenodes'"), tc="10+0", max_plies=6)
        self.assertIn("line read as thinking but no thinking line: 3356345 Nodes", out)
        # Real thinking lines are no fault.
        out, _ = run_match(("xboard", "0", "--line", "'3 25 10 4321 e2e4 e7e5'"), tc="10+0", max_plies=6)
        self.assertEqual(fault_counts(out, "slow")["warnings"], 0, out)


class EloLine(unittest.TestCase):
    def test_a_one_sided_result_gives_a_bound_not_a_figure(self):
        sys.path.insert(0, os.path.dirname(MATCH))
        import match
        self.assertEqual(match.elo_text(0, 0, 50), "below -478 (95%, no point in 50 games)")
        self.assertEqual(match.elo_text(100, 0, 0), "above +604 (95%, every point in 100 games)")
        self.assertTrue(match.elo_text(0, 1, 49).endswith("(95%)"))
        self.assertEqual(match.elo_text(5, 0, 5), "+0 +/- 252 (95%)")
        # Two games: the rule of three says nothing, the bound stays at an even score.
        self.assertEqual(match.elo_text(0, 0, 2), "below +0 (95%, no point in 2 games)")


if __name__ == "__main__":
    unittest.main()
