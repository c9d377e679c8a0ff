#!/usr/bin/env bash
# Tavorin's engine play, measured offscreen:
#  1. the delay from an engine's move line to Tavorin's write of that move to the other
#     engine: two test engines shuffle their knights and time-stamp every move they send
#     and every line they read (the same monotonic clock);
#  2. Tavorin's share of one core while two copies of Orvik, which prints its thinking
#     at length, play at one second a move.
# Usage: bench/motores_gui.sh [moves] [seconds] [build folder]
#   moves    moves of the timed shuffle (default 400)
#   seconds  length of the real game (default 60)
set -euo pipefail
MOVES="${1:-400}" GAME_SECONDS="${2:-60}"
BUILD="${3:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build}"
TOOL="$BUILD/tools/banco_motores" TEST_ENGINE="$BUILD/tests/gui/engines/motor_prueba"
for f in "$TOOL" "$TEST_ENGINE" "$BUILD/Tavorin/tavorin"; do
    [[ -x "$f" ]] || { echo "missing $f: build first (cmake --build $BUILD)"; exit 1; }
done
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
cp -r "$BUILD/Tavorin" "$WORK/Tavorin"
FOLDER="$WORK/Tavorin"

half=$(( (MOVES + 1) / 2 ))
shuffle() { local a=$1 b=$2 i out=""; for ((i = 0; i < half; i++)); do
    if (( i % 2 == 0 )); then out+=" $a$b"; else out+=" $b$a"; fi; done; echo "$out"; }
for side in blanco negro; do
    mkdir -p "$FOLDER/Motor/$side"
    ln -s "$TEST_ENGINE" "$FOLDER/Motor/$side/$side"
done
printf 'tiempos\njugadas%s\n' "$(shuffle g1 f3)" > "$FOLDER/Motor/blanco/prueba.cfg"
printf 'tiempos\njugadas%s\n' "$(shuffle g8 f6)" > "$FOLDER/Motor/negro/prueba.cfg"

echo "== Move line to the other engine's write ($MOVES moves, test engines)"
"$TOOL" "$FOLDER" blanco negro "sd 1" 300 "$MOVES"
python3 - "$FOLDER/Motor" <<'PY'
import re, statistics, sys
base = sys.argv[1]
move = re.compile(r"^[a-h][1-8][a-h][1-8][qrbn]?$")
def sent(side):
    return [int(l.split()[0]) for l in open(f"{base}/{side}/enviado.txt")]
def read(side):
    times = []
    for l in open(f"{base}/{side}/registro.txt"):
        t, _, text = l.rstrip("\n").partition(" ")
        if move.match(text):
            times.append(int(t))
    return times
delays = []
for mover, receiver in (("blanco", "negro"), ("negro", "blanco")):
    delays += [(r - s) / 1000.0 for s, r in zip(sent(mover), read(receiver))]
delays.sort()
if not delays:
    sys.exit("no move was passed on")
p95 = delays[min(len(delays) - 1, int(len(delays) * 0.95))]
print(f"moves passed on: {len(delays)}; delay ms: median {statistics.median(delays):.2f}, "
      f"95% {p95:.2f}, max {delays[-1]:.2f} (goal: under 20)")
PY

echo "== Tavorin's CPU while Orvik plays Orvik at st 1 (${GAME_SECONDS} s)"
"$TOOL" "$FOLDER" orvik orvik "st 1" "$GAME_SECONDS" || true
echo "(goal: under 5% of a core)"
