#!/usr/bin/env bash
# Fails when the include direction between the code's layers is broken:
# - a logic source (LOGIC_SOURCES in core/*/sources.cmake, built into the
#   QtCore-only QuaylithLogic), its header, or any core header it reaches,
#   includes a header of a Qt module other than QtCore or a widget class's header;
# - anything in core/ includes platform/ or app/, or a GLib/GIO, X11/xcb,
#   D-Bus or AT-SPI header;
# - the folders of core/ include each other in a cycle (each shared type
#   belongs to the lower folder);
# - a folder of core/ includes another that its row in docs/architecture.md
#   does not list ("includes" column), or has no row there.
# Usage: scripts/check-layering.sh [SOURCE_ROOT]
set -euo pipefail
root=$(cd "${1:-$(dirname "$0")/..}" && pwd)
cd "$root"

qt_headers=${QT_INSTALL_HEADERS:-}
if [[ -z "$qt_headers" ]]; then
  for query in qtpaths6 qmake6 qtpaths qmake; do
    if command -v "$query" >/dev/null; then
      qt_headers=$("$query" -query QT_INSTALL_HEADERS 2>/dev/null || true)
      [[ -d "$qt_headers/QtCore" ]] && break
    fi
  done
fi
if [[ ! -d "$qt_headers/QtCore" ]]; then
  echo "check-layering: Qt 6 headers not found (set QT_INSTALL_HEADERS)" >&2
  exit 2
fi

# The sources one list variable names in core/*/sources.cmake, relative to core/.
listed_sources() {
  local variable=$1
  awk -v var="$variable" '
    { line = $0; sub(/#.*/, "", line) }
    !inside && line ~ "list\\(APPEND[ \t]+" var "([ \t)]|$)" {
      inside = 1
      sub("^.*list\\(APPEND[ \t]+" var, "", line)
    }
    inside {
      done = (line ~ /\)/)
      sub(/\).*/, "", line)
      n = split(line, words, /[ \t]+/)
      for (i = 1; i <= n; i++) if (words[i] != "") print words[i]
      if (done) inside = 0
    }' core/*/sources.cmake
}

# The Qt module a header belongs to ("" when it is not a Qt header).
qt_module_of() {
  local header=$1
  if [[ "$header" == Qt*/* ]]; then
    echo "${header%%/*}"
    return
  fi
  if [[ "$header" == Qt* && -d "$qt_headers/$header" ]]; then
    echo "$header"
    return
  fi
  local module
  for module in "$qt_headers"/Qt*/; do
    if [[ -f "$module$header" ]]; then
      module=${module%/}
      echo "${module##*/}"
      return
    fi
  done
}

# Prints "LINE<TAB>quote<TAB>header" for each #include of a file.
includes_of() {
  grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' "$1" |
    sed -E 's/^([0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*([<"])([^>"]+)[>"].*/\1\t\2\t\3/'
}

failures=0
fail() {
  echo "$1" >&2
  failures=$((failures + 1))
}

declare -A widget_header=()
while read -r source; do
  [[ -n "$source" ]] && widget_header["core/${source%.cpp}.h"]=1
done < <(listed_sources WIDGET_SOURCES)

# Logic files: each logic source, its header, and every core header they reach.
declare -A seen=()
queue=()
while read -r source; do
  [[ -z "$source" ]] && continue
  for file in "core/$source" "core/${source%.cpp}.h"; do
    if [[ -f "$file" && -z "${seen[$file]:-}" ]]; then
      seen[$file]=1
      queue+=("$file")
    fi
  done
done < <(listed_sources LOGIC_SOURCES)

while ((${#queue[@]})); do
  file=${queue[0]}
  queue=("${queue[@]:1}")
  while IFS=$'\t' read -r line quote header; do
    if [[ "$quote" == '"' ]]; then
      if [[ -n "${widget_header[$header]:-}" ]]; then
        fail "$file:$line: logic code includes the widget class header \"$header\""
      elif [[ "$header" == core/* && -f "$header" && -z "${seen[$header]:-}" ]]; then
        seen[$header]=1
        queue+=("$header")
      fi
      continue
    fi
    module=$(qt_module_of "$header")
    if [[ -n "$module" && "$module" != QtCore ]]; then
      fail "$file:$line: logic code includes <$header> from $module; logic uses QtCore only"
    fi
  done < <(includes_of "$file")
done

# Everything in core/: no platform implementation, no executable, no OS library.
os_headers='^(gio/|glib|gobject/|gmodule|xcb/|X11/|xkbcommon/|dbus/|atspi/|at-spi|QtDBus|QDBus)'
while read -r file; do
  while IFS=$'\t' read -r line quote header; do
    if [[ "$quote" == '"' && ("$header" == platform/* || "$header" == app/*) ]]; then
      fail "$file:$line: core code includes \"$header\"; core/ reaches the OS through core/platform ports"
    elif [[ "$header" =~ $os_headers ]]; then
      fail "$file:$line: core code includes $header; GIO, X11 and D-Bus belong in platform/linux"
    fi
  done < <(includes_of "$file")
done < <(find core -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

# Folder cycles: every "core/A/... includes core/B/..." is an edge for tsort,
# which names the folders of a loop.
edges=$(
  find core -type f \( -name '*.h' -o -name '*.cpp' \) | sort | while read -r file; do
    from=${file#core/}
    from=${from%%/*}
    [[ "$file" == core/*/* ]] || continue
    includes_of "$file" | while IFS=$'\t' read -r _ quote header; do
      if [[ "$quote" == '"' && "$header" == core/*/* ]]; then
        to=${header#core/}
        to=${to%%/*}
        [[ "$to" != "$from" ]] && echo "$to $from"
      fi
    done
  done | sort -u
)
if [[ -n "$edges" ]]; then
  loops=$(tsort <<<"$edges" 2>&1 >/dev/null | sed -n 's/^tsort: //p' | grep -v 'input contains a loop' || true)
  if [[ -n "$loops" ]]; then
    pairs=0
    while read -r a b; do
      if [[ "$a" < "$b" ]] && grep -qx "$b $a" <<<"$edges"; then
        fail "core/$a and core/$b include each other"
        pairs=$((pairs + 1))
      fi
    done <<<"$edges"
    if ((pairs == 0)); then
      fail "core/ folders include each other in a cycle: $(echo "$loops" | sort -u | tr '\n' ' ')"
    fi
  fi
fi

# The map's "includes" column: per folder of core/, the folders it may include
# ("everything in `core/`" for all; "pickers' `PickerChoice`" for that header only).
map=docs/architecture.md
declare -A allowed=()
if [[ -f "$map" ]]; then
  while IFS=$'\t' read -r folder includes; do
    allowed[$folder]=" "
    IFS=',' read -ra words <<<"$includes"
    for word in "${words[@]}"; do
      word=$(sed -E 's/\([^)]*\)//g; s/^[[:space:]]+//; s/[[:space:]]+$//' <<<"$word")
      if [[ "$word" == *"everything"* ]]; then
        allowed[$folder]="*"
      elif [[ "$word" =~ ^([a-z]+)\'[[:space:]]+\`([A-Za-z]+)\`$ ]]; then
        allowed[$folder]+="${BASH_REMATCH[1]}/${BASH_REMATCH[2]}.h "
      elif [[ "$word" =~ ^[a-z]+$ ]]; then
        allowed[$folder]+="${word}/ "
      fi
    done
  done < <(sed -nE 's/^\| `core\/([a-z]+)\/` \|.*\| ([^|]*) \|[[:space:]]*$/\1\t\2/p' "$map")
fi
for dir in core/*/; do
  folder=${dir#core/}
  folder=${folder%/}
  if [[ -z "${allowed[$folder]:-}" ]]; then
    fail "core/$folder/ has no row in $map"
    continue
  fi
  [[ "${allowed[$folder]}" == "*" ]] && continue
  while read -r file; do
    while IFS=$'\t' read -r line quote header; do
      [[ "$quote" == '"' && "$header" == core/*/* && "$header" != "core/$folder/"* ]] || continue
      target=${header#core/}
      if [[ "${allowed[$folder]}" != *" ${target%%/*}/ "* && "${allowed[$folder]}" != *" $target "* ]]; then
        fail "$file:$line: core/$folder includes \"$header\", which $map does not list for it"
      fi
    done < <(includes_of "$file")
  done < <(find "core/$folder" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
done

if ((failures)); then
  echo "check-layering: $failures problem(s) with the layering (see docs/architecture.md)" >&2
  exit 1
fi
