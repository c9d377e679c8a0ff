#!/usr/bin/env bash
# What each part of the search and evaluation is worth: the full engine against the
# same engine with one part switched off (a setting, or ORVIK_OFF for parts without
# one), at equal time, with the sequential test of "the full engine is stronger"
# (0 against ELO1) deciding when to stop. A part that gains nothing, or loses, is the
# one to read line by line against its description.
#   bench/ablation.sh [--games N] [--tc 2+0.02] [--concurrency N] [--sprt 0,20] [part ...]
# Parts: null verify futility check repcheck recapture pawn7 threat onereply pawnend
#   iid aspiration killers history tablecuts threatbit qchecks qdelta
#   lazy pawns passers king mobility rooksqueens endings imbalance
# Results: build/ablation/<part>.txt and a table at the end.
set -uo pipefail
TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ENGINE="$TOP/build/engine/orvik"
GAMES=2000
TC=2+0.02
JOBS=8
SPRT="0,20"
PARTS=()
while (($#)); do
    case "$1" in
        --games) GAMES="$2"; shift 2 ;;
        --tc) TC="$2"; shift 2 ;;
        --concurrency) JOBS="$2"; shift 2 ;;
        --engine) ENGINE="$2"; shift 2 ;;
        --sprt) SPRT="$2"; shift 2 ;;
        -*) echo "unknown option $1" >&2; exit 2 ;;
        *) PARTS+=("$1"); shift ;;
    esac
done
((${#PARTS[@]})) || PARTS=(null verify futility check repcheck recapture pawn7 threat onereply pawnend iid aspiration
                           killers history tablecuts threatbit qchecks qdelta lazy pawns passers king mobility
                           rooksqueens endings imbalance)
ENGINE="$(realpath "$ENGINE")"
OUT="${ABLATION_OUT:-$TOP/build/ablation}"
mkdir -p "$OUT"
summary=()
for part in "${PARTS[@]}"; do
    env=""
    init=()
    case "$part" in
        null) init=("null_low 0" "null_high 0" "null_endgame 0") ;;
        futility) init=("prune 0") ;;
        check) init=("icheck 0") ;;
        repcheck) init=("irepcheck 0") ;;
        recapture) init=("irecapture 0") ;;
        pawn7) init=("ipawn7 0") ;;
        threat) init=("inullthreat 0") ;;
        onereply) init=("ionerep 0") ;;
        pawnend) init=("ipawne 0") ;;
        iid) init=("deepen 0") ;;
        aspiration) init=("window 30001") ;;
        qchecks) init=("qexact 1") ;;    # captures only: no check answers in the quiescence search
        qdelta) init=("qexact 7") ;;     # no delta pruning
        verify | killers | history | tablecuts | threatbit | lazy | pawns | passers | king | mobility | rooksqueens | \
            endings | imbalance) env="$part" ;;
        *) echo "unknown part $part" >&2; exit 2 ;;
    esac
    args=(--engine "full:xboard:$ENGINE" --init "full=hash 16M" --init "off=hash 16M")
    if [[ -n "$env" ]]; then
        args+=(--engine "off:xboard:/usr/bin/env ORVIK_OFF=$env $ENGINE")
    else
        args+=(--engine "off:xboard:$ENGINE")
    fi
    for line in "${init[@]}"; do args+=(--init "off=$line"); done
    echo "== full - without $part: up to $GAMES games at $TC, $JOBS at once"
    python3 "$TOP/bench/match.py" "${args[@]}" --games "$GAMES" --tc "$TC" --concurrency "$JOBS" --sprt "$SPRT" \
        | tee "$OUT/$part.txt"
    line=$(grep -m1 '^  full: ' "$OUT/$part.txt")
    games=$(grep -m1 ' games at ' "$OUT/$part.txt" | sed 's/.*: \([0-9]*\) games.*/\1/')
    elo=$(grep -m1 'Elo difference' "$OUT/$part.txt" | sed 's/^ *Elo difference //')
    verdict=$(grep -m1 'SPRT' "$OUT/$part.txt" | sed 's/.*: //')
    summary+=("$(printf '%-12s %5s games  %-26s Elo %-16s %s' "$part" "$games" "${line#  full: }" "$elo" "$verdict")")
done
echo
echo "== the full engine against itself without each part, at $TC"
printf '%s\n' "${summary[@]}"
