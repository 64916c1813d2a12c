#!/usr/bin/env bash
# Runs the layering check on small trees, in this test's own fixture folder, and compares its
# verdict with the rule's: trees of one file with one include, trees whose CMakeLists.txt lists
# the layers, and link graphs.
# Usage: check-layers-test.sh <check-layers.sh> <fixture folder> <Qt include root>
set -euo pipefail
check=$1
fixtures=$2
qt=$3

mismatches=0
index=0
# verdict <expected> <description> <check arguments...>
verdict() {
    local expected=$1 description=$2 got
    shift 2
    index=$((index + 1))
    if bash "$check" "$@" 2>/dev/null; then got=pass; else got=fail; fi
    if [[ $got != "$expected" ]]; then
        echo "case $index: $description: expected $expected, got $got" >&2
        mismatches=$((mismatches + 1))
    fi
}

# file | include line | verdict
includes=(
    'core/Day.h|#include "core/Date.h"|pass'
    'core/Day.h|#include "platform/calendar/Calendar.h"|pass'
    'core/Day.h|#include <queue>|pass'
    'core/Day.h|#include <nlohmann/json.hpp>|pass'
    'core/Day.h|#include "platform/runtime/Clock.h"|fail'
    'core/Day.h|#include <QString>|fail'
    'core/Day.cpp|#include <QtCore/QDate>|fail'
    'core/Day.cpp|#include <qcoro/qcorotask.h>|fail'
    'core/Day.cpp|#include "storage/RozivData.h"|fail'
    'core/Day.cpp|#include "./Date.h"|pass'
    'core/Day.cpp|#include "../platform/runtime/Clock.h"|fail'
    'core/Day.cpp|#include "../../outside.h"|fail'
    # platform is the bottom: it includes nothing of the project but itself
    'platform/tray/Tray.cpp|#include "platform/runtime/Job.h"|pass'
    'platform/tray/Tray.cpp|#include "app/AppModel.h"|fail'
    'platform/calendar/Calendar.h|#include "core/Date.h"|fail'
    'platform/tray/Tray.cpp|#include "../../ui/Node.h"|fail'
    'platform/tray/Tray.cpp|#include <QImage>|pass'
    # storage, reminders and updates: over core and platform, none over another
    'storage/Store.cpp|#include <QString>|pass'
    'storage/Store.cpp|#include "platform/storage/UserDefaults.h"|pass'
    'storage/Store.cpp|#include "core/Ledger.h"|pass'
    'storage/Store.cpp|#include "ui/Node.h"|fail'
    'storage/Store.cpp|#include <QImage>|fail'
    'storage/Store.cpp|  #  include <QtWidgets/QWidget>|fail'
    'storage/Store.cpp|#include "reminders/ReminderService.h"|fail'
    'storage/Store.cpp|#include "updates/UpdateChecker.h"|fail'
    'reminders/Plan.cpp|#include "storage/RozivData.h"|fail'
    'reminders/Plan.cpp|#include "app/AppModel.h"|fail'
    'reminders/Plan.cpp|#include "views/RozivViewState.h"|fail'
    'updates/Checker.h|#include "kit/panel/UpdateNotifier.h"|fail'
    'updates/Checker.h|#include "storage/RozivData.h"|fail'
    'updates/Checker.h|#include <QGuiApplication>|fail'
    'updates/Checker.h|#include <QNetworkReply>|pass'
    # the drawing side: ui < kit < views, and nothing of the model
    'ui/Node.cpp|#include "platform/localization/Localizer.h"|pass'
    'ui/Node.cpp|#include "kit/windows/KestraBrand.h"|fail'
    'ui/Node.cpp|#include "app/AppModel.h"|fail'
    'ui/Node.cpp|#include <app/AppModel.h>|fail'
    'ui/Node.cpp|#include "storage/RozivData.h"|fail'
    'ui/Node.cpp|// #include "kit/windows/KestraBrand.h" in a comment|pass'
    'kit/panel/Row.cpp|#include "ui/Node.h"|pass'
    'kit/panel/Row.cpp|#include "kit/windows/KestraBrand.h"|pass'
    'kit/panel/Row.cpp|#include "../windows/KestraBrand.h"|pass'
    'kit/windows/Chrome.cpp|#include "kit/panel/FocusRing.h"|pass'
    'kit/panel/Row.cpp|#include "views/RozivViewState.h"|fail'
    'kit/panel/Row.cpp|#include "core/Date.h"|fail'
    'kit/panel/Row.cpp|#include "updates/UpdateOffer.h"|fail'
    'kit/windows/Chrome.cpp|#include "storage/RozivData.h"|fail'
    'kit/windows/Chrome.cpp|#include "reminders/ReminderService.h"|fail'
    'kit/windows/Chrome.h|#include "../../app/AppModel.h"|fail'
    'views/MenuView.cpp|#include "kit/panel/UpdateCard.h"|pass'
    'views/MenuView.cpp|#include "ui/Node.h"|pass'
    'views/MenuView.cpp|#include "app/AppModel.h"|fail'
    'views/MenuView.h|#include "../app/AppModel.h"|fail'
    'views/MenuView.cpp|#include "storage/RozivData.h"|fail'
    'views/MenuView.cpp|#include "core/Date.h"|fail'
    'views/MenuView.cpp|#include "updates/UpdateOffer.h"|fail'
    # app joins all; only tests, benchmarks and tools stand above it
    'app/main.cpp|#include "views/MenuView.h"|pass'
    'app/main.cpp|#include "storage/RozivData.h"|pass'
    'app/main.cpp|#include "tests/support/ModelHarness.h"|fail'
    'tests/app/AppTest.cpp|#include "app/AppModel.h"|pass'
    'bench/core/Bench.cpp|#include "core/Date.h"|pass'
    # a folder of sources outside the order
    'sync/Sync.cpp|#include "core/Date.h"|fail'
)

for entry in "${includes[@]}"; do
    IFS='|' read -r file line expected <<<"$entry"
    root=$fixtures/include-$((index + 1))
    rm -rf "$root"
    mkdir -p "$(dirname "$root/$file")"
    printf '#pragma once\n%s\n' "$line" >"$root/$file"
    verdict "$expected" "$file with '$line'" "$root" "$qt"
done

# A tree without a views/ folder is checked all the same, and a clean tree passes.
root=$fixtures/clean
rm -rf "$root"
mkdir -p "$root/core" "$root/ui"
printf '#include "core/Date.h"\n' >"$root/core/Day.h"
printf '#include "ui/Node.h"\n#include <QImage>\n' >"$root/ui/Text.cpp"
verdict pass "a clean tree" "$root" "$qt"

# The layers CMakeLists.txt lists: each a layer with a CMakeLists.txt of its own, all of them.
all_layers='platform core storage reminders updates ui kit/panel kit/windows views app'
# listed layers | folders without a CMakeLists.txt | verdict
listings=(
    "$all_layers||pass"
    "$all_layers|storage|fail"
    "$all_layers|kit/windows|fail"
    "platform core storage reminders updates ui kit/panel kit/windows views||fail"
    "$all_layers sync||fail"
)
for entry in "${listings[@]}"; do
    IFS='|' read -r listed unbuilt expected <<<"$entry"
    root=$fixtures/listing-$((index + 1))
    rm -rf "$root"
    mkdir -p "$root"
    printf 'set(DEWLIGHT_LAYERS\n    %s)\n' "$listed" >"$root/CMakeLists.txt"
    for folder in $listed; do
        mkdir -p "$root/$folder"
        [[ " $unbuilt " == *" $folder "* ]] || touch "$root/$folder/CMakeLists.txt"
    done
    verdict "$expected" "DEWLIGHT_LAYERS '$listed' without CMakeLists.txt in '$unbuilt'" "$root" "$qt"
done

# folder | linked folder | verdict: a link between two targets of those folders
links=(
    'core|platform/calendar|pass'
    'core|platform/runtime|fail'
    'platform/shell|platform/tray|pass'
    'platform/runtime|core|fail'
    'storage|core|pass'
    'storage|reminders|fail'
    'updates|storage|fail'
    'ui|platform/localization|pass'
    'ui|storage|fail'
    'kit/panel|kit/windows|pass'
    'kit/windows|kit/panel|pass'
    'kit/panel|core|fail'
    'views|kit/windows|pass'
    'views|updates|fail'
    'views|app|fail'
    'app|views|pass'
    'app|storage|pass'
    'tests/app|app|pass'
)
root=$fixtures/links
rm -rf "$root"
mkdir -p "$root"
for entry in "${links[@]}"; do
    IFS='|' read -r from to expected <<<"$entry"
    printf '%s %s dewlight_a dewlight_b\n' "$from" "$to" >"$root/graph.txt"
    verdict "$expected" "a target of $from/ linking one of $to/" "$root" "$qt" "$root/graph.txt"
done

if [[ $mismatches -ne 0 ]]; then
    echo "$mismatches of $index cases went wrong" >&2
    exit 1
fi
