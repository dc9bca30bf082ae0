#!/usr/bin/env bash
# An unattended screenshot run never waits for a message box: a refused file is
# reported on standard error and the run ends (first file) or goes on (others).
#   screenshot_check.sh TARNWICK LAPGEN SCRATCH
set -uo pipefail
app="$1" lapgen="$2" dir="$3/screenshot-$$"
mkdir -p "$dir"
trap 'rm -rf "$dir"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$dir" XDG_CONFIG_HOME="$dir/config"
"$lapgen" gp2 --samples 400 -o "$dir/good.pad" >/dev/null || exit 1
mkdir -p "$dir/config/Ravelle"
printf '[Settings]\npri_game=0\n' >"$dir/config/Ravelle/Tarnwick.conf"  # GP2 laps
printf 'not a lap' >"$dir/bad.raf"
fail() { echo "screenshot_check: $*" >&2; exit 1; }

timeout 60 "$app" --screenshot "$dir/first.png" "$dir/bad.raf" 2>"$dir/err1"
status=$?
[[ $status -ne 124 ]] || fail "a refused first file left the run waiting"
[[ $status -eq 1 ]] || fail "a refused first file ended with $status, not 1"
[[ -s "$dir/err1" ]] || fail "the refusal was not written to standard error"

timeout 60 "$app" --screenshot "$dir/later.png" "$dir/good.pad" "$dir/bad.raf" 2>"$dir/err2"
status=$?
[[ $status -eq 0 ]] || fail "a refused further file ended the run with $status"
[[ -s "$dir/later.png" ]] || fail "no screenshot after a refused further file"
[[ -s "$dir/err2" ]] || fail "the refusal of the further file was not reported"
echo "screenshot runs never wait for an answer"
