#!/usr/bin/env bash
# The installed program under a real X display, driven with real input.
#
#   tests/e2e/run.sh BUILD_DIR
#
# Checks the Debian package (lintian, the desktop entry and AppStream validators),
# unpacks it into a scratch root, starts the unpacked program under Xvfb on the demo
# laps and drives it with xdotool: the keys that open each kind of window, zoom and
# cursor keys and a drag in a graph, a click on a row of the sample table. What can be
# seen from outside is checked: the main window's title and screenshots that are not
# blank and that change where the input should change them.
set -euo pipefail
build="$(cd "$1" && pwd)"
root="$(cd "$(dirname "$0")/../.." && pwd)"
scratch="$(mktemp -d)"
step() { echo "e2e: $*"; }
fail() { echo "e2e: FAILED: $*" >&2; exit 1; }
cleanup() {
    [[ -n "${app:-}" ]] && kill "$app" 2>/dev/null || true
    [[ -n "${xvfb:-}" ]] && kill "$xvfb" 2>/dev/null || true
    [[ -n "${TARNWICK_E2E_KEEP:-}" ]] && echo "e2e: kept $scratch" || rm -rf "$scratch"
}
trap cleanup EXIT

deb="$(ls "$build"/tarnwick_*.deb 2>/dev/null | head -1)"
[[ -f "$deb" ]] || fail "no package in $build (make package)"

step "package checks"
lintian --fail-on error "$deb" || fail "lintian reports errors"
desktop-file-validate "$root/packaging/com.ravelle.Tarnwick.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$build/packaging/com.ravelle.Tarnwick.metainfo.xml" >/dev/null ||
    fail "AppStream data"

step "unpacking into a scratch root"
dpkg-deb -x "$deb" "$scratch/root"
program="$scratch/root/usr/bin/tarnwick"
"$scratch/root/usr/bin/tarnwick-cli" info "$build/demo/lfs/data/raf/lap1.raf" | grep -q "^game: LFS" ||
    fail "the unpacked tarnwick-cli does not read a lap"

step "starting Xvfb"
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start"

export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" XDG_RUNTIME_DIR="$scratch/run"
mkdir -p "$XDG_CONFIG_HOME/Ravelle" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf '[Settings]\nstart_view=1\nlfs_path=%s\n' "$build/demo/lfs" \
    >"$XDG_CONFIG_HOME/Ravelle/Tarnwick.conf"

step "starting the program on the demo laps"
# From the scratch folder, where the export proposes to write its file.
(cd "$scratch" && exec "$program" "$build"/demo/lfs/data/raf/lap{1,2,3}.raf >program.log 2>&1) &
app=$!
window=""
for _ in $(seq 100); do
    window="$(xdotool search --name ' - Tarnwick$' 2>/dev/null | head -1 || true)"
    [[ -n "$window" ]] && break
    sleep 0.1
done
[[ -n "$window" ]] || fail "no main window"
title="$(xdotool getwindowname "$window")"
[[ "$title" == "lap1.raf - Tarnwick" ]] || fail "main window title '$title'"
# No window manager runs: the window gets the focus and its size directly, and keys go
# through the X test extension as typed keys do.
xdotool windowsize --sync "$window" 1280 1000 >/dev/null 2>&1 || true
xdotool windowfocus --sync "$window" 2>/dev/null
sleep 1
key() { xdotool key "$@"; }

# A picture of the whole screen; prints the number of its colours and keeps it as NAME.
shot() {
    sleep 0.8
    xwd -root -silent >"$scratch/$1.xwd"
    python3 - "$scratch/$1.xwd" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
header = struct.unpack(">25I", data[:100])
size, width, height, bpl = header[0], header[4], header[5], header[12]
ncolors = header[19]
pixels = data[size + ncolors * 12:]
seen = set()
for y in range(0, height, 4):
    row = pixels[y * bpl:(y + 1) * bpl]
    for x in range(0, width * 4, 16):
        seen.add(row[x:x + 3])
print(len(seen))
PY
}
differ() { ! cmp -s "$scratch/$1.xwd" "$scratch/$2.xwd"; }
shots=0
colours() {
    local n
    n="$(shot "$1")"
    shots=$((shots + 1))
    [[ "$n" -gt 12 ]] || fail "$1: a blank screen ($n colours)"
}

colours graph
step "opening each kind of window by its key"
previous=graph
for key in F5:stat F7:text F8:track F6:graph2; do
    key "${key%%:*}"
    colours "${key#*:}"
    differ "$previous" "${key#*:}" || fail "${key%%:*} changed nothing on the screen"
    previous="${key#*:}"
done

step "a graph: zoom, a drag across the plot, the cursor"
key KP_Add
colours zoomed
differ graph2 zoomed || fail "keypad + did not zoom the graph"
key ctrl+z
colours unzoomed
differ zoomed unzoomed || fail "Ctrl+Z did not show the whole lap again"
read -r wx wy ww wh < <(xdotool getwindowgeometry --shell "$window" |
    awk -F= '/^X=/{x=$2} /^Y=/{y=$2} /^WIDTH=/{w=$2} /^HEIGHT=/{h=$2} END{print x, y, w, h}')
cx=$((wx + ww / 2)) cy=$((wy + wh / 2))
xdotool mousemove "$((cx - 200))" "$cy" mousedown 1 mousemove "$((cx - 50))" "$cy" \
    mousemove "$((cx + 150))" "$cy" mouseup 1
colours dragged
differ unzoomed dragged || fail "a drag across the plot selected nothing"
key ctrl+c  # cursor mode: a click sets the cursor
xdotool mousemove "$((cx + 60))" "$cy" click 1
colours cursor
differ dragged cursor || fail "a click in cursor mode set no cursor"

step "the sample table: a click on a row"
key F7
colours table
xdotool mousemove "$cx" "$cy" click 1
colours clicked
differ table clicked || fail "a click on a row of the sample table changed nothing"

step "the export dialog writing every channel of the laps"
key ctrl+e
sleep 1.5
key alt+l
sleep 0.5
key Return
exported="$scratch/lap1.csv"  # named after the document
for _ in $(seq 100); do [[ -s "$exported" ]] && break; sleep 0.1; done
[[ -s "$exported" ]] || fail "the export wrote no file"
sleep 1
lines="$(wc -l <"$exported")"
# Three laps of about 5000 samples each.
[[ "$lines" -gt 15000 ]] || fail "the export wrote $lines lines"
head -1 "$exported" | grep -q '"dist".*"speed"' || fail "the export's first line is not every column"

kill -0 "$app" 2>/dev/null || fail "the program ended early: $(cat "$scratch/program.log")"
step "passed ($shots screenshots)"
