#!/usr/bin/env python3
"""Runs an engine and passes it its standard input line by line, without the lines whose
first word is one of WORDS. fairymax 5.0b crashes on xboard's "computer" command; under
this wrapper the real xboard program can still play whole matches against it.

  bench/drop_words.py computer /usr/games/fairymax
"""

import signal
import subprocess
import sys


def main():
    if len(sys.argv) < 3:
        print("usage: drop_words.py WORD[,WORD...] COMMAND [ARGUMENTS...]", file=sys.stderr)
        return 2
    words = set(sys.argv[1].split(","))
    # xboard interrupts an engine that did not announce sigint=0; the engine behind us
    # gets no signal from here, and we must survive it.
    signal.signal(signal.SIGINT, signal.SIG_IGN)
    engine = subprocess.Popen(sys.argv[2:], stdin=subprocess.PIPE, text=True, bufsize=1)
    try:
        for line in sys.stdin:
            parts = line.split()
            if parts and parts[0] in words:
                continue
            engine.stdin.write(line)
            engine.stdin.flush()
    except (BrokenPipeError, OSError):
        pass
    try:
        engine.stdin.close()
    except OSError:
        pass
    return engine.wait()


if __name__ == "__main__":
    sys.exit(main())
