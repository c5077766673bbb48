#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need.
# Safe to run again; needs root (or sudo).
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
packages=(
  g++ cmake ninja-build pkg-config clang-format clang-tidy git ca-certificates
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-qpa-plugins libgl-dev qt6-translations-l10n
  libpq-dev postgresql postgresql-client pgbouncer
  libgtest-dev libgmock-dev
  libcurl4-openssl-dev libcups2-dev libssl-dev
  fonts-liberation2 fontconfig
  xvfb xauth x11-utils imagemagick poppler-utils libxml2-utils
  python3 python3-cryptography procps iproute2 util-linux time
  dpkg-dev help2man lintian man-db
)
# Nothing to do when every package is already there (repeat runs of the test command).
if dpkg-query -W -f='${Status}\n' "${packages[@]}" 2>/dev/null | grep -qv 'install ok installed' ||
  [ "$(dpkg-query -W -f='${Status}\n' "${packages[@]}" 2>/dev/null | wc -l)" -ne "${#packages[@]}" ]; then
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends "${packages[@]}"
fi
