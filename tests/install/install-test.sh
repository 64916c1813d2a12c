#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what the desktop finds there: the
# binary, a valid desktop entry starting it by its absolute path and naming its icon, and the
# icon in the hicolor theme.
# Usage: install-test.sh <build folder>
set -euo pipefail
build=$1
top=$(mktemp -d)
trap 'rm -rf "$top"' EXIT
prefix=$top/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

status=0
fail() {
    echo "install: $1" >&2
    status=1
}

[[ -x $prefix/bin/dewlight ]] || fail "no executable bin/dewlight"
entry=$prefix/share/applications/dewlight.desktop
if [[ -f $entry ]]; then
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$entry" || fail "dewlight.desktop does not validate"
    else
        fail "desktop-file-validate is not installed (Debian: desktop-file-utils)"
    fi
    grep -qxF "Exec=$prefix/bin/dewlight" "$entry" ||
        fail "the entry does not start $prefix/bin/dewlight: $(grep '^Exec=' "$entry")"
    grep -qx 'Icon=dewlight' "$entry" || fail "the entry does not name the dewlight icon"
else
    fail "no share/applications/dewlight.desktop"
fi
icons=$prefix/share/icons/hicolor
grep -q '<svg' "$icons/scalable/apps/dewlight.svg" 2>/dev/null || fail "no scalable SVG icon"
for size in 16 22 24 32 48 64 128 256; do
    png=$icons/${size}x${size}/apps/dewlight.png
    if [[ ! -f $png ]]; then
        fail "no ${size} px icon"
    # The PNG header holds the width and height as big-endian words at bytes 16 and 20.
    elif [[ $(od -An -tu1 -j16 -N8 "$png" | tr -s ' ') != " 0 0 $((size >> 8)) $((size & 255)) 0 0 $((size >> 8)) $((size & 255))" ]]; then
        fail "the ${size} px icon is not ${size}x${size}"
    fi
done

# A prefix with a space: the path is quoted in Exec=, and still validates.
spaced="$top/my apps"
cmake --install "$build" --prefix "$spaced" >/dev/null
entry=$spaced/share/applications/dewlight.desktop
grep -qxF "Exec=\"$spaced/bin/dewlight\"" "$entry" ||
    fail "the entry does not quote $spaced/bin/dewlight: $(grep '^Exec=' "$entry")"
desktop-file-validate "$entry" || fail "the entry under $spaced does not validate"
exit $status
