#!/usr/bin/env bash
# Installs what is missing, builds, lays out the program folder and starts Tavorin.
#   ./run.sh          start Tavorin
#   ./run.sh orvik    start the Orvik engine at the console
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/scripts/common.sh"
cd "$TOP"

install_packages
build_release

case "${1:-}" in
    orvik)
        shift
        dir="$TOP/build/Tavorin/Motor/Orvik"
        [[ -x "$dir/orvik" ]] || dir="$TOP/build/engine"
        cd "$dir"
        exec ./orvik "$@"
        ;;
    *)
        exec "$TOP/build/Tavorin/tavorin" "$@"
        ;;
esac
