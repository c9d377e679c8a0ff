#!/usr/bin/env python3
"""The time-odds wrapper scales only the clocks an engine is told, in both dialogues, and
passes every other line and the engine's answers through unchanged."""
import os
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
BENCH = os.path.join(HERE, "..", "..", "bench")
sys.path.insert(0, BENCH)
import time_odds  # noqa: E402


class Scaling(unittest.TestCase):
    def test_clock_words(self):
        cases = [
            ("level 0 0:40 0.4\n", 0.25, "level 0 0:10 0.1\n"),
            ("level 40 5 0\n", 0.25, "level 40 1:15 0\n"),
            ("level 0 2 0\n", 0.5, "level 0 1 0\n"),
            ("level 0 0:01 0\n", 0.1, "level 0 0:01 0\n"),      # never below one second
            ("time 4000\n", 0.25, "time 1000\n"),
            ("otim 3\n", 0.25, "otim 1\n"),                      # never below one centisecond
            ("go wtime 40000 btime 39000 winc 400 binc 400\n", 0.25,
             "go wtime 10000 btime 9750 winc 100 binc 100\n"),
            ("go ponder wtime 8000 btime 8000 movestogo 20\n", 0.5,
             "go ponder wtime 4000 btime 4000 movestogo 20\n"),  # movestogo is no clock
        ]
        for line, factor, want in cases:
            self.assertEqual(time_odds.scaled(line, factor), want, line)

    def test_other_lines_unchanged(self):
        for line in ("usermove e2e4\n", "go\n", "position startpos moves e2e4\n", "\n",
                     "time soon\n", "setoption name Hash value 16\n"):
            self.assertEqual(time_odds.scaled(line, 0.25), line)

    def test_through_a_child(self):
        text = "level 0 0:40 0.4\ntime 4000\nusermove e2e4\nquit\nnot sent\n"
        out = subprocess.run([sys.executable, os.path.join(BENCH, "time_odds.py"), "0.25", "cat"],
                             input=text, capture_output=True, text=True, timeout=30)
        self.assertEqual(out.returncode, 0)
        self.assertEqual(out.stdout, "level 0 0:10 0.1\ntime 1000\nusermove e2e4\nquit\n")


if __name__ == "__main__":
    unittest.main()
