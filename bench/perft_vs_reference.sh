#!/usr/bin/env bash
# Times Orvik's perftest against the reference engine's "go perft" on the same positions
# and depths, in the same run, and prints both leaf-node rates and their ratio.
#   bench/perft_vs_reference.sh [orvik-binary]
set -euo pipefail
TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ORVIK="$(realpath -m "${1:-$TOP/build/engine/orvik}")"
REFERENCE="$(command -v stockfish || echo /usr/games/stockfish)"
[[ -x "$ORVIK" ]] || { echo "build Orvik first (./test.sh or ./run.sh): $ORVIK missing" >&2; exit 1; }
[[ -x "$REFERENCE" ]] || { echo "the reference engine is missing: apt-get install stockfish" >&2; exit 1; }

POSITIONS=(
    "6|rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"
    "5|r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1"
    "6|8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1"
    "5|r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1"
    "5|rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8"
    "5|r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10"
)

now() { date +%s.%N; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The reference's start-up (network loading) is timed once and taken off its runs.
startup=1000
for _ in 1 2 3; do
    t0="$(now)"; printf 'position startpos\ngo perft 1\nquit\n' | "$REFERENCE" >/dev/null 2>&1; t1="$(now)"
    startup="$(echo "t = $t1 - $t0; if (t < $startup) t else $startup" | bc -l)"
done
printf 'reference start-up %.3f s (taken off its times)\n' "$startup"

total_orvik_nodes=0; total_orvik_time=0; total_ref_nodes=0; total_ref_time=0
printf '%-8s %-72s %14s %12s %12s\n' "engine" "position" "nodes" "seconds" "nodes/s"
for entry in "${POSITIONS[@]}"; do
    depth="${entry%%|*}"; fen="${entry#*|}"
    # Orvik: the last count line of perftest; its start-up is outside the timed part.
    # The input stays open until the count is printed: a quit waiting on it would stop
    # the count (so the same script times engines from before that rule too).
    : >"$work/orvik.out"; rm -f "$work/orvik.done"
    { printf 'setboard %s\nperftest %s\n' "$fen" "$depth"
      until grep -qE 'time [0-9.]+ s|perftest stopped' "$work/orvik.out" || [[ -e "$work/orvik.done" ]]; do sleep 0.05; done
      echo quit; } | (cd "$work" && "$ORVIK" >"$work/orvik.out"; touch "$work/orvik.done")
    out="$(cat "$work/orvik.out")"
    onodes="$(grep -E "^.*[ ]*$depth: " <<<"$out" | tail -1 | awk '{print $NF}')"
    otime="$(grep -E 'time [0-9.]+ s' <<<"$out" | tail -1 | sed -E 's/.*time ([0-9.]+) s.*/\1/')"
    # Reference: wall time of the run less its start-up.
    t0="$(now)"
    rout="$(printf 'position fen %s\ngo perft %s\nquit\n' "$fen" "$depth" | "$REFERENCE" 2>/dev/null)"
    t1="$(now)"
    rnodes="$(grep 'Nodes searched' <<<"$rout" | awk '{print $3}')"
    rtime="$(echo "$t1 - $t0 - $startup" | bc -l)"
    [[ "$onodes" == "$rnodes" ]] || echo "count differs on $fen: orvik $onodes reference $rnodes" >&2
    printf '%-8s %-72s %14s %12.3f %12.0f\n' orvik "$fen" "$onodes" "$otime" "$(echo "$onodes / ($otime + 0.0005)" | bc -l)"
    printf '%-8s %-72s %14s %12.3f %12.0f\n' reference "$fen" "$rnodes" "$rtime" "$(echo "$rnodes / $rtime" | bc -l)"
    total_orvik_nodes=$((total_orvik_nodes + onodes)); total_ref_nodes=$((total_ref_nodes + rnodes))
    total_orvik_time="$(echo "$total_orvik_time + $otime" | bc -l)"; total_ref_time="$(echo "$total_ref_time + $rtime" | bc -l)"
done
orate="$(echo "$total_orvik_nodes / $total_orvik_time" | bc -l)"
rrate="$(echo "$total_ref_nodes / $total_ref_time" | bc -l)"
printf '\nOrvik     %.0f leaf nodes/s\nreference %.0f leaf nodes/s\nratio     %.3f (Orvik / reference)\n' \
    "$orate" "$rrate" "$(echo "$orate / $rrate" | bc -l)"
