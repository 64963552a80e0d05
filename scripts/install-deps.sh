#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need,
# only those that are missing. Runs apt-get through sudo when not root.
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    qt6-base-dev libqt6sql6-sqlite qt6-translations-l10n libgl-dev
    libsqlite3-dev sqlite3 bc time poppler-utils
    fonts-arphic-uming fonts-noto-cjk fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
