#!/usr/bin/env bash
# Runs the layering check on small trees, one file each, in this test's own fixture folder, and
# compares its verdict with the rule's.
# Usage: check-layers-test.sh <check-layers.sh> <fixture folder> <Qt include root>
set -euo pipefail
check=$1
fixtures=$2
qt=$3

# file | include line | verdict
cases=(
    'core/Day.h|#include "core/Date.h"|pass'
    'core/Day.h|#include "platform/calendar/Calendar.h"|pass'
    'core/Day.h|#include <queue>|pass'
    'core/Day.h|#include <nlohmann/json.hpp>|pass'
    'core/Day.h|#include "platform/runtime/Clock.h"|fail'
    'core/Day.h|#include <QString>|fail'
    'core/Day.cpp|#include <QtCore/QDate>|fail'
    'core/Day.cpp|#include <qcoro/qcorotask.h>|fail'
    'storage/Store.cpp|#include <QString>|pass'
    'storage/Store.cpp|#include "platform/storage/UserDefaults.h"|pass'
    'storage/Store.cpp|#include "ui/Node.h"|fail'
    'storage/Store.cpp|#include <QImage>|fail'
    'storage/Store.cpp|  #  include <QtWidgets/QWidget>|fail'
    'reminders/Plan.cpp|#include "app/AppModel.h"|fail'
    'reminders/Plan.cpp|#include "views/RozivViewState.h"|fail'
    'updates/Checker.h|#include "kit/panel/UpdateNotifier.h"|fail'
    'updates/Checker.h|#include <QGuiApplication>|fail'
    'updates/Checker.h|#include <QNetworkReply>|pass'
    'ui/Node.cpp|#include "platform/localization/Localizer.h"|pass'
    'ui/Node.cpp|#include "kit/windows/KestraBrand.h"|fail'
    'ui/Node.cpp|#include "app/AppModel.h"|fail'
    'kit/panel/Row.cpp|#include "ui/Node.h"|pass'
    'kit/panel/Row.cpp|#include "views/RozivViewState.h"|fail'
    'kit/windows/Chrome.cpp|#include "storage/RozivData.h"|fail'
    'kit/windows/Chrome.cpp|#include "reminders/ReminderService.h"|fail'
    'views/MenuView.cpp|#include "kit/panel/UpdateCard.h"|pass'
    'views/MenuView.cpp|#include "app/AppModel.h"|fail'
    'views/MenuView.cpp|#include "storage/RozivData.h"|fail'
    'app/main.cpp|#include "views/MenuView.h"|pass'
    'ui/Node.cpp|// #include "kit/windows/KestraBrand.h" in a comment|pass'
)

mismatches=0
index=0
for entry in "${cases[@]}"; do
    IFS='|' read -r file line expected <<<"$entry"
    index=$((index + 1))
    root=$fixtures/case-$index
    rm -rf "$root"
    mkdir -p "$(dirname "$root/$file")"
    printf '#pragma once\n%s\n' "$line" >"$root/$file"
    if bash "$check" "$root" "$qt" 2>/dev/null; then verdict=pass; else verdict=fail; fi
    if [[ $verdict != "$expected" ]]; then
        echo "case $index: $file with '$line': expected $expected, got $verdict" >&2
        mismatches=$((mismatches + 1))
    fi
done

# A tree without a views/ folder is checked all the same, and a clean tree passes.
root=$fixtures/clean
rm -rf "$root"
mkdir -p "$root/core" "$root/ui"
printf '#include "core/Date.h"\n' >"$root/core/Day.h"
printf '#include "ui/Node.h"\n#include <QImage>\n' >"$root/ui/Text.cpp"
bash "$check" "$root" "$qt" || { echo "a clean tree failed" >&2; mismatches=$((mismatches + 1)); }

if [[ $mismatches -ne 0 ]]; then
    echo "$mismatches of $((index + 1)) cases went wrong" >&2
    exit 1
fi
