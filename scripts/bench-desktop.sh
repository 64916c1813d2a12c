#!/usr/bin/env bash
# The whole app on the tests' own desktop (Xvfb, a private session bus, dunst, a tray host):
#   scripts/bench-desktop.sh rest [seconds, 60] [settle seconds, 20]   wake-ups at rest
#   scripts/bench-desktop.sh start [runs, 3]     start with an empty and with a full ledger
# Needs a normal build configured with -DDEWLIGHT_E2E=ON; DEWLIGHT_BENCH_APP=<binary>
# measures another build of the app.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bench=$root/build/default/bench/app/desktop/bench_desktop
if [[ ! -x $bench ]]; then
    echo "build bench_desktop first: cmake --preset default -DDEWLIGHT_E2E=ON &&" \
        "cmake --build --preset default --target bench_desktop" >&2
    exit 2
fi
exec env -u DISPLAY -u WAYLAND_DISPLAY \
    dbus-run-session --config-file="$root/tests/platform/notifications/private-bus.conf" -- \
    "$bench" "$@"
