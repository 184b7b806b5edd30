#!/usr/bin/env bash
# Installs every Debian package Tavlin needs to build, test, package, run and look at.
# Idempotent and non-interactive; works as root or through sudo.
set -euo pipefail

PACKAGES=(
  g++ make cmake
  qt6-base-dev
  libjpeg-dev libpng-dev libgif-dev
  libgtest-dev libbenchmark-dev
  xvfb xauth imagemagick xdotool
  # The sanitizer build and the fuzz targets (libFuzzer), and the format check of CI.
  clang libclang-rt-14-dev clang-format
  # `make package`: dpkg-shlibdeps computes the package's dependencies.
  dpkg-dev
  # The package tests validate the installed files with the desktop's own tools,
  # and the package with Debian's checker.
  desktop-file-utils appstream shared-mime-info libxml2-utils groff-base lintian
  # tools/make-icons.sh renders the icon's PNG sizes.
  librsvg2-bin
  # The compiler test compiles the NXC and NBC exports with Debian's NXC/NBC compiler.
  nbc
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    SUDO="sudo"
  else
    echo "install-deps: need root or sudo to install: ${missing[*]}" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
