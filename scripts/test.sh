#!/usr/bin/env bash
# Builds and runs the whole test suite headless: a normal build, then one with
# AddressSanitizer and UndefinedBehaviorSanitizer. Warnings are errors when CI is set.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

werror=OFF
[[ -n "${CI:-}" ]] && werror=ON
jobs=$(nproc)

for preset in default asan; do
    echo "== $preset build"
    cmake --preset "$preset" -DDEWLIGHT_WERROR=$werror >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    echo "== $preset tests"
    ctest --preset "$preset" -j "$jobs"
done
