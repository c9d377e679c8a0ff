#!/usr/bin/env bash
# Evaluations per second of Orvik's static evaluation on a fixed position set (the
# tactical suite and every legal reply to its positions), on the release build.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"
cd "$TOP"
build_release >/dev/null
./build/tests/engine/core/orvik_core_tests --gtest_also_run_disabled_tests \
    --gtest_filter='DISABLED_EvalSpeed.*' | grep -E 'positions|window'
