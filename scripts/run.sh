#!/usr/bin/env bash
# Builds Corvanta, installs it for the current user under ~/.local and starts it
# in the tray. Files (or x-corvanta:// links) given on the command line are
# opened through Corvanta.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=${CORVANTA_PREFIX:-$HOME/.local}
"$root/scripts/build.sh" "$root/build/release" -DCMAKE_BUILD_TYPE=Release \
  -DCORVANTA_BUILD_TESTS=OFF -DCORVANTA_BUILD_BENCH=OFF -DCMAKE_INSTALL_PREFIX="$prefix"
cmake --install "$root/build/release" >/dev/null
# Earlier installs put the library in the public folder; it now lives in a
# private one beside the executable's run path.
rm -f "$prefix"/lib/libQuaylithCore.so.0 "$prefix"/lib/libQuaylithCore.so.0.*

# `corvanta` starts the tray instance (or does nothing when one runs);
# `corvanta open` hands files to it, or becomes the instance itself. Either may
# stay running, so it is detached from this terminal; its messages go to a log.
log="${XDG_CACHE_HOME:-$HOME/.cache}/corvanta.log"
mkdir -p "$(dirname "$log")"
command=("$prefix/bin/corvanta")
[ $# -gt 0 ] && command+=(open "$@")
if command -v setsid >/dev/null; then
  setsid -f "${command[@]}" >>"$log" 2>&1 </dev/null
else
  nohup "${command[@]}" >>"$log" 2>&1 </dev/null &
fi
echo "Corvanta runs in the tray (installed in $prefix; messages in $log)."
