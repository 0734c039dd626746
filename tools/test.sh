#!/usr/bin/env bash
# Builds Orvek and runs every test (ctest). Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh

BUILD_DIR=${BUILD_DIR:-build/release}
WERROR=OFF
if [ "${CI:-}" = "true" ]; then WERROR=ON; fi
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVEK_WERROR=$WERROR
cmake --build "$BUILD_DIR" -j"$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)"
