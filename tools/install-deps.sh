#!/usr/bin/env bash
# Installs every Debian 12 package Orvek needs to build, test, fuzz, benchmark and run.
# This is the one list of packages; README, .ci/run and developers all go through it.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libcli11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libgsf-1-dev libfreexl-dev
  clang libclang-rt-14-dev
  xvfb xauth
  fonts-noto-cjk fonts-wqy-zenhei
  poppler-utils
  qt6-translations-l10n
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
