#!/usr/bin/env bash
# Builds Orvek and opens a bundled sample. With a display the desktop program starts on the
# samples folder; without one, orvek-cli renders the sample's graph (and report, once printing
# exists) and says where the files are.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh

BUILD_DIR=${BUILD_DIR:-build/release}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target orvek-cli $( [ -f src/app/main.cpp ] && echo orvek )

SAMPLE=${1:-samples/P04-45m.cdd}
CLI="$BUILD_DIR/src/cli/orvek-cli"
GUI="$BUILD_DIR/src/app/orvek"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$GUI" ]; then
  echo "Starting orvek on $SAMPLE"
  exec "$GUI" "$SAMPLE"
fi

OUT="$(cd "$BUILD_DIR" && pwd)/sample-output"
mkdir -p "$OUT"
echo "No display for the desktop program: showing $SAMPLE with orvek-cli instead."
"$CLI" info "$SAMPLE"
"$CLI" samples "$SAMPLE" > "$OUT/samples.csv"
echo "Samples (raw and smoothed) written to $OUT/samples.csv"
if "$CLI" render --help >/dev/null 2>&1; then
  "$CLI" render "$SAMPLE" -o "$OUT/graph.png" --show XYZ
  echo "Graph picture written to $OUT/graph.png"
fi
if "$CLI" print --help >/dev/null 2>&1; then
  pages=$("$CLI" print "$SAMPLE" -o "$OUT/report.pdf" --wave --data)
  echo "Report ($pages pages: waveform page and data pages) written to $OUT/report.pdf"
fi
