#!/usr/bin/env bash
# Win-at-chess suite at 1 s and at 5 s per position, 8 engines at a time.
# Usage: bench/wac.sh [engine] [epd] [--list]
set -euo pipefail
TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ENGINE="$(realpath "${1:-$TOP/build/engine/orvik}")"
EPD="${2:-$TOP/../shared/data/wac.epd}"
[[ -f "$EPD" ]] || EPD="$TOP/tests/data/wac.epd"
shift $(( $# > 2 ? 2 : $# )) || true
for t in 1 5; do
    python3 "$TOP/bench/wac.py" "$ENGINE" "$EPD" "$t" 8 "$@"
done
