#!/usr/bin/env bash
# The PGN browser, timed on the release build.
#
# 1. A generated file of random legal games (10,000 by default; 0 skips this part):
#    pgn-extract's check of the file, then Tavorin's open-to-listed time (offscreen,
#    first game on the board, the opener's 300 ms timer apart), the time to load the
#    last game, and every game loaded against the generator's moves; pgn-extract's own
#    reading time on the same file in the same run for comparison.
# 2. Long single games (2,000 and 8,000 half-moves by default): loading, and each way
#    of moving through them (back, forward, the arrow keys, a jump, start and end).
# 3. One move-text word of 10 MB: load time with the message box shown, the message's
#    length and the process's peak memory.
# 4. One game with 100,000 distinct tag names: the time to index it.
# 5. With SHUFFLE set (say 1000000): a game of that many half-moves of knights going
#    to and fro: load time, a step back, start and end, peak memory.
# 6. With EPD_LINES set (say 1000000): an EPD list of that many positions read into the
#    list window: milliseconds a MB (beside the listing's of part 1) and peak memory.
#   bench/pgn_browser.sh [games] [seed] [plies]
#   TOKEN_MB=10 TAGS=100000 STEPS=10 SHUFFLE=0 EPD_LINES=0 (environment)
set -euo pipefail
TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
GAMES="${1:-10000}"
SEED="${2:-1}"
PLIES="${3-2000,8000}"
BUILD="${BUILD:-$TOP/build}"
JOBS="${JOBS:-3}"
PGN_EXTRACT="$(command -v pgn-extract || echo /usr/games/pgn-extract)"

cmake --build "$BUILD" -j "$JOBS" --target pgngen pgn_bench >/dev/null
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
export QT_QPA_PLATFORM=offscreen

# One group of the benchmark in a process of its own (its peak memory is its own).
bench() { "$BUILD/tools/pgn_bench" --gtest_brief=1 --gtest_filter="PgnBench.$1"; }

if (( GAMES > 0 )); then
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

    PGN_BENCH_FILE="$WORK/games.pgn" PGN_BENCH_MOVES="$WORK/moves.txt" bench OpenListLoadAndCheckEveryGame
fi
[[ -n "$PLIES" ]] && PGN_BENCH_PLIES="$PLIES" PGN_BENCH_STEPS="${STEPS:-10}" bench LongGames
(( ${TOKEN_MB:-10} > 0 )) && PGN_BENCH_TOKEN_MB="${TOKEN_MB:-10}" bench HugeToken
(( ${TAGS:-100000} > 0 )) && PGN_BENCH_TAGS="${TAGS:-100000}" bench ManyTagNames
(( ${SHUFFLE:-0} > 0 )) && PGN_BENCH_SHUFFLE="$SHUFFLE" bench ShuffleGame
(( ${EPD_LINES:-0} > 0 )) && PGN_BENCH_EPD_LINES="$EPD_LINES" bench EpdList
exit 0
