#!/usr/bin/env bash
# The command-line tool gives the same bytes on Linux and on Windows: info, stats,
# setup and export of every demo lap, run by the Linux build and by the Windows
# build under Wine. Only the folder part of the paths the tool prints differs
# (/folder/lap.pad against Z:\folder\lap.pad); it is replaced before comparing.
#
#   golden.sh LINUX_BUILD WINDOWS_BUILD
set -euo pipefail
linux_build="$(cd "$1" && pwd)"
windows_build="$(cd "$2" && pwd)"
here="$(cd "$(dirname "$0")/../.." && pwd)"
linux_cli="$linux_build/bin/tarnwick-cli"
windows_cli="$windows_build/bin/tarnwick-cli.exe"
out="$windows_build/golden"
rm -rf "$out"
mkdir -p "$out/linux" "$out/windows"
[[ -x "$linux_cli" && -f "$windows_cli" && -d "$linux_build/demo" ]] || {
  echo "golden.sh: needs $linux_cli, $windows_cli and $linux_build/demo" >&2
  exit 2
}
# LFS laps are dated by their files' creation time. Wine reports the modification
# time as the creation time, so each copy's modification time is set to its birth.
demo="$out/demo"
cp -r "$linux_build/demo" "$demo"
find "$demo" -type f | while read -r f; do
  born=$(stat -c %W "$f")
  [[ "$born" -gt 0 ]] && touch -m -d "@$born" "$f"
done
export TARNWICK_WINE_BUILD="$windows_build"
# Neither side may see formula channels of the user running the check.
export XDG_DATA_HOME="$out/no-user" APPDATA="$out/no-user"

# The folder part of printed paths, as each side prints it.
windows_demo="Z:$(printf '%s' "$demo" | tr / '\\')"
normalise() {  # file side
  if [[ "$2" == windows ]]; then
    # Paths of the demo folder: its prefix, then the separators after it.
    perl -pe 'BEGIN { $p = quotemeta($ARGV[0]); shift } if (s/$p\\/<demo>\//g) { s{(<demo>/\S*)}{ ($a = $1) =~ tr|\\\\|/|; $a }ge }' \
      "$windows_demo" "$1"
  else
    perl -pe 'BEGIN { $p = quotemeta($ARGV[0]); shift } s/$p\//<demo>\//g' "$demo" "$1"
  fi
}

sets=(
  "GP2 gp2/lap07.pad gp2/lap08.pad gp2/lap09.pad"
  "GP3 gp3/lap07.pad"
  "GP3-2000 gp3-2000/lap07.pad"
  "GP4 gp4/lap07.pad"
  "F1RS f1rs/lap07.tlm"
  "LFS lfs/data/raf/lap1.raf lfs/data/raf/lap2.raf lfs/data/raf/lap3.raf"
  "MGPRS2 mgprs2/save1lap.tlm"
  "Generic generic/lap07.csv"
)
commands=(
  "info"
  "stats"
  "sectors"
  "corners --delimiter tab"
  "setup"
  "setup --buffer 1"
  "export --buffer all --header"
  "export --buffer 0 --delimiter tab --names long --miles -c speed,rh,steer,gear"
)
failed=0
compared=0
cd "$demo"
for set in "${sets[@]}"; do
  read -r game files <<<"$set"
  for command in "${commands[@]}"; do
    name="$(printf '%s %s' "$game" "$command" | tr -c 'A-Za-z0-9-' _)"
    # shellcheck disable=SC2086
    set +e
    "$linux_cli" $command --primary-game "$game" $files >"$out/linux/$name.out" 2>"$out/linux/$name.err"
    echo "exit $?" >>"$out/linux/$name.err"
    "$here/tools/wine-run.sh" "$windows_cli" $command --primary-game "$game" $files \
      >"$out/windows/$name.out" 2>"$out/windows/$name.err"
    echo "exit $?" >>"$out/windows/$name.err"
    set -e
    for stream in out err; do
      compared=$((compared + 1))
      if ! cmp -s <(normalise "$out/linux/$name.$stream" linux) \
                  <(normalise "$out/windows/$name.$stream" windows); then
        echo "DIFFERS: $game $command ($stream)"
        diff <(normalise "$out/linux/$name.$stream" linux) \
             <(normalise "$out/windows/$name.$stream" windows) | head -5 || true
        failed=$((failed + 1))
      fi
    done
  done
done
bytes=$(cat "$out"/linux/*.out | wc -c)
echo "golden: $compared outputs compared ($bytes bytes from Linux), $failed differ"
[[ $failed -eq 0 ]]
