#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need,
# when any of them is missing. Sourced by scripts/run, scripts/test and
# scripts/package.
korvanta_packages=(
  build-essential cmake pkg-config
  qtbase5-dev qtbase5-dev-tools libqt5serialport5-dev libqt5charts5-dev qtmultimedia5-dev
  libqwt-qt5-dev libqt5svg5-dev
  libbenchmark-dev
  fonts-dseg fonts-liberation fonts-noto-cjk
  xvfb xauth imagemagick
  libmosquitto-dev mosquitto mosquitto-clients openssl
)
# What making and checking the Debian package needs on top (scripts/package,
# scripts/package-test).
korvanta_package_tools=(dpkg-dev file help2man lintian desktop-file-utils appstream)

korvanta_install_deps() {
  local missing=()
  local pkg
  for pkg in "${korvanta_packages[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

korvanta_configure_and_build() {
  local dir=$1
  shift
  cmake -S "$KORVANTA_ROOT" -B "$dir" "$@" >/dev/null
  cmake --build "$dir" --parallel "$(nproc)"
}
