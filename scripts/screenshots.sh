#!/usr/bin/env bash
# Makes the README's pictures in docs/images/ with the project's screenshot
# programs under Xvfb, so they show the program as it is: the radial and the
# list picker, the settings window and the tray menu.
# Usage: scripts/screenshots.sh [BUILD_DIR]   (default build/test)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/test}
"$root/scripts/install-deps.sh"
if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target picker_screenshot settings_screenshot tray_menu_screenshot

images=$root/docs/images
mkdir -p "$images"
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
# The same look whatever desktop the script is started from: Qt's own style
# and theme, not the one the surrounding session would pick.
shoot() {
  env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u QT_QPA_PLATFORMTHEME -u QT_STYLE_OVERRIDE \
    LC_ALL=C.UTF-8 xvfb-run -a -s "-screen 0 1280x1024x24" "$@" 2>/dev/null
}
shoot "$build/tests/picker_screenshot" radial "$images/radial-picker.png"
shoot "$build/tests/picker_screenshot" list "$images/list-picker.png"
shoot "$build/tests/settings_screenshot" "$shots"
cp "$shots/tab-rules.png" "$images/settings-window.png"
shoot "$build/tests/tray_menu_screenshot" "$images/tray-menu.png"
echo "Pictures written to $images"
