#!/usr/bin/env bash
# Installs every Debian package the build, the demo and the tests need. Safe to run again.
set -euo pipefail
PKGS=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools qt6-multimedia-dev
  libqt6opengl6-dev libgl-dev qcoro-qt6-dev
  libcurl4-openssl-dev libssl-dev libturbojpeg0-dev libfreexl-dev libxlsxwriter-dev zlib1g-dev libzip-dev libexpat1-dev
  libgtest-dev libgmock-dev
  python3 python3-xlrd python3-xlwt python3-openpyxl fonts-noto-cjk xvfb xauth xdotool
  qt6-translations-l10n
)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
