#!/usr/bin/env bash
# Installs every Debian 12 package Orvek needs to build, test, fuzz, benchmark and run.
# This is the one list of packages; README, .ci/run and developers all go through it.
# Usage: install-deps.sh [windows|package]   (no argument: what building and testing need)
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-svg-dev
  libcli11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libgsf-1-dev libfreexl-dev libpng-dev
  clang libclang-rt-14-dev
  xvfb xauth
  fonts-noto-cjk fonts-wqy-zenhei
  poppler-utils
  qt6-translations-l10n
  dpkg-dev file ccache
  libxlsxwriter-dev
  nodejs npm
)

# Cross-compiling the core for Windows and running its tests there (tools/windows-check.sh).
WINDOWS_PACKAGES=(
  g++-mingw-w64-x86-64-posix wine wine64
)

# Installing the Debian package into a fresh Debian root and checking it there (tools/package-check.sh).
PACKAGE_CHECK_PACKAGES=(
  debootstrap
)

case "${1:-}" in
  "") ;;
  windows) PACKAGES+=("${WINDOWS_PACKAGES[@]}") ;;
  package) PACKAGES+=("${PACKAGE_CHECK_PACKAGES[@]}") ;;
  *) echo "usage: $0 [windows|package]" >&2; exit 2 ;;
esac

# A name counts as there when an installed package provides it (Node.js from its makers' own
# repository brings npm with it and conflicts with Debian's npm).
provided=$(dpkg-query -W -f='${db:Status-Status} ${Package}, ${Provides}\n' |
  sed -n 's/^installed //p' | sed 's/ *([^)]*)//g' | tr ',' '\n' | tr -d ' ')
missing=()
for p in "${PACKAGES[@]}"; do
  grep -qxF "$p" <<<"$provided" || missing+=("$p")
done
if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
