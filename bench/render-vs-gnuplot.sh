#!/usr/bin/env bash
# Batch rendering against a plotting script, side by side on this machine:
#   1. 100 files painted by one `orvek-cli render ... --output-dir` call (the three components,
#      each value curve over its gradient: six curves per file),
#   2. gnuplot drawing the same six curves of the same 100 files in one call (pngcairo, 1280x720),
#      from the samples exported beforehand (the export is not timed),
#   3. the peak resident memory of orvek-cli for 1, 100 and 1000 files.
# Usage: bash bench/render-vs-gnuplot.sh [BUILD_DIR]   (default build/release; orvek-cli built)
# gnuplot and GNU time are installed here, when the script runs, as they are no build dependency.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build/release}"
cli="$build/src/cli/orvek-cli"
[[ -x "$cli" ]] || { echo "orvek-cli not found at $cli; build it first" >&2; exit 2; }

sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
need=()
command -v gnuplot >/dev/null || need+=(gnuplot-nox)
[[ -x /usr/bin/time ]] || need+=(time)
if ((${#need[@]})); then
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${need[@]}" >/dev/null
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Inputs: the bundled samples, copied round-robin under new names.
make_inputs() {  # folder count
    mkdir -p "$1"
    local samples=("$root"/samples/*.cdd) i
    for ((i = 0; i < $2; i++)); do
        cp "${samples[i % ${#samples[@]}]}" "$(printf '%s/pile%04d.cdd' "$1" "$i")"
    done
}
make_inputs "$work/in100" 100
make_inputs "$work/in1000" 1000
make_inputs "$work/in1" 1

# gnuplot reads text: index,x,y,z,depth,dx,dy,dz,... per sample.
mkdir -p "$work/csv"
for f in "$work"/in100/*.cdd; do
    "$cli" samples "$f" >"$work/csv/$(basename "${f%.cdd}").csv"
done
cat >"$work/plot.gp" <<GP
set terminal pngcairo size 1280,720
set datafile separator ","
set datafile columnheaders
set key off
files = system("ls $work/csv/*.csv")
do for [f in files] {
    set output "$work/gnuplot/" . f[strstrt(f, "pile"):strlen(f) - 4] . ".png"
    set multiplot layout 3,1
    do for [c in "2 3 4"] {
        col = int(c)
        set ytics nomirror
        set y2tics
        plot f using 5:col with lines lc rgb "red" lw 2 axes x1y1, \
             f using 5:(column(col + 4)) with lines lc rgb "#82C8FA" lw 2 axes x1y2
    }
    unset multiplot
}
GP
mkdir -p "$work/gnuplot" "$work/out100" "$work/out1000" "$work/out1"

measure() {  # label, command...: prints the wall time in seconds and the peak RSS in MiB
    local label="$1" seconds kib
    shift
    /usr/bin/time -f '%e %M' -o "$work/time.txt" "$@" >/dev/null 2>&1 || true
    read -r seconds kib < <(tail -n 1 "$work/time.txt")
    awk -v l="$label" -v s="$seconds" -v k="$kib" 'BEGIN { printf "%-36s %8.2f s %8.1f MiB\n", l, s, k / 1024 }'
    echo "$seconds" >"$work/last-seconds"
}

echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
measure "gnuplot, 100 files, one call" gnuplot "$work/plot.gp"
gnuplot_s="$(cat "$work/last-seconds")"
measure "orvek-cli render, 100 files" "$cli" render "$work"/in100/*.cdd --output-dir "$work/out100" --show XYZ
orvek_s="$(cat "$work/last-seconds")"
measure "orvek-cli render, 1 file" "$cli" render "$work"/in1/*.cdd --output-dir "$work/out1" --show XYZ
measure "orvek-cli render, 1000 files" "$cli" render "$work"/in1000/*.cdd --output-dir "$work/out1000" --show XYZ
echo "pictures: gnuplot $(ls "$work/gnuplot" | wc -l), orvek-cli $(ls "$work/out100" | wc -l) + $(ls "$work/out1000" | wc -l)"
awk -v o="$orvek_s" -v g="$gnuplot_s" 'BEGIN { printf "orvek-cli / gnuplot (100 files): %.2f (goal: at most 0.33)\n", o / g }'
