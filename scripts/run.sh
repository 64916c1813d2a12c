#!/usr/bin/env bash
# Builds the application, installs it under ~/.local (no root needed for this step) and starts
# the installed copy, so that the desktop finds its entry and icon and "Open at Login" starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
prefix=${DEWLIGHT_PREFIX:-$HOME/.local}
cmake --preset default -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
cmake --build --preset default --target dewlight dewlight_icons
cmake --install build/default --prefix "$prefix" >/dev/null
exec "$prefix/bin/dewlight" "$@"
