#!/usr/bin/env bash
# Long runs of the fuzzer against Orvik's sanitizer build (CTest runs a sample of 20,000
# lines; this is the long form, 30 minutes by default).
#   bench/fuzz.sh [minutes] [engines at once] [seed]
# Each finding's input, report and the files it named land in build-asan/fuzz-findings/
# (FUZZ_OUT overrides); orvik_fuzz --seed X --run R replays run R with its files, as the
# long run made it (--print-run R prints its input).
set -uo pipefail
TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MINUTES="${1:-30}"
JOBS="${2:-4}"
SEED="${3:-$(date +%s)}"
FUZZ="$TOP/build-asan/tools/orvik_fuzz"
ORVIK="$TOP/build-asan/engine/orvik"
OUT="${FUZZ_OUT:-$TOP/build-asan/fuzz-findings}"
for f in "$FUZZ" "$ORVIK"; do
    [[ -x "$f" ]] || { echo "build the sanitizer tree first (./test.sh): $f missing" >&2; exit 1; }
done
echo "seed $SEED, $MINUTES minutes, $JOBS engines at once, findings in $OUT"
ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}" exec "$FUZZ" --program "$ORVIK" --seconds $((MINUTES * 60)) \
    --lines 1000000000000 --jobs "$JOBS" --seed "$SEED" --keep "$OUT"
