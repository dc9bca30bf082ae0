#!/usr/bin/env bash
# Writes the user guide with fresh pictures of every window, made from the demo laps:
#   tools/make-docs.sh BUILD_DIR    ->  BUILD_DIR/docs/guide.md and BUILD_DIR/docs/images/
# Runs offscreen; needs the program, the widget tests and the demo laps in BUILD_DIR.
set -euo pipefail
build="$(cd "$1" && pwd)"
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$build/docs"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$scratch" XDG_CONFIG_HOME="$scratch/config"
chmod 700 "$scratch"
rm -rf "$out"
mkdir -p "$out/images" "$scratch/config/Ravelle"
laps=("$build"/demo/lfs/data/raf/lap{1,2,3}.raf)

# The main window with each kind of window as the one a document opens with.
for view in 0:stat 1:graph 2:text 3:track 4:histogram; do
    printf '[Settings]\nstart_view=%s\nlfs_path=%s\n' "${view%%:*}" "$build/demo/lfs" \
        >"$scratch/config/Ravelle/Tarnwick.conf"
    "$build/bin/tarnwick" --screenshot "$out/images/${view#*:}.png" "${laps[@]}" 2>/dev/null
done
# The analysis layout on the same laps.
"$build/bin/tarnwick" --analysis-layout --screenshot "$out/images/layout.png" "${laps[@]}" 2>/dev/null
# Dialogs and further pictures, from the widget tests that draw them.
TARNWICK_GRAPH_SHOTS="$out/images" TARNWICK_DIALOG_SHOTS="$out/images" \
    "$build/bin/app_tests" --gtest_filter='*Shots*' >/dev/null
cp "$root/docs/guide.md" "$out/guide.md"
echo "guide written to $out/guide.md"
