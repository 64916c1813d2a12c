#!/usr/bin/env bash
# Fails when a source file includes a layer it must not. The layers, lowest first:
#   core (no Qt) < platform < storage, reminders, updates < app;  ui < kit < views.
# A folder that does not exist yet is simply not checked.
#
# Usage: check-layers.sh <source root> <Qt include root>
#   the Qt include root holds QtCore/, QtGui/, QtWidgets/ (for example
#   /usr/include/x86_64-linux-gnu/qt6); it tells which bare <QName> headers are Gui or Widgets.
set -euo pipefail

if [[ $# -ne 2 || ! -d $1 || ! -d $2/QtGui ]]; then
    echo "usage: $0 <source root> <Qt include root with QtGui/>" >&2
    exit 2
fi
root=${1%/}
qt=${2%/}
gui_modules=(QtGui QtWidgets)

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

# The project folders a layer must not include, by layer.
forbidden_folders() {
    case $1 in
    storage | reminders | updates) echo "ui kit views app" ;;
    ui) echo "kit views app" ;;
    kit) echo "views app storage reminders" ;;
    views) echo "app storage reminders" ;;
    *) echo "" ;;
    esac
}

status=0
breach() {
    echo "$1:$2: $3" >&2
    status=1
}

for layer in core storage reminders updates ui kit views; do
    [[ -d $root/$layer ]] || continue
    forbidden=$(forbidden_folders "$layer")
    while IFS=: read -r file line text; do
        [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*([\"\<])([^\"\>]+)[\"\>] ]] ||
            continue
        relative=${file#"$root"/}
        quoted=${BASH_REMATCH[1]}
        header=${BASH_REMATCH[2]}
        if [[ $quoted == '"' ]]; then
            folder=${header%%/*}
            if [[ $layer == core ]]; then
                [[ $header == core/* || $header == platform/calendar/* || $header != */* ]] ||
                    breach "$relative" "$line" "core/ may include only core/ and platform/calendar/, not \"$header\""
            fi
            for name in $forbidden; do
                [[ $folder == "$name" ]] &&
                    breach "$relative" "$line" "$layer/ must not include $name/ (\"$header\")"
            done
        else
            if [[ $layer == core ]] && is_qt "$header"; then
                breach "$relative" "$line" "core/ must not include Qt (<$header>)"
            fi
            case $layer in
            storage | reminders | updates)
                is_gui "$header" &&
                    breach "$relative" "$line" "$layer/ must not include Qt Gui or Widgets (<$header>)"
                ;;
            esac
        fi
    done < <(grep -rnE --include='*.h' --include='*.cpp' --include='*.h.in' \
        '^[[:space:]]*#[[:space:]]*include' "$root/$layer" || true)
done

if [[ $status -ne 0 ]]; then
    echo "layering: some files include a layer they must not (see scripts/check-layers.sh)" >&2
fi
exit $status
