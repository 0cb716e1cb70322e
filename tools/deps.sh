#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing need.
# As root it installs what is missing (after one apt-get update); otherwise it
# names what is missing and fails.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev qt6-tools-dev libqt6uitools6 libgl-dev
  libpugixml-dev libzip-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libxml2-utils unzip
  unicode-data
  # The window tests: a virtual X server, a window manager, and tools that
  # type, click and read the window manager's view of the windows.
  xvfb openbox xdotool x11-utils
)
if [ "${TONARO_WITH_SCREENSHOT:-0}" = 1 ]; then
  packages+=(xvfb)
fi
if [ "${TONARO_WITH_FUZZ:-0}" = 1 ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "These Debian packages are missing: ${missing[*]}" >&2
  echo "Install them as root: apt-get update && apt-get install -y ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
