#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once on the release build,
# once more under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/scripts/common.sh"
cd "$TOP"

install_packages
build_release
build_tree build-asan -DCMAKE_BUILD_TYPE=Debug -DTVO_SANITIZE=ON

export QT_QPA_PLATFORM=offscreen
status=0
echo "== Tests (release build)"
ctest --test-dir build --output-on-failure -j "$JOBS" --timeout 900 || status=1
echo "== Tests (sanitizers)"
# Long searches and counts run only on the release build.
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-asan --output-on-failure -j "$JOBS" --timeout 900 -LE slow || status=1
exit $status
