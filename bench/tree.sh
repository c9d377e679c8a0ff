#!/usr/bin/env bash
# The tree figures of the search at a fixed depth over the fixed position set of the
# node-count signature: branching factor by iteration, first-move cut-offs, null move,
# table hits and cut-offs, extensions by kind and remaining depth, quiescence share.
# With the null move and a table-first ordering the branching factor should stay near 3
# or below and most cut-offs come on the first move.
# Usage: bench/tree.sh [depth] [hash megabytes]   (5 4 prints the number the tests pin)
set -euo pipefail
TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cmake --build "$TOP/build" -j3 --target tree_stats >/dev/null
"$TOP/build/tools/tree_stats" "${1:-8}" "${2:-16}"
