#!/usr/bin/env bash
# Runs scripts/check-layering.sh on small source trees, each with one include
# that the layering allows or forbids, and checks its verdict and message.
set -euo pipefail
check=$(cd "$(dirname "$0")/../../scripts" && pwd)/check-layering.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A tree with one logic class (Logic, Helper, Shared.h) and one widget class (Panel),
# and its map: what each folder may include.
make_tree() {
  local tree=$1
  mkdir -p "$tree/core/area" "$tree/core/other" "$tree/docs"
  cat >"$tree/docs/architecture.md" <<'MAP'
| folder | holds | includes |
|---|---|---|
| `core/area/` | the logic, `Panel` (widget) | platform |
| `core/other/` | `Unlisted` | area (its logic), platform' `Alerts` |
MAP
  cat >"$tree/core/area/sources.cmake" <<'CMAKE'
# Sources of core/area.
list(APPEND LOGIC_SOURCES
  area/Logic.cpp   # the logic class
  area/Helper.cpp
)
list(APPEND WIDGET_SOURCES area/Panel.cpp)
CMAKE
  printf '# nothing\n' >"$tree/core/other/sources.cmake"
  printf '#pragma once\n#include <QString>\n' >"$tree/core/area/Logic.h"
  printf '#include "core/area/Logic.h"\n#include <QList>\n#include <optional>\n' >"$tree/core/area/Logic.cpp"
  printf '#pragma once\n' >"$tree/core/area/Helper.h"
  printf '#include "core/area/Helper.h"\n#include "core/area/Shared.h"\n' >"$tree/core/area/Helper.cpp"
  printf '#pragma once\n#include <QtMath>\n' >"$tree/core/area/Shared.h"
  printf '#pragma once\n#include <QWidget>\n' >"$tree/core/area/Panel.h"
  printf '#include "core/area/Panel.h"\n#include "core/area/Logic.h"\n#include <QMenu>\n' \
    >"$tree/core/area/Panel.cpp"
  printf '#pragma once\n#include "core/area/Helper.h"\n' >"$tree/core/other/Unlisted.h"
}

# case name | file to append to | line appended | expected: pass or the message's words
cases=(
  "clean tree|||pass"
  "widget source uses widgets|core/area/Panel.cpp|#include <QLabel>|pass"
  "widget source uses a port|core/area/Panel.cpp|#include \"core/platform/Alerts.h\"|pass"
  "commented include is ignored|core/area/Logic.cpp|// #include <QMenu>|pass"
  "logic source includes QMenu|core/area/Logic.cpp|#include <QMenu>|Logic.cpp:4: logic code includes <QMenu> from QtWidgets"
  "logic source includes module path|core/area/Helper.cpp|#include <QtWidgets/QLabel>|<QtWidgets/QLabel> from QtWidgets"
  "logic source includes a module|core/area/Helper.cpp|#  include <QtWidgets>|<QtWidgets> from QtWidgets"
  "logic header includes QWidget|core/area/Logic.h|#include <QWidget>|Logic.h:3: logic code includes <QWidget>"
  "logic reaches widgets through a header|core/area/Shared.h|#include <QAbstractItemView>|Shared.h:3: logic code includes <QAbstractItemView>"
  "logic includes a widget class|core/area/Logic.cpp|#include \"core/area/Panel.h\"|widget class header \"core/area/Panel.h\""
  "logic includes QtGui|core/area/Logic.cpp|#include <QIcon>|<QIcon> from QtGui"
  "core includes platform|core/area/Panel.cpp|#include \"platform/linux/GioWorkspace.h\"|includes \"platform/linux/GioWorkspace.h\""
  "core includes app|core/other/Unlisted.h|#include \"app/CommandLine.h\"|Unlisted.h:3: core code includes \"app/CommandLine.h\""
  "core includes GIO|core/area/Panel.h|#include <gio/gio.h>|includes gio/gio.h; GIO"
  "core includes GLib|core/other/Unlisted.h|#include <glib.h>|includes glib.h"
  "core includes xcb|core/area/Panel.cpp|#include <xcb/xcb.h>|includes xcb/xcb.h"
  "core includes Xlib|core/area/Panel.cpp|#include <X11/Xlib.h>|includes X11/Xlib.h"
  "folders include each other|core/area/Helper.cpp|#include \"core/other/Unlisted.h\"|core/area and core/other include each other"
  "one-way folder include|core/other/Unlisted.h|#include \"core/area/Logic.h\"|pass"
  "include the map lists by header|core/other/Unlisted.h|#include \"core/platform/Alerts.h\"|pass"
  "include the map does not list|core/other/Unlisted.h|#include \"core/platform/Clock.h\"|Unlisted.h:3: core/other includes \"core/platform/Clock.h\", which docs/architecture.md does not list"
  "core includes QtDBus|core/area/Panel.cpp|#include <QDBusConnection>|includes QDBusConnection"
)

failed=0
index=0
for entry in "${cases[@]}"; do
  IFS='|' read -r name file line expected <<<"$entry"
  index=$((index + 1))
  tree="$work/$index"
  make_tree "$tree"
  [[ -n "$file" ]] && printf '%s\n' "$line" >>"$tree/$file"
  set +e
  output=$("$check" "$tree" 2>&1)
  status=$?
  set -e
  if [[ "$expected" == pass ]]; then
    if ((status != 0)); then
      echo "FAIL $name: expected success, got $status: $output"
      failed=$((failed + 1))
    fi
  elif ((status != 1)) || [[ "$output" != *"$expected"* ]]; then
    echo "FAIL $name: expected status 1 and \"$expected\", got $status: $output"
    failed=$((failed + 1))
  fi
done

# Every violation is reported, not only the first one.
tree="$work/all"
make_tree "$tree"
printf '#include <QMenu>\n' >>"$tree/core/area/Logic.cpp"
printf '#include "app/Main.h"\n' >>"$tree/core/area/Panel.cpp"
output=$("$check" "$tree" 2>&1) && status=0 || status=$?
if ((status != 1)) || [[ "$output" != *"2 problem(s)"* ]]; then
  echo "FAIL two violations: expected both reported, got $status: $output"
  failed=$((failed + 1))
fi

# A cycle through three folders, none of them including another directly back.
tree="$work/three"
make_tree "$tree"
mkdir -p "$tree/core/third"
printf '#pragma once\n#include "core/other/Unlisted.h"\n' >"$tree/core/third/Bridge.h"
printf '#include "core/third/Bridge.h"\n' >>"$tree/core/area/Panel.cpp"
output=$("$check" "$tree" 2>&1) && status=0 || status=$?
if ((status != 1)) || [[ "$output" != *"in a cycle: "*area*other*third* ]]; then
  echo "FAIL three-folder cycle: expected it named, got $status: $output"
  failed=$((failed + 1))
fi

# A folder the map does not know.
tree="$work/unmapped"
make_tree "$tree"
mkdir -p "$tree/core/third"
output=$("$check" "$tree" 2>&1) && status=0 || status=$?
if ((status != 1)) || [[ "$output" != *"core/third/ has no row in docs/architecture.md"* ]]; then
  echo "FAIL unmapped folder: expected it named, got $status: $output"
  failed=$((failed + 1))
fi

echo "$((${#cases[@]} + 3 - failed)) of $((${#cases[@]} + 3)) layering cases passed"
((failed == 0))
