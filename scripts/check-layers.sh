#!/usr/bin/env bash
# Fails when the sources or the CMake link graph break the order of the layers. The layers,
# lowest first (the same order as in CMakeLists.txt and the design notes):
#
#   platform   the system, behind interfaces: includes nothing of the project but itself
#   core       pure values, without Qt; of platform/ only platform/calendar
#   storage    \
#   reminders   } each over core and platform, without Qt Gui or Widgets, and none over another
#   updates    /
#   ui         the declarative view layer, over platform
#   kit        the drawn pieces, over ui and platform; kit/panel and kit/windows are one layer
#              and use each other (the panel draws in the windows' brand and palette, the windows
#              with the panel's rows, texts and focus ring), so no order holds between them
#   views      the application's views, over kit, ui and platform
#   app        the application, over all of them
#
# ui, kit and views draw and know nothing of the model: they use none of core, storage,
# reminders or updates; app alone joins the two sides. tests/, bench/ and tools/ stand above
# app and may use any layer. Any other folder holding sources is an error, so that a new folder
# is placed in the order before it is used.
#
# What is checked: every #include of every source file under each folder ("quoted", <angled>
# and relative ones, resolved against the including file's folder), the Qt modules core/ and
# the model layers may use, that each layer folder CMakeLists.txt lists has its own
# CMakeLists.txt (else the layer and its tests silently leave the build), and, given a link
# graph, every link between two of the project's targets.
#
# Usage: check-layers.sh <source root> <Qt include root> [<link graph>]
#   the Qt include root holds QtCore/, QtGui/, QtWidgets/ (for example
#   /usr/include/x86_64-linux-gnu/qt6); it tells which bare <QName> headers are Gui or Widgets.
#   The link graph has a line "<folder> <linked folder> <target> <linked target>" per link, the
#   folders relative to the source root, as tests/layering/CMakeLists.txt writes it.
set -euo pipefail

if [[ $# -lt 2 || $# -gt 3 || ! -d $1 || ! -d $2/QtGui || ($# -eq 3 && ! -f $3) ]]; then
    echo "usage: $0 <source root> <Qt include root with QtGui/> [<link graph>]" >&2
    exit 2
fi
root=$(realpath "$1")
qt=${2%/}
links=${3:-}
gui_modules=(QtGui QtWidgets)

layers=(platform core storage reminders updates ui kit views app)
consumers=(tests bench tools)
# Folders that hold no sources of the project's own.
ignored=(build cmake data scripts)

# What each layer may use, itself included; a consumer uses anything.
declare -A uses=(
    [platform]="platform"
    [core]="core platform/calendar"
    [storage]="storage core platform"
    [reminders]="reminders core platform"
    [updates]="updates core platform"
    [ui]="ui platform"
    [kit]="kit ui platform"
    [views]="views kit ui platform"
    [app]="app views kit ui updates reminders storage core platform"
)

contains() {
    local item=$1
    shift
    local each
    for each in "$@"; do [[ $each == "$item" ]] && return 0; done
    return 1
}

status=0
breach() {
    echo "$1: $2" >&2
    status=1
}

# The layer a path relative to the root lies in, or none, in $layer_found.
layer_of() {
    layer_found=${1%%/*}
    contains "$layer_found" "${layers[@]}" || layer_found=""
}

# Whether a layer may use a path relative to the root (a header or a folder).
may_use() {
    local layer=$1 path=$2 allowed
    contains "$layer" "${consumers[@]}" && return 0
    for allowed in ${uses[$layer]}; do
        [[ $path == "$allowed" || $path == "$allowed"/* ]] && return 0
    done
    return 1
}

# Any Qt header, QCoro included.
is_qt() {
    [[ $1 =~ ^(Qt[A-Za-z]*/|qcoro/|QCoro) || $1 =~ ^Q[A-Z][A-Za-z0-9]*$ || $1 =~ ^q[a-z0-9]+\.h$ ]]
}

# A header of Qt Gui or Qt Widgets, named bare (<QImage>) or with its module (<QtGui/QImage>).
is_gui() {
    local module
    for module in "${gui_modules[@]}"; do
        [[ $1 == "$module/"* ]] && return 0
        [[ $1 != */* && -e $qt/$module/$1 ]] && return 0
    done
    return 1
}

# --- the folders: each holding sources is a layer or a consumer; each listed layer is built ---
while IFS= read -r -d '' folder; do
    name=${folder##*/}
    [[ $name == .* ]] && continue
    contains "$name" "${layers[@]}" "${consumers[@]}" "${ignored[@]}" && continue
    if [[ -n $(find "$folder" \( -name '*.h' -o -name '*.cpp' -o -name '*.h.in' \) -print -quit) ]]; then
        breach "$name/" "a folder of sources that is no layer: place it in scripts/check-layers.sh"
    fi
done < <(find "$root" -mindepth 1 -maxdepth 1 -type d -print0)

if [[ -f $root/CMakeLists.txt ]]; then
    # The list in "set(DEWLIGHT_LAYERS ...)", which may span lines.
    listed=$(tr '\n' ' ' <"$root/CMakeLists.txt" |
        sed -nE 's/.*set\(DEWLIGHT_LAYERS[[:space:]]+([^)]*)\).*/\1/p')
    for folder in $listed; do
        layer_of "$folder"
        [[ -n $layer_found ]] ||
            breach "CMakeLists.txt" "DEWLIGHT_LAYERS lists $folder, which is no layer"
        [[ -f $root/$folder/CMakeLists.txt ]] ||
            breach "CMakeLists.txt" "the layer folder $folder/ has no CMakeLists.txt"
    done
    for layer in "${layers[@]}"; do
        [[ " $listed " == *" $layer "* || " $listed " == *" $layer/"* ]] ||
            breach "CMakeLists.txt" "DEWLIGHT_LAYERS leaves out the layer $layer/"
    done
fi

# --- the includes ---
checked=("${layers[@]}" "${consumers[@]}")
for top in "${checked[@]}"; do
    [[ -d $root/$top ]] || continue
    while IFS=: read -r file line text; do
        [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*([\"\<])([^\"\>]+)[\"\>] ]] ||
            continue
        relative=${file#"$root"/}
        quoted=${BASH_REMATCH[1]}
        header=${BASH_REMATCH[2]}
        here=${relative%/*}
        target=""
        if [[ $header == ./* || $header == ../* ]]; then
            # A relative include names a file beside the including one.
            target=$(realpath -m --relative-to="$root" "$root/$here/$header")
            if [[ $target == ../* ]]; then
                breach "$relative:$line" "\"$header\" reaches out of the source tree"
                continue
            fi
        elif [[ $header == */* ]] && contains "${header%%/*}" "${layers[@]}" "${consumers[@]}"; then
            target=$header # a project header, named from the root, quoted or angled
        elif [[ $quoted == '"' && $header != */* ]]; then
            target=$here/$header # a header beside the file
        fi
        if [[ -n $target ]]; then
            layer_of "$target"
            to=$layer_found
            if [[ -z $to ]] && contains "${target%%/*}" "${consumers[@]}" &&
                ! contains "$top" "${consumers[@]}"; then
                breach "$relative:$line" "$top/ must not include ${target%%/*}/ (\"$header\")"
            elif [[ -n $to ]] && ! may_use "$top" "$target"; then
                if [[ $top == core && $to == platform ]]; then
                    breach "$relative:$line" "core/ may use only platform/calendar/ of platform/, not \"$header\""
                else
                    breach "$relative:$line" "$top/ must not include $to/ (\"$header\")"
                fi
            fi
            continue
        fi
        if [[ $top == core ]] && is_qt "$header"; then
            breach "$relative:$line" "core/ must not include Qt (<$header>)"
        fi
        case $top in
        storage | reminders | updates)
            is_gui "$header" &&
                breach "$relative:$line" "$top/ must not include Qt Gui or Widgets (<$header>)"
            ;;
        esac
    done < <(grep -rnE --include='*.h' --include='*.cpp' --include='*.h.in' \
        '^[[:space:]]*#[[:space:]]*include' "$root/$top" || true)
done

# --- the link graph ---
if [[ -n $links ]]; then
    while read -r from to from_target to_target; do
        [[ -z $from ]] && continue
        layer_of "$from"
        layer=$layer_found
        layer_of "$to"
        [[ -z $layer || -z $layer_found ]] && continue
        may_use "$layer" "$to" ||
            breach "$from/CMakeLists.txt" "$from_target must not link $to_target of $to/"
    done <"$links"
fi

if [[ $status -ne 0 ]]; then
    echo "layering: the sources break the order of the layers (see scripts/check-layers.sh)" >&2
fi
exit $status
