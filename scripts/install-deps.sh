#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the demo need, if missing.
set -euo pipefail
packages=(build-essential cmake pkg-config qt6-base-dev libqt6sql6-sqlite libsqlite3-dev
          qt6-serialport-dev qt6-charts-dev libqt6opengl6-dev qt6-qpa-plugins libgtest-dev libgmock-dev sqlite3 xvfb xauth
          poppler-utils unrtf libreoffice-calc-nogui qt6-translations-l10n fonts-dejavu-core fonts-liberation fonts-noto-core
          libqt6sql6-psql postgresql dpkg-dev lintian desktop-file-utils man-db groff-base ser2net systemd
          qt6-l10n-tools qt6-tools-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
