#!/usr/bin/env bash
# Builds the application and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target dewlight
exec build/default/app/dewlight "$@"
