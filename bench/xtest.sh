#!/usr/bin/env bash
# The xtest command to its end: statistics of eighteen five-man endings from the tables
# (hundreds of millions of positions each). Without five-man tables every position is
# reported broken; the run measures the enumeration and the failing probes.
# Usage: bench/xtest.sh [engine] [table folder]
set -euo pipefail
TOP="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ENGINE="$(realpath "${1:-$TOP/build/engine/orvik}")"
TABLES="${2:-$TOP/build/egtb_tables}"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
start=$(date +%s.%N)
printf 'tbldir %s\nxtest\nquit\n' "$TABLES" | "$ENGINE" | grep -E '^(npos|max|min|none)' || true
end=$(date +%s.%N)
echo "xtest: $(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }') s"
