#!/usr/bin/env bash
# Orvik against the Debian engines fairymax and hoichess at 10 s + 0.1 s, under each
# protocol: xboard, UCI (the runner bridges to the xboard opponent), both with and
# without pondering, and UCI through polyglot presented as xboard. Ends with a check
# of Orvik's own games file with pgn-extract.
#   bench/matches.sh [games per match] [concurrency]
# Needs: apt-get install fairymax hoichess polyglot pgn-extract
set -uo pipefail
TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ORVIK="$TOP/build/engine/orvik"
GAMES="${1:-40}"
JOBS="${2:-$(( $(nproc) / 2 > 0 ? $(nproc) / 2 : 1 ))}"
OUT="${MATCH_OUT:-$TOP/build/matches}"
[[ -x "$ORVIK" ]] || { echo "build Orvik first (./test.sh or ./run.sh): $ORVIK missing" >&2; exit 1; }
for p in /usr/games/fairymax /usr/games/hoichess /usr/games/polyglot; do
    [[ -x "$p" ]] || { echo "missing $p: apt-get install fairymax hoichess polyglot" >&2; exit 1; }
done
mkdir -p "$OUT"
status=0
run() {   # name, then the runner's arguments
    local name="$1"; shift
    echo "== $name"
    python3 "$TOP/bench/match.py" --games "$GAMES" --tc 10+0.1 --pgn "$OUT/$name.pgn" "${DROP[@]}" "$@" || status=1
    echo
}
FAIRY="fairymax:xboard:/usr/games/fairymax"
DROP=(--drop fairymax=computer)   # fairymax 5.0b crashes on "computer"
HOI="hoichess:xboard:/usr/games/hoichess -x"
rm -f "$OUT"/*.pgn
run xboard-fairymax --engine "orvik:xboard:$ORVIK" --engine "$FAIRY" --concurrency "$JOBS"
run xboard-hoichess --engine "orvik:xboard:$ORVIK" --engine "$HOI" --concurrency "$JOBS"
run uci-fairymax --engine "orvik:uci:$ORVIK" --engine "$FAIRY" --concurrency "$JOBS"
run uci-hoichess --engine "orvik:uci:$ORVIK" --engine "$HOI" --concurrency "$JOBS"
# Pondering engines think on both clocks: half as many games at once.
run xboard-ponder-fairymax --engine "orvik:xboard:$ORVIK" --engine "$FAIRY" --ponder --concurrency $(( (JOBS + 1) / 2 ))
run uci-ponder-hoichess --engine "orvik:uci:$ORVIK" --engine "$HOI" --ponder --concurrency $(( (JOBS + 1) / 2 ))
run polyglot-fairymax --engine "orvik:xboard:/usr/games/polyglot -noini -ec $ORVIK" --engine "$FAIRY" --concurrency "$JOBS"

# Orvik's own games file, read back by pgn-extract.
echo "== games file"
INI="$OUT/games.ini"
echo "sgames $OUT/orvik-games.pgn" > "$INI"
rm -f "$OUT/orvik-games.pgn"
python3 "$TOP/bench/match.py" --games 4 --tc 10+0.1 "${DROP[@]}" --engine "orvik:xboard:$ORVIK $INI" --engine "$FAIRY" >/dev/null
if command -v pgn-extract >/dev/null || [[ -x /usr/games/pgn-extract ]]; then
    PGNX="$(command -v pgn-extract || echo /usr/games/pgn-extract)"
    games=$(grep -c '^\[Event ' "$OUT/orvik-games.pgn")
    report=$("$PGNX" -s -o /dev/null "$OUT/orvik-games.pgn" 2>&1)
    if [[ -z "$report" ]]; then echo "$games games in Orvik's games file, pgn-extract reads them without a warning"
    else echo "pgn-extract on Orvik's games file:"; echo "$report"; status=1; fi
fi
exit $status
