#!/usr/bin/env bash
# A match driven by the real xboard program under a virtual display: Orvik (xboard, or
# UCI through xboard's polyglot adapter) against fairymax or hoichess. Prints the
# results, every complaint xboard logged about Orvik, and pgn-extract's verdict on
# xboard's game file.
#   bench/xboard_match.sh [games] [xboard|uci] [ponder|noponder] [fairymax|hoichess]
# XBOARD_MATCH_KEEP=folder keeps xboard's debug file, the game file and the engines'
# folders there (the whole dialogue, for a look at what xboard sent).
# Needs: apt-get install xboard xvfb fairymax polyglot pgn-extract
set -uo pipefail
export PATH="$PATH:/usr/games"
TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ORVIK="$TOP/build/engine/orvik"
GAMES="${1:-4}"
PROTO="${2:-xboard}"
PONDER="${3:-noponder}"
OPPONENT="${4:-fairymax}"
XBOARD="$(command -v xboard || echo /usr/games/xboard)"
[[ -x "$ORVIK" ]] || { echo "build Orvik first: $ORVIK missing" >&2; exit 1; }
[[ -x "$XBOARD" ]] || { echo "missing xboard: apt-get install xboard xvfb" >&2; exit 1; }
WORK="$(mktemp -d)"
keep_work() {
    if [[ -n "${XBOARD_MATCH_KEEP:-}" ]]; then
        mkdir -p "$XBOARD_MATCH_KEEP" && cp -r "$WORK"/. "$XBOARD_MATCH_KEEP"/
    fi
    rm -rf "$WORK"
}
trap keep_work EXIT
mkdir -p "$WORK/orvik" "$WORK/opponent"
# fairymax 5.0b crashes on xboard's "computer": it plays behind a filter that drops it.
opponent_cmd="$TOP/bench/drop_words.py computer /usr/games/fairymax"
[[ "$OPPONENT" == hoichess ]] && opponent_cmd="/usr/games/hoichess -x"
uci_flag=()
[[ "$PROTO" == uci ]] && uci_flag=(-fUCI)
ponder_flag=(-xponder)
[[ "$PONDER" == ponder ]] && ponder_flag=(-ponder)
timeout $(( GAMES * 120 + 60 )) xvfb-run -a "$XBOARD" \
    -fcp "$ORVIK" -fd "$WORK/orvik" "${uci_flag[@]}" -scp "$opponent_cmd" -sd "$WORK/opponent" \
    -mg "$GAMES" -tc 0:10 -inc 0.1 -xexit -saveSettingsOnExit false "${ponder_flag[@]}" \
    -sgf "$WORK/games.pgn" -debug -nameOfDebugFile "$WORK/xboard.debug" >"$WORK/xboard.out" 2>&1
echo "xboard exit status $?"
grep -h '^\[Result\|^\[White \|^\[Black ' "$WORK/games.pgn" | paste - - - | sed 's/\[//g; s/\]//g'
echo "final comments:"
grep -ho '{[^}]*} [012/*-]*$' "$WORK/games.pgn" | sort | uniq -c
echo "xboard's complaints about Orvik (first engine):"
grep -a '<first' "$WORK/xboard.debug" | grep -a -E 'Illegal move|Error|illegal' || echo "  none"
grep -a -i -E 'false claim|forfeit|time' "$WORK/games.pgn" | grep -v '^\[' || true
PGNX="$(command -v pgn-extract || echo /usr/games/pgn-extract)"
if [[ -x "$PGNX" ]]; then
    report=$("$PGNX" -s -o /dev/null "$WORK/games.pgn" 2>&1)
    [[ -z "$report" ]] && echo "pgn-extract reads xboard's game file without a warning" || echo "$report"
fi
