#!/bin/sh
# Fails when a C++ source of the project differs from the house style (.clang-format
# at the top of the tree). Run from anywhere: formato.sh <top of the tree>
# Whole tables set out by hand stand between "// clang-format off" and "on".
raiz=${1:?top of the tree}
if ! command -v clang-format >/dev/null 2>&1; then
    echo "clang-format is not installed (scripts/packages.txt lists it)" >&2
    exit 1
fi
cd "$raiz" || exit 1
find engine gui tests tools bench -name '*.cpp' -o -name '*.h' | sort |
    xargs clang-format --style=file --dry-run --Werror
