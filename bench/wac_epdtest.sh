#!/usr/bin/env bash
# Win-at-chess through Orvik's own epdtest at 1 s a position (every position, one engine,
# one after the other), beside bench/wac.sh's count at 1 s for the same engine.
# Usage: bench/wac_epdtest.sh [engine] [epd] [jobs for wac.py]
set -euo pipefail
TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ENGINE="$(realpath "${1:-$TOP/build/engine/orvik}")"
EPD="${2:-$TOP/tests/data/wac.epd}"
JOBS="${3:-8}"
python3 "$TOP/bench/wac_epdtest.py" "$ENGINE" "$EPD" 1
python3 "$TOP/bench/wac.py" "$ENGINE" "$EPD" 1 "$JOBS"
