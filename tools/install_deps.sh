#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are absent.
set -euo pipefail
packages=(cmake make g++ pkg-config libsdl2-dev libx11-dev libcairo2-dev libdeflate-dev libgtest-dev libbenchmark-dev
          libnetcdf-dev libhdf5-dev netcdf-bin   # the glider netCDF reader (HDF5: its filters); ncgen makes the test files
          ghostscript fonts-dejavu-core
          poppler-utils librsvg2-bin  # the tests: rendering PDF and SVG hardcopies
          xvfb xdotool x11-apps   # the real-window test: X server, key/mouse driver, xwd
          parallel chromium       # the quick-look tests: an archive drawn by GNU parallel, its pages in a browser
          clang libclang-rt-14-dev)  # the fuzz targets
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}" >/dev/null
fi
