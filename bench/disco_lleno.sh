#!/usr/bin/env bash
# Tavorin (offscreen) on a real full disk and with odd files in its program folder, each
# run in a fresh copy of the program folder on a small tmpfs in a private mount
# namespace, the way the file-size limit of the tests stands in for one:
#   1. a start and an exit with the disk full: Default.ini and Puntuacion.dat keep
#      every byte;
#   2. Default.ini a FIFO: the start ends at once with its message, the FIFO stays;
#   3. Puntuacion.dat a link to a device node of its own: the node is still a device
#      after a start and an exit.
# Needs a private mount namespace (root, or unprivileged user namespaces); without one it
# says so and ends with status 2. Status 1 when a check fails.
#   bench/disco_lleno.sh [build folder]
set -uo pipefail
TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${1:-$TOP/build}"
PROGRAMA="$BUILD/Tavorin"
[[ -x "$PROGRAMA/tavorin" ]] || { echo "build first: $PROGRAMA/tavorin missing" >&2; exit 2; }
if [[ $(id -u) -eq 0 ]]; then ESPACIO=(unshare -m); else ESPACIO=(unshare -rm); fi
if ! "${ESPACIO[@]}" sh -c 'd=$(mktemp -d) && mount -t tmpfs -o size=1m tmpfs "$d" && umount "$d"' 2>/dev/null; then
    echo "no private mount namespace with a tmpfs here (${ESPACIO[*]}): nothing checked" >&2
    exit 2
fi

# caso <name> <preparation run in the copy> <check run in the copy after Tavorin>
caso() {
    local nombre="$1" preparar="$2" comprobar="$3"
    "${ESPACIO[@]}" env PROGRAMA="$PROGRAMA" PREPARAR="$preparar" COMPROBAR="$comprobar" bash -c '
        # What the program prints goes beside the small disk, not on it.
        S=$(mktemp); M=$(mktemp -d); mount -t tmpfs -o size=8m tmpfs "$M"; trap "cd /; umount $M; rmdir $M; rm -rf $S $S.md5 $S.xdg" EXIT
        cp -r "$PROGRAMA" "$M/T"; rm -rf "$M/T/Motor"; cd "$M/T"
        sed -i "s/^Nick=.*/Nick=Ana/; s/^Regit\(...\)=0/Regit\1=1/" Default.ini
        printf "\x03\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\0\0\x4c\x04\0\0" > Puntuacion.dat
        md5sum Default.ini Puntuacion.dat > "$S.md5"
        eval "$PREPARAR"
        inicio=$(date +%s%N)
        QT_QPA_PLATFORM=offscreen TAVORIN_PRUEBA_ORDENES=1 TAVORIN_PRUEBA_AVISOS=todo TAVORIN_PRUEBA_SALIR_MS=2000 \
            XDG_DATA_HOME="$S.xdg" timeout 60 ./tavorin </dev/null >"$S" 2>/dev/null
        estado=$?
        ms=$(( ($(date +%s%N) - inicio) / 1000000 ))
        grep "^MENSAJE" "$S" | sort -u | cut -c1-100 | sed "s/^/    /"
        eval "$COMPROBAR"'
    local r=$?
    if (( r == 0 )); then echo "PASS $nombre"; else echo "FAIL $nombre"; fallos=$((fallos + 1)); fi
}

fallos=0
caso "a start and an exit on a full disk keep Default.ini and Puntuacion.dat" \
    'dd if=/dev/zero of=relleno bs=4k 2>/dev/null; df -h . | tail -1 | sed "s/^/    /"' \
    'echo "    status $estado after $ms ms"; md5sum --quiet -c "$S.md5"'
caso "Default.ini a FIFO: the start ends with its message and the FIFO stays" \
    'rm Default.ini; mkfifo Default.ini' \
    'echo "    status $estado after $ms ms"; [[ $estado -eq 1 && -p Default.ini ]] && grep -q "Default.ini no se ha encontrado" "$S"'
caso "Puntuacion.dat a link to a device: the device stays" \
    'rm Puntuacion.dat; mknod nulo c 1 3 && ln -s nulo Puntuacion.dat' \
    'echo "    status $estado after $ms ms"; [[ $estado -eq 0 && -c nulo && -L Puntuacion.dat ]]'
exit $(( fallos > 0 ))
