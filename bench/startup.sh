#!/bin/sh
# Start-up of the program with the three demo LFS laps open: time from process
# start to the end of the main window's first paint, as the program logs it
# (TARNWICK_STARTUP_LOG), over several runs on the offscreen platform, and the
# wall time of the whole run (start, open, paint, picture, exit).
# Usage: bench/startup.sh [BUILD_DIR] [RUNS]   (defaults build/release, 11)
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/release}
runs=${2:-11}
app=$build/bin/tarnwick
demo=$build/demo/lfs/data/raf
[ -x "$app" ] || { echo "no $app: build the program first" >&2; exit 1; }
[ -f "$demo/lap3.raf" ] || "$build/bin/lapgen" --demo "$build/demo" >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen TARNWICK_STARTUP_LOG=1 XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work"
i=0
while [ "$i" -lt "$runs" ]; do
    start=$(date +%s%N)
    "$app" --screenshot "$work/shot.png" "$demo/lap1.raf" "$demo/lap2.raf" "$demo/lap3.raf" \
        2>>"$work/log" >/dev/null
    end=$(date +%s%N)
    echo $(( (end - start) / 1000000 )) >>"$work/wall"
    i=$((i + 1))
done
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
paint=$(grep -o 'paint [0-9.]* ms after main' "$work/log" | awk '{print $2}' | median)
process=$(grep -o '[0-9]* ms after process start' "$work/log" | awk '{print $1}' | median)
wall=$(median <"$work/wall")
echo "start-up with 3 demo laps, median of $runs runs:"
echo "  first paint after main():          $paint ms"
echo "  first paint after process start:   $process ms (10 ms resolution)"
echo "  whole run incl. 200 ms settle + exit: $wall ms"
