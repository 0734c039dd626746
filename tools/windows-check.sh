#!/usr/bin/env bash
# Cross-compiles the Qt-free layers (src/data, src/analysis) and their GoogleTest suites for
# Windows with mingw-w64 and runs the suites under wine: the check that the core does not quietly
# depend on Linux. Installs the Windows toolchain first (tools/install-deps.sh windows).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh windows

BUILD_DIR=${BUILD_DIR:-build/windows}
mkdir -p "$BUILD_DIR"
BUILD_DIR=$(cd "$BUILD_DIR" && pwd)
TOOLCHAIN="$PWD/tools/mingw-w64.cmake"
LAUNCHER=()
if command -v ccache >/dev/null; then
  LAUNCHER=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# GoogleTest from the sources Debian ships, built once for Windows.
GTEST_PREFIX="$BUILD_DIR/googletest-install"
if [ ! -f "$GTEST_PREFIX/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$BUILD_DIR/googletest" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" "${LAUNCHER[@]}" -DCMAKE_INSTALL_PREFIX="$GTEST_PREFIX" \
    -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON >/dev/null
  cmake --build "$BUILD_DIR/googletest" -j"$(nproc)"
  cmake --install "$BUILD_DIR/googletest" >/dev/null
fi

# wine keeps its Windows installation in a prefix of its own, made here on first use; every run of
# a test program (also the test listing after each link) goes through it.
export WINEPREFIX="$BUILD_DIR/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot --init >/dev/null 2>&1 || true
trap 'wineserver -k 2>/dev/null || true' EXIT
EMULATOR="env;WINEPREFIX=$WINEPREFIX;WINEDEBUG=-all;wine"

WERROR=OFF
if [ "${CI:-}" = "true" ]; then WERROR=ON; fi
cmake -S . -B "$BUILD_DIR/orvek" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" "${LAUNCHER[@]}" -DORVEK_MINGW_EXTRA_ROOT="$GTEST_PREFIX" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$EMULATOR" -DORVEK_GUI=OFF -DORVEK_BENCH=OFF -DORVEK_WERROR=$WERROR >/dev/null
cmake --build "$BUILD_DIR/orvek" -j"$(nproc)" --target orvek_data_tests orvek_analysis_tests
ctest --test-dir "$BUILD_DIR/orvek" --output-on-failure -j"$(nproc)"
