#!/usr/bin/env bash
# Builds a Release of Orvek and its Debian package: build/package/orvek_<version>_amd64.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh

BUILD_DIR=${BUILD_DIR:-build/package-release}
LAUNCHER=()
if command -v ccache >/dev/null; then
  LAUNCHER=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVEK_TESTS=OFF -DORVEK_BENCH=OFF \
  "${LAUNCHER[@]}" >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target orvek orvek-cli
mkdir -p build/package
cpack --config "$BUILD_DIR/CPackConfig.cmake" -B "$PWD/build/package" >/dev/null
rm -rf build/package/_CPack_Packages
ls build/package/orvek_*_amd64.deb
