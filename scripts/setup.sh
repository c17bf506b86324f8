#!/usr/bin/env bash
# Installs every Debian package the board needs to build, run and be tested (sway, XWayland,
# foot and grim for the Wayland session tests).
# Run as root, or as a user with sudo.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libxcb1-dev libxcb-shape0-dev libxcb-xkb-dev libxcb-randr0-dev libx11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xdotool x11-utils x11-xserver-utils xclip openbox xcompmgr imagemagick
  python3 python3-pil qt6-translations-l10n
  dbus-daemon dbus-bin
  sway xwayland foot grim libwayland-dev libxkbcommon-dev
  fonts-ipafont-gothic fonts-noto-cjk
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
