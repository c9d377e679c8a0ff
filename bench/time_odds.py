#!/usr/bin/env python3
"""Time odds for the match runner: starts an engine and tells it FACTOR times its clock.

Usage: time_odds.py FACTOR COMMAND [ARG ...]

Put it in front of an engine's command in bench/match.py's --engine to give that engine
less (FACTOR < 1) time to think than the runner's clock allows it, for instance

  bench/match.py --engine full:xboard:build/engine/orvik \\
                 --engine "quarter:xboard:bench/time_odds.py 0.25 build/engine/orvik" \\
                 --tc 20+0.2 --games 100

plays Orvik with 20 s + 0.2 s against Orvik believing it has 5 s + 0.05 s. The runner still
keeps the real clock of both. The xboard words "level", "time" and "otim" and the UCI "go"
clocks ("wtime", "btime", "winc", "binc") are scaled; every other line passes unchanged, and
the engine's own output goes straight to the runner. SIGINT (xboard's interrupt) is passed on.
"""
import signal
import subprocess
import sys

UCI_CLOCKS = ("wtime", "btime", "winc", "binc")


def scaled_level_clock(text, factor):
    """xboard's "MINUTES" or "MINUTES:SECONDS" base, scaled, in the same notation."""
    if ":" in text:
        minutes, seconds = text.split(":", 1)
        total = int(minutes) * 60 + float(seconds)
    else:
        total = float(text) * 60
    total = max(1, round(total * factor))
    return "%d:%02d" % divmod(total, 60) if total % 60 else "%d" % (total // 60)


def scaled(line, factor):
    words = line.split()
    if not words:
        return line
    if words[0] == "level" and len(words) == 4:
        return "level %s %s %g\n" % (words[1], scaled_level_clock(words[2], factor), float(words[3]) * factor)
    if words[0] in ("time", "otim") and len(words) == 2 and words[1].lstrip("-").isdigit():
        return "%s %d\n" % (words[0], max(1, int(int(words[1]) * factor)))
    if words[0] == "go":
        out = list(words)
        for i in range(1, len(out) - 1):
            if out[i] in UCI_CLOCKS and out[i + 1].lstrip("-").isdigit():
                out[i + 1] = str(max(1, int(int(out[i + 1]) * factor)))
        return " ".join(out) + "\n"
    return line


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    factor = float(sys.argv[1])
    child = subprocess.Popen(sys.argv[2:], stdin=subprocess.PIPE, text=True, bufsize=1)
    signal.signal(signal.SIGINT, lambda *_: child.send_signal(signal.SIGINT))
    for line in sys.stdin:
        try:
            child.stdin.write(scaled(line, factor))
            child.stdin.flush()
        except BrokenPipeError:
            break
        if line.split()[:1] == ["quit"]:
            break
    try:
        child.stdin.close()
    except BrokenPipeError:
        pass
    sys.exit(child.wait())


if __name__ == "__main__":
    main()
