#!/usr/bin/env bash
# Shared by run.sh and test.sh: installs the missing Debian packages and builds into build/.
set -euo pipefail

TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="${JOBS:-$(nproc 2>/dev/null || echo 4)}"
# A compiler cache, where the machine has one, shortens rebuilds of several checkouts.
if command -v ccache >/dev/null 2>&1; then export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"; fi

install_packages() {
    local missing=()
    while read -r pkg; do
        [[ -z "$pkg" || "$pkg" == \#* ]] && continue
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done < "$TOP/scripts/packages.txt"
    if ((${#missing[@]} == 0)); then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    local sudo=""
    if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# build_tree <folder> [extra cmake options...]
build_tree() {
    local dir="$1"; shift
    cmake -S "$TOP" -B "$TOP/$dir" "$@" >/dev/null
    cmake --build "$TOP/$dir" -j "$JOBS"
}

build_release() {
    build_tree build -DCMAKE_BUILD_TYPE=Release
}
