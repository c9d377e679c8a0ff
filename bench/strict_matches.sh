#!/usr/bin/env bash
# Orvik under a strict host (bench/match.py: its clock counts from the write of "go" or
# the move to the answer, no grace) against fairymax, under UCI and under xboard, at six
# controls: 1 s + 0.01 s, 2 s + 0.02 s, 5 s + 0.05 s, 10 s + 0.1 s, 40 moves in 10 s and
# 1 minute sudden death; then limits beside the clock: 5 s + 0.05 s with a depth of 14
# (UCI and xboard) and with 20,000,000 nodes (UCI), and an increment alone (xboard,
# 0.5 s a move). Prints one row per protocol, control and limit: score, forfeits,
# illegal moves, crashes, stalls, protocol warnings and Orvik's least clock seen.
#   bench/strict_matches.sh [games per row] [games at once]
# The full table (50 games, 8 at once) needs the whole machine for over an hour.
# PONDER=1 lets both engines ponder; ORVIK=path plays another build; ROWS=pattern plays
# only the rows whose "protocol control limit" text matches the pattern (grep -E).
set -uo pipefail
TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
GAMES="${1:-50}"
AT_ONCE="${2:-8}"
ORVIK="${ORVIK:-$TOP/build/engine/orvik}"
OUT="${MATCH_OUT:-$TOP/build/strict-matches}"
[[ -x "$ORVIK" ]] || { echo "build Orvik first (./test.sh or ./run.sh): $ORVIK missing" >&2; exit 1; }
[[ -x /usr/games/fairymax ]] || { echo "missing /usr/games/fairymax: apt-get install fairymax" >&2; exit 1; }
mkdir -p "$OUT"
ponder=()
[[ "${PONDER:-0}" == 1 ]] && ponder=(--ponder)
status=0
rows=()
for proto in uci xboard; do
    for tc in 1+0.01 2+0.02 5+0.05 10+0.1 40/10 60+0; do rows+=("$proto $tc -"); done
done
rows+=("uci 5+0.05 depth=14" "uci 5+0.05 nodes=20000000" "xboard 5+0.05 depth=14" "xboard 0+0.5 -")
printf "%-7s %-9s %-14s %6s %-16s %8s %8s %6s %7s %9s %12s\n" protocol control limit games "orvik +/=/-" forfeits \
    illegal crash stalls warnings "least clock"
for row in "${rows[@]}"; do
    [[ -n "${ROWS:-}" ]] && ! grep -Eq -- "$ROWS" <<<"$row" && continue
    read -r proto tc limit <<<"$row"
    limits=() suffix=""
    [[ "$limit" != - ]] && limits=("--${limit%%=*}" "orvik=${limit#*=}") suffix="-$limit"
    log="$OUT/$proto-${tc//\//in}$suffix.txt"
    python3 "$TOP/bench/match.py" --engine "orvik:$proto:$ORVIK" --engine fairymax:xboard:/usr/games/fairymax \
        --drop fairymax=computer --games "$GAMES" --tc "$tc" --concurrency "$AT_ONCE" "${ponder[@]}" \
        "${limits[@]}" >"$log" 2>&1 || status=1
    score=$(sed -n 's/^  orvik: \(+[0-9]* =[0-9]* -[0-9]*\).*/\1/p' "$log")
    line=$(grep -m1 '^  orvik ' "$log")
    num() { sed -n "s/.*$1 \([0-9-]*\).*/\1/p" <<<"$line"; }
    least=$(sed -n 's/.*least time left \([0-9-]*\) ms.*/\1/p' <<<"$line")
    printf "%-7s %-9s %-14s %6s %-16s %8s %8s %6s %7s %9s %9s ms\n" "$proto" "$tc" "$limit" "$GAMES" "$score" \
        "$(num 'time forfeit')" "$(num illegal)" "$(num crash)" "$(num stall)" "$(num 'protocol warnings')" "$least"
done
echo "games and faults in $OUT"
exit $status
