#!/bin/sh
# Installs the Debian packages the build, the tests, the package (make package) and the program need.
# Safe to run again: packages already present are left as they are.
set -e
PKGS="build-essential cmake ninja-build pkg-config \
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-charts-dev qt6-svg-dev \
  qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n \
  libcurl4-openssl-dev libssl-dev openssl zlib1g-dev libcpp-httplib-dev libsqlite3-dev \
  libxlsxwriter-dev python3-openpyxl libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth fonts-dejavu-core \
  clang libclang-rt-14-dev \
  dpkg-dev file desktop-file-utils appstream pngquant"
missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends $missing
fi
