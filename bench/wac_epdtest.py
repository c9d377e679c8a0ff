#!/usr/bin/env python3
"""Runs an EPD suite through the engine's own `epdtest` command in one engine at a fixed
time per position and reports the solved count and the Dalvry sum.

Usage: wac_epdtest.py ENGINE EPD SECONDS
The engine runs in a scratch folder; standard input stays open while the suite runs,
since a line or the end of input would break its searches off."""
import os
import re
import shutil
import subprocess
import sys
import tempfile


def main():
    engine, epd, seconds = os.path.abspath(sys.argv[1]), sys.argv[2], sys.argv[3]
    with tempfile.TemporaryDirectory() as work:
        shutil.copy(epd, os.path.join(work, "suite.epd"))
        proc = subprocess.Popen([engine], cwd=work, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, text=True, bufsize=1)
        proc.stdin.write(f"st {seconds}\nepdtest suite.epd\n")
        proc.stdin.flush()
        solved = tested = 0
        dalvry = None
        for line in proc.stdout:
            if "ok after" in line:
                solved += 1
            m = re.search(r"(\d+) tested,\s+(\d+) found", line)
            if m:
                tested = int(m.group(1))
            if line.startswith("Dalvry formula"):
                dalvry = line.split("=")[-1].strip()
                break
        proc.stdin.write("quit\n")
        proc.stdin.flush()
        proc.wait(timeout=30)
    print(f"epdtest at {seconds} s: {solved} of {tested} solved, Dalvry sum {dalvry}")


if __name__ == "__main__":
    main()
