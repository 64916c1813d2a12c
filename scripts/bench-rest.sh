#!/usr/bin/env bash
# Counts the app's wake-ups at rest on the tests' own desktop (Xvfb, a private session bus,
# dunst, a tray host): every thread's context switches over the given time.
#
# Usage: scripts/bench-rest.sh [seconds, 60] [settle seconds, 20]
#   needs a normal build configured with -DDEWLIGHT_E2E=ON; DEWLIGHT_BENCH_APP=<binary>
#   measures another build of the app.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bench=$root/build/default/bench/app/desktop/bench_rest
if [[ ! -x $bench ]]; then
    echo "build bench_rest first: cmake --preset default -DDEWLIGHT_E2E=ON &&" \
        "cmake --build --preset default --target bench_rest" >&2
    exit 2
fi
exec env -u DISPLAY -u WAYLAND_DISPLAY \
    dbus-run-session --config-file="$root/tests/platform/notifications/private-bus.conf" -- \
    "$bench" "$@"
