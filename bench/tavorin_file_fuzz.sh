#!/usr/bin/env bash
# Long runs of the file fuzzer against Tavorin's sanitizer build: mutated PGN, EPD and
# own game files opened in its windows offscreen; starts and exits with Default.ini, a
# language file, a skin picture or Puntuacion.dat mutated or replaced by FIFOs, devices,
# folders, links and loops of links; the writers (the game saved in each format, the PGN
# browser's save, the chat log, the board picture, a ranking booking, the exit
# sequence) on a disk that fills at a random byte (CTest runs a sample of 240 cases;
# this is the long form, 30 minutes by default). As root the device nodes are real
# ones of the fuzzer's own; elsewhere FIFOs stand in for them.
#   bench/tavorin_file_fuzz.sh [minutes] [workers at once] [seed]
# Each finding's file and report land in build-asan/tavorin-fuzz-findings/ (FUZZ_OUT
# overrides). The report names its replay: tavorin_file_fuzz --seed X --run R runs case
# R alone (with --from F, the cases its worker had before it too); --print-run R writes
# the file of case R and its line for the worker.
set -uo pipefail
TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
MINUTES="${1:-30}"
JOBS="${2:-4}"
SEED="${3:-$(date +%s)}"
FUZZ="$TOP/build-asan/tools/tavorin_file_fuzz"
OUT="${FUZZ_OUT:-$TOP/build-asan/tavorin-fuzz-findings}"
[[ -x "$FUZZ" ]] || { echo "build the sanitizer tree first (./test.sh): $FUZZ missing" >&2; exit 1; }
echo "seed $SEED, $MINUTES minutes, $JOBS workers at once, findings in $OUT"
export QT_QPA_PLATFORM=offscreen
ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}" exec "$FUZZ" --seconds $((MINUTES * 60)) --files 1000000000000 \
    --jobs "$JOBS" --seed "$SEED" --keep "$OUT"
