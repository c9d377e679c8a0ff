#!/usr/bin/env bash
# Speed of book_create on a large PGN file: the opening lines of tests/data/eco.pgn
# repeated COPIES times (default 50: about 100,000 games and a million moves), built
# into a book of 300007 slots at 40 plies, as the engine's own command does it.
#   bench/book_create.sh [engine] [copies]
set -euo pipefail
TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ENGINE="$(realpath "${1:-$TOP/build/engine/orvik}")"
COPIES="${2:-50}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for ((i = 0; i < COPIES; ++i)); do cat "$TOP/tests/data/eco.pgn"; done > "$work/big.pgn"
printf 'book_create big.pgn 300007 40\nquit\n' > "$work/script.txt"

start=$(date +%s.%N)
(cd "$work" && "$ENGINE" script.txt > book_create.log)
end=$(date +%s.%N)

summary=$(grep -a "lines: ngames" "$work/book_create.log" | tail -1)
moves=$(sed -n 's/.*nmoves = \([0-9]*\).*/\1/p' <<< "$summary")
size=$(stat -c %s "$work/kvbook.bin")
echo "$summary"
awk -v s="$start" -v e="$end" -v m="$moves" -v b="$size" \
    'BEGIN { t = e - s; printf "book_create: %.2f s, %.0f moves/s, book %d bytes\n", t, m / t, b }'
