#!/usr/bin/env bash
# The PGN browser on a generated file of random legal games (10,000 by default):
# pgn-extract's check of the file, then Tavorin's open-to-listed time (offscreen, first
# game on the board, the opener's 300 ms timer apart), the time to load the last game,
# and every game loaded against the generator's moves; pgn-extract's own reading time
# on the same file in the same run for comparison.
#   bench/pgn_browser.sh [games] [seed]
set -euo pipefail
TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
GAMES="${1:-10000}"
SEED="${2:-1}"
BUILD="${BUILD:-$TOP/build}"
JOBS="${JOBS:-3}"
PGN_EXTRACT="$(command -v pgn-extract || echo /usr/games/pgn-extract)"

cmake --build "$BUILD" -j "$JOBS" --target pgngen pgn_bench >/dev/null
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

"$BUILD/tools/pgngen" "$GAMES" "$SEED" "$WORK/games.pgn" "$WORK/moves.txt"
echo "file: $GAMES games, $(stat -c %s "$WORK/games.pgn") bytes"

"$PGN_EXTRACT" -s -l "$WORK/check.log" -o "$WORK/check.pgn" "$WORK/games.pgn" 2>/dev/null
if [[ -s "$WORK/check.log" ]]; then
    echo "pgn-extract reports:"; head -20 "$WORK/check.log"; exit 1
fi
echo "pgn-extract: no warning or error"

start=$(date +%s%N)
"$PGN_EXTRACT" -s "$WORK/games.pgn" -o /dev/null 2>/dev/null
end=$(date +%s%N)
echo "pgn-extract -s file -o /dev/null: $(( (end - start) / 1000000 )) ms"

QT_QPA_PLATFORM=offscreen PGN_BENCH_FILE="$WORK/games.pgn" PGN_BENCH_MOVES="$WORK/moves.txt" \
    "$BUILD/tools/pgn_bench" --gtest_brief=1
