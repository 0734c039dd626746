#!/usr/bin/env bash
# Builds a Release of Orvek and its Debian package: build/package/orvek_<version>_amd64.deb.
# PACKAGE_FROM=<build folder> packages the programs already built there instead (CI packages the
# build its tests just ran on rather than compiling everything a second time).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh

BUILD_DIR=${PACKAGE_FROM:-build/package-release}
if [ -z "${PACKAGE_FROM:-}" ]; then
  LAUNCHER=()
  if command -v ccache >/dev/null; then
    LAUNCHER=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVEK_TESTS=OFF -DORVEK_BENCH=OFF \
    "${LAUNCHER[@]}" >/dev/null
fi
cmake --build "$BUILD_DIR" -j"$(nproc)" --target orvek orvek-cli
mkdir -p build/package
rm -f build/package/orvek_*_amd64.deb
cpack --config "$BUILD_DIR/CPackConfig.cmake" -B "$PWD/build/package" >/dev/null
rm -rf build/package/_CPack_Packages
ls build/package/orvek_*_amd64.deb
