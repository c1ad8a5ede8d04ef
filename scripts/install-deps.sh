#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing Kestrun needs.
# Does nothing when everything is present; otherwise runs apt-get as root or
# through sudo, without questions.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config mold
  libopencv-dev
  qt6-base-dev qt6-charts-dev libgl-dev libopengl-dev libglx-dev
  libqt6svg6
  fonts-dejavu-core fonts-liberation
  libpugixml-dev libzip-dev
  xlsx2csv
  unixodbc-dev odbcinst libsqliteodbc
  odbc-postgresql postgresql
  duktape-dev
  libsane-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
)
# Packages a make target needs beyond these (make fuzz: clang).
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  run=()
elif command -v sudo >/dev/null 2>&1; then
  run=(sudo -n)
else
  echo "error: these packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
"${run[@]}" apt-get update -qq
"${run[@]}" apt-get install -y -qq "${missing[@]}"
