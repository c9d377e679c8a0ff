#!/usr/bin/env bash
# Orvik's strength table: matches from the runner's short balanced openings (both
# colours) against Debian's stockfish at several UCI_Elo values (one thread, 16 MB),
# toga2, fairymax and, when given, an older Orvik build, each with its Elo difference,
# error bar and, with --sprt ELO0,ELO1, the sequential test of "Orvik is stronger"
# (which stops a match as soon as it decides; the table plays all games without it).
# The runner's clock is strict (no grace): stockfish keeps 100 ms a move for the pipes
# (Move Overhead), or it loses games on time on a loaded machine.
#   bench/strength.sh [--games N] [--tc 10+0.1] [--concurrency N] [--engine PATH]
#                     [--old PATH] [--sprt ELO0,ELO1] [opponent ...]
# Opponents: sf1800 sf2000 sf2200 sf2400 toga2 fairymax old (default: all but old,
# old too when --old is given). Packages: bench/packages.txt. Results go to
# build/strength/ (one PGN and one report per opponent) and a table at the end.
set -uo pipefail
TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ENGINE="$TOP/build/engine/orvik"
OLD=""
GAMES=100
TC=10+0.1
JOBS=8
SPRT=""
OPPONENTS=()
while (($#)); do
    case "$1" in
        --games) GAMES="$2"; shift 2 ;;
        --tc) TC="$2"; shift 2 ;;
        --concurrency) JOBS="$2"; shift 2 ;;
        --engine) ENGINE="$2"; shift 2 ;;
        --old) OLD="$2"; shift 2 ;;
        --sprt) SPRT="$2"; shift 2 ;;
        -*) echo "unknown option $1" >&2; exit 2 ;;
        *) OPPONENTS+=("$1"); shift ;;
    esac
done
if ((${#OPPONENTS[@]} == 0)); then
    OPPONENTS=(sf1800 sf2000 sf2200 sf2400 toga2 fairymax)
    [[ -n "$OLD" ]] && OPPONENTS+=(old)
fi
[[ -x "$ENGINE" ]] || { echo "no engine at $ENGINE" >&2; exit 1; }
OUT="${STRENGTH_OUT:-$TOP/build/strength}"
mkdir -p "$OUT"
# Both engines get a 16 MB table.
ORVIK=(--engine "orvik:xboard:$(realpath "$ENGINE")" --init "orvik=hash 16M")
summary=()
for opp in "${OPPONENTS[@]}"; do
    case "$opp" in
        sf[0-9]*)
            elo="${opp#sf}"
            args=(--engine "$opp:uci:/usr/games/stockfish"
                  --init "$opp=setoption name Threads value 1" --init "$opp=setoption name Hash value 16"
                  --init "$opp=setoption name Move Overhead value 100"
                  --init "$opp=setoption name UCI_LimitStrength value true"
                  --init "$opp=setoption name UCI_Elo value $elo") ;;
        toga2) args=(--engine "toga2:uci:/usr/games/toga2" --init "toga2=setoption name Hash value 16"
                     --init "toga2=setoption name OwnBook value false") ;;
        fairymax) args=(--engine "fairymax:xboard:/usr/games/fairymax" --drop fairymax=computer) ;;
        old)
            [[ -n "$OLD" ]] || { echo "old needs --old PATH" >&2; exit 2; }
            args=(--engine "old:xboard:$(realpath "$OLD")" --init "old=hash 16M") ;;
        *) echo "unknown opponent $opp" >&2; exit 2 ;;
    esac
    echo "== orvik - $opp: $GAMES games at $TC, $JOBS at once"
    rm -f "$OUT/$opp.pgn"
    python3 "$TOP/bench/match.py" "${ORVIK[@]}" "${args[@]}" --games "$GAMES" --tc "$TC" --concurrency "$JOBS" \
        ${SPRT:+--sprt "$SPRT"} --pgn "$OUT/$opp.pgn" | tee "$OUT/$opp.txt"
    line=$(grep -m1 '^  orvik: ' "$OUT/$opp.txt")
    elo=$(grep -m1 'Elo difference' "$OUT/$opp.txt" | sed 's/^ *Elo difference //')
    games=$(grep -m1 ' games at ' "$OUT/$opp.txt" | sed 's/.*: \([0-9]*\) games.*/\1/')
    summary+=("$(printf '%-9s %5s games %-28s Elo %s' "$opp" "$games" "${line#  orvik: }" "$elo")")
done
echo
echo "== Orvik ($ENGINE) at $TC"
printf '%s\n' "${summary[@]}"
