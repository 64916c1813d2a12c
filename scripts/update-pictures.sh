#!/usr/bin/env bash
# Makes the reference pictures in tests/pictures/ anew from the normal build: for a deliberate
# visual change, committed on its own after looking at every picture it changed (git status,
# then the PNGs themselves).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"
DEWLIGHT_UPDATE_PICTURES=1 ctest --preset default -j "$(nproc)" -L pictures
git status --short -- tests/pictures
