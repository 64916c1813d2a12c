#!/usr/bin/env bash
# Builds and runs the whole test suite headless: a normal build, then one with
# AddressSanitizer and UndefinedBehaviorSanitizer. Warnings are errors when CI is set.
# The normal build also runs the end-to-end scenarios, one at a time, on a desktop of their own
# (Xvfb, a private session bus, dunst), after its unit tests.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

werror=OFF
[[ -n "${CI:-}" ]] && werror=ON
jobs=$(nproc)

for preset in default asan; do
    e2e=OFF
    [[ "$preset" == default ]] && e2e=ON
    echo "== $preset build"
    cmake --preset "$preset" -DDEWLIGHT_WERROR=$werror -DDEWLIGHT_E2E=$e2e >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    echo "== $preset tests"
    ctest --preset "$preset" -j "$jobs" -LE e2e
    if [[ "$e2e" == ON ]]; then
        echo "== $preset end-to-end scenarios"
        ctest --preset "$preset" -L e2e
    fi
done
