#!/usr/bin/env bash
# Runs the built binary in snapshot mode and checks what it writes: the picture's size, its bytes
# on standard output, the welcome steps, the one failure line and exit status 1 for every bad path, the atomic
# replacement of an existing file, the state variants and the appearance, a run that stays up,
# that nothing is created in the user's folders, that the executable loads no network library,
# and that without the live library beside it the entry fails with a line saying so.
# Usage: snapshot-test.sh <dewlight binary>
set -uo pipefail
binary=$(realpath "$1")
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT

failures=0
fail() {
    echo "snapshot: $1" >&2
    failures=$((failures + 1))
}

# Every run starts without a display and without a platform named: a run with a file must pick
# the offscreen platform by itself. The folders are the test's own.
home=$work/home
mkdir -p "$home/runtime"
chmod 700 "$home/runtime"
run() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$home" XDG_CONFIG_HOME="$home/config" \
        XDG_DATA_HOME="$home/data" XDG_STATE_HOME="$home/state" XDG_CACHE_HOME="$home/cache" \
        XDG_RUNTIME_DIR="$home/runtime" DBUS_SESSION_BUS_ADDRESS=disabled: TZ=America/New_York \
        LC_ALL=C.UTF-8 "$binary" "$@"
}

# A picture written with the given options; fails the test when the run does not succeed.
picture() {
    local out=$1
    shift
    run --snapshot-file "$out" "$@" 2>"$work/stderr"
    local status=$?
    [[ $status -eq 0 ]] || fail "$* exited $status"
    [[ -s $work/stderr ]] && fail "$* wrote to standard error: $(cat "$work/stderr")"
    is_png "$out" || fail "$* wrote no PNG to $out"
}

is_png() {
    [[ -f $1 ]] && [[ $(head -c 8 "$1" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] &&
        [[ $(tail -c 8 "$1" | od -An -tx1 | tr -d ' \n') == 49454e44ae426082 ]]
}

# The width in the PNG header, big-endian at byte 16.
png_width() {
    local b
    read -r -a b < <(od -An -tu1 -j16 -N4 "$1")
    echo $(((b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3]))
}

# --- the panel: 368 points at twice their size, at scale 1 ---
picture "$work/base.png"
[[ $(png_width "$work/base.png") -eq 736 ]] ||
    fail "the panel is $(png_width "$work/base.png") px wide, not 736"

# --- the welcome view and the preferences card: 560 points, not enlarged, at scale 1 ---
picture "$work/welcome-1.png" --snapshot-welcome
picture "$work/preferences.png" --snapshot-preferences
for shown in welcome-1 preferences; do
    [[ $(png_width "$work/$shown.png") -eq 560 ]] ||
        fail "$shown is $(png_width "$work/$shown.png") px wide, not 560"
done
picture "$work/welcome-2.png" --snapshot-welcome --snapshot-step 2
cmp -s "$work/welcome-2.png" "$work/welcome-1.png" && fail "--snapshot-step 2 shows step 1"
for step in x "" 1 +1; do
    picture "$work/welcome-step.png" --snapshot-welcome --snapshot-step "$step"
    cmp -s "$work/welcome-step.png" "$work/welcome-1.png" || fail "--snapshot-step '$step' is not step 1"
done
picture "$work/welcome-both.png" --snapshot-preferences --snapshot-welcome
cmp -s "$work/welcome-both.png" "$work/welcome-1.png" || fail "welcome and preferences together do not show the welcome"
# The welcome's permission follows the state variant as the panel's does.
picture "$work/welcome-denied.png" --snapshot-welcome --snapshot-step 2 --snapshot-state denied
cmp -s "$work/welcome-denied.png" "$work/welcome-2.png" && fail "the welcome ignores --snapshot-state denied"

# --- standard output: only PNG bytes, the same picture as the file ---
run --snapshot-file - >"$work/stdout.png" 2>"$work/stderr"
status=$?
[[ $status -eq 0 ]] || fail "--snapshot-file - exited $status"
[[ -s $work/stderr ]] && fail "--snapshot-file - wrote to standard error: $(cat "$work/stderr")"
cmp -s "$work/stdout.png" "$work/base.png" ||
    fail "--snapshot-file - wrote other bytes than the file"

# --- each bad output: exactly the failure line, status 1, nothing written ---
printf 'Dewlight snapshot could not be written.\n' >"$work/failure-line"
mkdir -p "$work/folder.png" "$work/locked"
chmod a-w "$work/locked"
bad_outputs=(
    "relative.png"                  # never resolved against the working folder
    "./relative.png"
    "$work/picture.jpg"             # not a PNG name
    "$work/picture"
    "$work/.png"                    # a hidden name without an extension
    "$work/missing/picture.png"     # a folder that does not exist
    "$work/folder.png"              # a folder in the file's place
    "/proc/dewlight-snapshot.png"   # a folder nobody can write, not even root
)
# chmod stops everyone but root.
[[ $(id -u) -ne 0 ]] && bad_outputs+=("$work/locked/picture.png")
for output in "${bad_outputs[@]}"; do
    (cd "$work" && run --snapshot-file "$output" >"$work/stdout" 2>"$work/stderr")
    status=$?
    [[ $status -eq 1 ]] || fail "$output: exit status $status, not 1"
    cmp -s "$work/stderr" "$work/failure-line" ||
        fail "$output: standard error holds \"$(cat "$work/stderr")\""
    [[ -s $work/stdout ]] && fail "$output: wrote to standard output"
done
[[ -e $work/relative.png || -e $work/picture.jpg || -e $work/picture || -e $work/.png ]] &&
    fail "a refused output was written"
[[ -z $(ls -A "$work/folder.png") ]] || fail "something was written into the folder"

# Standard output that cannot take the bytes: closed, or a reader that went away.
run --snapshot-file - >&- 2>"$work/stderr"
status=$?
[[ $status -eq 1 ]] && cmp -s "$work/stderr" "$work/failure-line" ||
    fail "a closed standard output: status $status, \"$(cat "$work/stderr")\""
run --snapshot-file - 2>"$work/stderr" | true
status=${PIPESTATUS[0]}
[[ $status -eq 1 ]] && cmp -s "$work/stderr" "$work/failure-line" ||
    fail "a reader that went away: status $status, \"$(cat "$work/stderr")\""

# A file name of any case.
picture "$work/upper.PNG"

# --- an existing file is replaced by a rename: the old file stays whole under another name ---
mkdir "$work/replace"
printf 'the previous picture' >"$work/replace/shot.png"
ln "$work/replace/shot.png" "$work/previous"
before=$(stat -c %i "$work/replace/shot.png")
picture "$work/replace/shot.png"
[[ $(stat -c %i "$work/replace/shot.png") != "$before" ]] || fail "the file was written in place"
[[ $(cat "$work/previous") == "the previous picture" ]] || fail "the previous file was changed"
[[ $(ls -A "$work/replace") == shot.png ]] || fail "the write left $(ls -A "$work/replace")"

# --- every state variant differs from the demonstration; unknown values equal it ---
for variant in denied not-asked off local four-sips three-glasses above-range failed long-range; do
    picture "$work/state-$variant.png" --snapshot-state "$variant"
    cmp -s "$work/state-$variant.png" "$work/base.png" && fail "--snapshot-state $variant shows the base"
done
for unknown in FAILED bogus ""; do
    picture "$work/unknown.png" --snapshot-state "$unknown"
    cmp -s "$work/unknown.png" "$work/base.png" || fail "--snapshot-state '$unknown' changed the picture"
done

# --- the appearance ---
picture "$work/light.png" --snapshot-appearance light
picture "$work/dark.png" --snapshot-appearance dark
cmp -s "$work/light.png" "$work/dark.png" && fail "dark shows the same as light"
picture "$work/other.png" --snapshot-appearance light --snapshot-appearance dark
cmp -s "$work/other.png" "$work/light.png" || fail "a repeated option was read past its first"

# --- without a file: no display is an error; with one, the window stays up until a signal ---
run --snapshot-state off >"$work/stdout" 2>"$work/stderr"
status=$?
[[ $status -eq 1 ]] && grep -q 'no display' "$work/stderr" ||
    fail "no display and no file: status $status, \"$(cat "$work/stderr")\""
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen HOME="$home" \
    DBUS_SESSION_BUS_ADDRESS=disabled: "$binary" --snapshot-state off 2>"$work/stderr" &
shown=$!
sleep 1.5
if kill -0 "$shown" 2>/dev/null; then
    kill -TERM "$shown"
    wait "$shown"
    status=$?
    [[ $status -eq 0 ]] || fail "the shown snapshot ended with status $status on SIGTERM"
else
    wait "$shown"
    fail "a run without --snapshot-file quit by itself (status $?)"
fi
[[ -s $work/stderr ]] && fail "the shown snapshot wrote \"$(cat "$work/stderr")\""

# --- nothing is created in the user's folders, writable or not ---
# (home has been used by every run above: it must still be empty)
[[ $(find "$home" -mindepth 1) == "$home/runtime" ]] || fail "runs created $(find "$home" -mindepth 1 | head -5)"
mkdir -p "$home/config" "$home/data" "$home/state" "$home/cache" "$home/runtime" "$work/out"
chmod 700 "$home/runtime"
chmod -R a-w "$home"
listing=$(find "$home" | sort)
picture "$work/out/read-only-home.png"
[[ $(find "$home" | sort) == "$listing" ]] || fail "a run changed the read-only home"

# --- the executable alone is what a snapshot loads: no network, no cryptography ---
linked=$(ldd "$binary")
for library in libQt6Network libcrypto libQCoro6Network; do
    [[ $linked == *"$library"* ]] && fail "the executable loads $library"
done

# --- without its live library, the entry says so instead of starting ---
mkdir -p "$work/lone/bin"
cp "$binary" "$work/lone/bin/dewlight"
DISPLAY=:0 "$work/lone/bin/dewlight" >"$work/stdout" 2>"$work/stderr"
status=$?
[[ $status -eq 1 ]] || fail "without its live library the entry exited $status"
[[ $(cat "$work/stderr") == "dewlight: the application could not be loaded: "*dewlight-live.so* ]] ||
    fail "without its live library the entry wrote \"$(cat "$work/stderr")\""

if [[ $failures -ne 0 ]]; then
    echo "snapshot: $failures failures" >&2
    exit 1
fi
