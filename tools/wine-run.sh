#!/usr/bin/env bash
# Runs a Windows console program under Wine, in a private prefix inside the build
# tree (made on first use), without a display and without Wine's debug chatter.
set -euo pipefail
program="$1"
shift
build="${TARNWICK_WINE_BUILD:-}"
if [[ -z "$build" ]]; then
  # The build tree is the folder above bin/ where the programs land.
  build="$(cd "$(dirname "$program")/.." && pwd)"
fi
export WINEPREFIX="$build/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
loader=/usr/lib/wine/wine64
command -v wine64 >/dev/null 2>&1 && loader="$(command -v wine64)"
if [[ ! -d "$WINEPREFIX" ]]; then
  "$loader" wineboot --init >/dev/null 2>&1 || true
fi
exec "$loader" "$program" "$@"
