#!/usr/bin/env bash
# Manual check of the board window with a real mouse under Xvfb (not part of
# ./test.sh): for each square size a game for two people is started from the menus
# (Partida > Nueva partida, then the engine panel's new-game button with no engine
# on either side) and moves are made by dragging on the visible board; screenshots
# are taken with the board normal and flipped.
#
#   tests/manual/xvfb_tablero.sh [build folder] [output folder]
#
# Needs xvfb, xdotool and imagemagick. Look at the screenshots afterwards.
set -euo pipefail

TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD="${1:-$TOP/build}"
SALIDA="${2:-$TOP/build/xvfb_tablero}"
PANTALLA="$TOP/tests/manual/pantalla.py"
mkdir -p "$SALIDA"
export DISPLAY=:${XVFB_PANTALLA:-77}

Xvfb "$DISPLAY" -screen 0 1280x1024x24 >/dev/null 2>&1 &
XVFB=$!
PROGRAMA=""
terminar() {
    [[ -n "$PROGRAMA" ]] && kill "$PROGRAMA" 2>/dev/null || true
    kill "$XVFB" 2>/dev/null || true
}
trap terminar EXIT
sleep 1

foto() { import -window root "$SALIDA/$1.png"; echo "  $SALIDA/$1.png"; }

# Drags from one square to another through a few points between.
arrastrar() {
    local de=$1 a=$2 foto_arrastre=${3:-}
    local x0=$((X + ($(printf '%d' "'${de:0:1}") - 97) * L + L / 2))
    local y0=$((Y + (8 - ${de:1:1}) * L + L / 2))
    local x1=$((X + ($(printf '%d' "'${a:0:1}") - 97) * L + L / 2))
    local y1=$((Y + (8 - ${a:1:1}) * L + L / 2))
    if [[ $INVERTIDO == 1 ]]; then
        x0=$((2 * X + 8 * L - x0)); y0=$((2 * Y + 8 * L - y0))
        x1=$((2 * X + 8 * L - x1)); y1=$((2 * Y + 8 * L - y1))
    fi
    xdotool mousemove "$x0" "$y0" mousedown 1
    for i in 1 2 3 4 5; do
        xdotool mousemove $((x0 + (x1 - x0) * i / 5)) $((y0 + (y1 - y0) * i / 5))
        sleep 0.05
        if [[ $i == 3 && -n $foto_arrastre ]]; then foto "$foto_arrastre"; fi
    done
    xdotool mouseup 1
    sleep 0.3
}

for lado in 30 100; do
    echo "Square size $lado"
    CARPETA=$(mktemp -d)
    cp -r "$BUILD/Tavorin/." "$CARPETA"
    (
        cd "$CARPETA"
        sed -i -e 's/^Nick=.*/Nick=Ana/' -e 's/^Regit\(...\)=.*/Regit\1=1/' -e "s/^Tama.o=.*/Tamaño=$lado/" \
            -e 's/^Width=14400/Width=19200/' -e 's/^Height=10800/Height=15360/' -e 's/^Left=900/Left=0/' \
            -e 's/^Top=600/Top=0/' Default.ini
    )
    (cd "$CARPETA" && exec ./tavorin >"$SALIDA/tavorin-$lado.log" 2>&1) &
    PROGRAMA=$!
    sleep 3
    foto "$lado-0-inicio"
    read -r X Y L < <(python3 "$PANTALLA" tablero "$SALIDA/$lado-0-inicio.png")
    echo "  board at $X,$Y, squares of $L pixels"
    INVERTIDO=0
    # No window manager: the main window gets the keyboard by hand.
    xdotool windowfocus --sync "$(xdotool search --name '^Tavorin' | head -1)"
    # Partida > Nueva partida: the engine panel opens; its first button starts the game.
    xdotool key alt+p Return
    sleep 1
    xdotool mousemove $((X - 18 + 390 + 15)) $((Y - 12 + 11)) click 1
    sleep 0.5
    arrastrar e2 e4 "$lado-1-arrastrando"
    for m in e7e5 g1f3 b8c6 f1c4 g8f6; do arrastrar "${m:0:2}" "${m:2:2}"; done
    foto "$lado-2-normal"
    # Ver > Invertir tablero (fifth item).
    xdotool key alt+v Down Down Down Down Return
    sleep 0.5
    INVERTIDO=1
    foto "$lado-3-invertido"
    for m in e1g1 f6e4; do arrastrar "${m:0:2}" "${m:2:2}"; done
    foto "$lado-4-invertido-jugadas"
    kill "$PROGRAMA"; wait "$PROGRAMA" 2>/dev/null || true
    PROGRAMA=""
    rm -rf "$CARPETA"
done
