#!/usr/bin/env bash
# Times of the endgame databases on one core: the solver of the 35 three- and four-man
# tables, create_bitbases from them, and tbb (both probes for every position of every
# three- and four-man ending).
# Usage: bench/egtb.sh [build folder]
set -euo pipefail
TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$(realpath "${1:-$TOP/build}")"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
now() { date +%s.%N; }
span() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", b - a }'; }
t0=$(now)
"$BUILD/tools/egtb_solver" "$WORK/tables" > "$WORK/solver.txt"
t1=$(now)
cd "$WORK"
printf 'egtb_cache 64M\ntbldir %s\ncreate_bitbases\nquit\n' "$WORK/tables" | "$BUILD/engine/orvik" > create.txt
t2=$(now)
printf 'egtb_cache 64M\ntbldir %s\nbbpath .\ntbb\nquit\n' "$WORK/tables" | "$BUILD/engine/orvik" > tbb.txt
t3=$(now)
positions=$(grep -E '^brok ' tbb.txt | awk -F'[ ,]+' '{s += $6} END {print s}')
echo "solver:          $(span "$t0" "$t1") s ($(du -sb "$WORK/tables" | cut -f1) bytes of tables)"
echo "create_bitbases: $(span "$t1" "$t2") s ($(grep nsucc create.txt))"
echo "tbb:             $(span "$t2" "$t3") s ($positions legal positions, each probed in the tables and the bitbases)"
