#!/usr/bin/env bash
# Builds Corvanta, installs it for the current user under ~/.local and starts it.
# Files given on the command line are opened through Corvanta.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=${CORVANTA_PREFIX:-$HOME/.local}
"$root/scripts/build.sh" "$root/build/release" -DCMAKE_BUILD_TYPE=Release \
  -DCORVANTA_BUILD_TESTS=OFF -DCORVANTA_BUILD_BENCH=OFF -DCMAKE_INSTALL_PREFIX="$prefix"
cmake --install "$root/build/release" >/dev/null
exec "$prefix/bin/corvanta" "$@"
