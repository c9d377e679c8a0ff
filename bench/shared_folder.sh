#!/usr/bin/env bash
# Engines that share one folder, as match runners start them: eight engines let go at
# one moment with numbered logs on (auto_log in orvik.ini) must each write a log of
# their own; four engines learning positions at once must leave every record in
# learnpos.bin.
#   bench/shared_folder.sh [--trials 10] [--engine path]
set -uo pipefail
TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ENGINE="$TOP/build/engine/orvik"
TRIALS=10
while (($#)); do
    case "$1" in
        --trials) TRIALS="$2"; shift 2 ;;
        --engine) ENGINE="$2"; shift 2 ;;
        *) echo "unknown option $1" >&2; exit 2 ;;
    esac
done
START="rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

# Starts engine $2 in folder $1 held at the folder's gate, with its input from file $3.
held_engine() {
    (cd "$1" && sh -c 'read x < gate; exec "$0"' "$ENGINE" < "$3" > /dev/null 2>&1 &)
}
open_gate() {
    for ((k = 0; k < $2; ++k)); do echo go; done > "$1/gate"
}

bad_logs=0
for ((t = 1; t <= TRIALS; ++t)); do
    d="$WORK/logs$t"; mkdir "$d"; mkfifo "$d/gate"
    printf 'auto_log 1\n' > "$d/orvik.ini"
    for k in 1 2 3 4 5 6 7 8; do
        printf 'echo engine-%s\nquit\n' $k > "$d/in$k"
        held_engine "$d" $k "$d/in$k"
    done
    sleep 0.5; open_gate "$d" 8; sleep 3
    logs=0; shared=0
    for f in "$d"/orvik*.log; do
        [ -e "$f" ] || continue
        logs=$((logs + 1))
        [ "$(grep -o 'engine-[0-9]*' "$f" | sort -u | wc -l)" -eq 1 ] || shared=$((shared + 1))
    done
    echo "logs trial $t: $logs logs, $shared not written by exactly one engine"
    [ $logs -eq 8 ] && [ $shared -eq 0 ] || bad_logs=$((bad_logs + 1))
done

bad_learning=0
for ((t = 1; t <= TRIALS; ++t)); do
    d="$WORK/learn$t"; mkdir "$d"; mkfifo "$d/gate"
    for k in 1 2 3 4; do
        for ((j = 1; j <= 100; ++j)); do echo "5 -$((k * 1000 + j)) e2e4 $START"; done > "$d/lines$k.txt"
        printf 'import_pos lines%s.txt\nquit\n' $k > "$d/in$k"
        held_engine "$d" $k "$d/in$k"
    done
    sleep 0.5; open_gate "$d" 4; sleep 3
    next=$(od -An -tu4 -j12 -N4 "$d/learnpos.bin" 2>/dev/null | tr -d ' ')
    size=$(stat -c %s "$d/learnpos.bin" 2>/dev/null || echo 0)
    echo "learning trial $t: next index ${next:-none}, $(((size - 128) / 16)) records of 400"
    [ "${next:-0}" -eq 400 ] && [ "$size" -eq $((128 + 400 * 16)) ] || bad_learning=$((bad_learning + 1))
done
echo "trials with a shared or lost log: $bad_logs of $TRIALS"
echo "trials with lost learned positions: $bad_learning of $TRIALS"
[ $bad_logs -eq 0 ] && [ $bad_learning -eq 0 ]
