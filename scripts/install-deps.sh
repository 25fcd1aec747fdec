#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Corvanta needs to build, test and run.
# Only packages that are missing are installed; sudo is used when not root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-svg-dev
  libglib2.0-dev libglib2.0-bin libxcb1-dev
  libxcb-xtest0-dev libxcb-xfixes0-dev libxcb-keysyms1-dev libxcb-xkb-dev
  libgtest-dev googletest
  clang clang-format ccache
  xvfb xauth xdotool dbus dbus-x11 at-spi2-core x11-xkb-utils x11-xserver-utils
  thunar openbox xterm xclip trayer
  desktop-file-utils shared-mime-info attr dpkg-dev file
  qt6-qpa-plugins adwaita-icon-theme hicolor-icon-theme
  weston qt6-wayland
  lintian appstream
  man-db zsh fish
)
if [[ "${CORVANTA_WITH_QT_GTK:-1}" == 1 ]]; then packages+=(qt6-gtk-platformtheme); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
