#!/usr/bin/env bash
# The layer check must pass a tree in order and fail, naming file and line, on one upward include.
set -u
check=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/base" "$tmp/device/core" "$tmp/app"
printf '#pragma once\n' > "$tmp/base/settings.h"
printf '#include "base/settings.h"\n#include <QString>\n' > "$tmp/device/core/task.cpp"
printf '#include "device/core/task.h"\n#include "settings.h"\n' > "$tmp/app/main.cpp"
bash "$check" "$tmp" >/dev/null || { echo "FAIL: an ordered tree was refused"; exit 1; }

printf '#pragma once\n\n#include "app/mainwindow.h"\n' > "$tmp/device/core/task.h"
out=$(bash "$check" "$tmp") && { echo "FAIL: an upward include passed"; exit 1; }
grep -q '^device/core/task.h:3: device/ may not include "app/mainwindow.h"' <<<"$out" \
    || { echo "FAIL: the report does not name file and line: $out"; exit 1; }

printf '#pragma once\n' > "$tmp/device/core/task.h"
printf '#include "../app/main.h"\n' > "$tmp/base/helper.cpp"
out=$(bash "$check" "$tmp") && { echo "FAIL: a relative include out of the folder passed"; exit 1; }
grep -q '^base/helper.cpp:1: relative include' <<<"$out" || { echo "FAIL: $out"; exit 1; }
echo "layer check self-test passed"
