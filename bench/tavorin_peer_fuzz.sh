#!/usr/bin/env bash
# Long runs of the peer fuzzer against Tavorin's sanitizer build (CTest runs a short
# sample of 120 runs); 30 minutes by default, then the two-copy fuzzer (two real copies
# linked over sockets; CTest runs 3 runs of it) for COPIES_MINUTES more (10 by default,
# 0 for none), then the two-copy fuzzer with faults of the link (cut for 8-20 s of the
# clocks and back or for good, stalled, a copy stopped, requests in a mover's last
# second; CTest runs 3 runs and the scripted checks) for FAULTS_MINUTES more (10 by
# default, 0 for none). BUILD=build runs the release tree instead.
#   bench/tavorin_peer_fuzz.sh [minutes] [seed] [first run]
# Each run is made from the seed and its number alone: tools/tavorin_peer_fuzz --seed X
# --run R replays run R by itself, --print-run R prints its steps. The first run of each
# finding is kept in build-asan/peer-fuzz-findings/ (PEER_FUZZ_OUT overrides). A crash or
# a sanitizer report ends the fuzzer's process: its report is kept there too, and the
# session goes on from the next run.
set -uo pipefail
TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MINUTES="${1:-30}"
SEED="${2:-$(date +%s)}"
NEXT="${3:-0}"
BUILD="$TOP/${BUILD:-build-asan}"
FUZZ="$BUILD/tools/tavorin_peer_fuzz"
OUT="${PEER_FUZZ_OUT:-$BUILD/peer-fuzz-findings}"
[[ -x "$FUZZ" ]] || { echo "build the sanitizer tree first (./test.sh): $FUZZ missing" >&2; exit 1; }
mkdir -p "$OUT"
export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
END=$(( $(date +%s) + MINUTES * 60 ))
echo "seed $SEED, $MINUTES minutes from run $NEXT, findings in $OUT"
runs=0 crashes=0
while (( $(date +%s) < END )); do
    log="$OUT/session-$NEXT.log"
    "$FUZZ" --seed "$SEED" --first "$NEXT" --runs 1000000000 --seconds $(( END - $(date +%s) )) \
        --keep "$OUT/from-$NEXT" --verbose >"$log" 2>&1
    grep -E '^finding|^seed' "$log"
    runs=$(( runs + $(grep -c '^run [0-9]*:' "$log") ))
    crash=$(grep -oE 'finding \((crash or sanitizer report|stops answering)\)[^0-9]*run [0-9]+' "$log" | grep -oE '[0-9]+$' | tail -1)
    [[ -n "$crash" ]] || break
    crashes=$(( crashes + 1 ))
    cp "$log" "$OUT/crash-run-$crash.log"
    echo "run $crash ended the process: $OUT/crash-run-$crash.log (replay: $FUZZ --seed $SEED --run $crash)"
    NEXT=$(( crash + 1 ))
done
echo "$runs runs, $crashes of them ended the process"

COPIES_MINUTES="${COPIES_MINUTES:-10}"
if (( COPIES_MINUTES > 0 )); then
    log="$OUT/copies-$SEED.log"
    echo "two copies: seed $SEED, $COPIES_MINUTES minutes, log in $log"
    "$FUZZ" --copies --program "$BUILD/Tavorin" --seed "$SEED" --runs 1000000000 \
        --seconds $(( COPIES_MINUTES * 60 )) >"$log" 2>&1
    grep -E '^finding|^seed|^two copies' "$log"
fi

# With faults of the link: each copy in a network of its own over a veth pair (the run
# says "skipped" where the system allows none). Each kind of finding is told with its
# first run and how many runs found it; --seed S --run R --verbose replays one.
FAULTS_MINUTES="${FAULTS_MINUTES:-10}"
if (( FAULTS_MINUTES > 0 )); then
    log="$OUT/faults-$SEED.log"
    echo "two copies with faults: seed $SEED, $FAULTS_MINUTES minutes, log in $log"
    "$FUZZ" --copies --faults --program "$BUILD/Tavorin" --seed "$SEED" --runs 1000000000 \
        --seconds $(( FAULTS_MINUTES * 60 )) >"$log" 2>&1
    grep -E '^finding|^seed|^two copies|^skipped|^  [a-z].*first in run' "$log"
    for check in $("$FUZZ" --copies --program "$BUILD/Tavorin" --case list | sed -n 's/^  \([a-z-]*\) (.*/\1/p'); do
        "$FUZZ" --copies --program "$BUILD/Tavorin" --case "$check" 2>&1 | grep -E 'variant|^skipped'
    done
fi
