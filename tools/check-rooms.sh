#!/usr/bin/env bash
# Checks that the folders ("rooms") of a library include each other in one
# direction only, and that a library includes only the libraries below it.
#
#   tools/check-rooms.sh [--root DIR] [--graph] LIBRARY...
#
# LIBRARY is morlund, pellith or app. Every `#include "..."` in the library's
# .h/.cpp files is mapped to the room of the including file and the room of the
# included file (morlund/formats/gp2/X.h is in the room "formats"; files right
# in app/ form the room "app"). An include is allowed when it stays in its room,
# reaches a room declared below it, or reaches a library below. Anything else is
# listed and the exit status is 1. Includes of files outside the three
# libraries (generated headers, system headers) are not judged.
#
# --graph prints the room graph instead: one line per edge with its include
# count, wrong-way edges marked "WRONG WAY".
set -euo pipefail

# Libraries, bottom first.
libraries="morlund pellith app"

# Rooms of each library, bottom first: a room may include the rooms before it.
# "room: a b" declares a room off the chain that may include only a and b.
rooms_morlund="platform res setup physics core items formats"
extra_morlund="track: platform res"
rooms_pellith="stats export setup histogram workspace"
extra_pellith="analysis: stats"
rooms_app="res shell graph views setup app"
extra_app=""

root="$(cd "$(dirname "$0")/.." && pwd)"
graph=0
selected=()
while [[ $# -gt 0 ]]; do
    case "$1" in
    --graph) graph=1 ;;
    --root)
        root="$2"
        shift
        ;;
    -h | --help)
        sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'
        exit 0
        ;;
    morlund | pellith | app) selected+=("$1") ;;
    *)
        echo "check-rooms: unknown argument '$1'" >&2
        exit 2
        ;;
    esac
    shift
done
[[ ${#selected[@]} -gt 0 ]] || selected=($libraries)

# Rules as "library room allowed-room..." lines for awk.
rules() {
    local lib rooms extra below room
    for lib in $libraries; do
        rooms="rooms_$lib"
        extra="extra_$lib"
        below=""
        for room in ${!rooms}; do
            echo "$lib $room$below"
            below="$below $room"
        done
        if [[ -n "${!extra}" ]]; then
            while IFS= read -r line; do
                [[ -n "$line" ]] && echo "$lib ${line%%:*} ${line#*:}"
            done <<<"${!extra}"
        fi
    done
}

status=0
for lib in "${selected[@]}"; do
    [[ -d "$root/$lib" ]] || {
        echo "check-rooms: no folder $root/$lib" >&2
        exit 2
    }
    # file:line:text of every quoted include, paths relative to the root.
    (cd "$root" && grep -rnE --include='*.h' --include='*.cpp' \
        '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$lib" || true) |
        awk -v lib="$lib" -v libs="$libraries" -v graph="$graph" -v root="$root" -v rules="$(rules)" '
        function room_of(path,   n, part) {
            n = split(path, part, "/")
            if (n <= 2) return part[1]   # a file right in the library folder
            return part[2]
        }
        function lib_of(path,   part) { split(path, part, "/"); return part[1] }
        function exists(path,   line, ok) {
            ok = (getline line < path) >= 0
            close(path)
            return ok
        }
        BEGIN {
            nlib = split(libs, order, " ")
            for (i = 1; i <= nlib; ++i) librank[order[i]] = i
            nrule = split(rules, rule, "\n")
            for (i = 1; i <= nrule; ++i) {
                n = split(rule[i], f, " ")
                known[f[1] "/" f[2]] = 1
                for (j = 3; j <= n; ++j) allowed[f[1] "/" f[2] "->" f[1] "/" f[j]] = 1
            }
            bad = 0
        }
        {
            file = $0; sub(/:.*/, "", file)
            rest = substr($0, length(file) + 2)
            lineno = rest; sub(/:.*/, "", lineno)
            target = rest; sub(/^[^"]*"/, "", target); sub(/".*$/, "", target)

            # A path relative to the including file resolves in its folder.
            if (!(lib_of(target) in librank)) {
                dir = file; sub(/\/[^\/]*$/, "", dir)
                if (!exists(root "/" dir "/" target)) next
                target = dir "/" target
            }
            from = lib "/" room_of(file)
            tlib = lib_of(target)
            if (tlib != lib) {
                to = tlib
                ok = librank[tlib] < librank[lib]
            } else {
                to = tlib "/" room_of(target)
                ok = (from == to) || ((from "->" to) in allowed)
                if (!(from in known)) unknown[from] = 1
            }
            if (from == to) next
            count[from " -> " to]++
            if (!ok) {
                wrong[from " -> " to] = 1
                offence[++bad] = sprintf("  %s:%s: %s includes %s", file, lineno, from, target)
            }
        }
        END {
            if (graph) {
                for (e in count) {
                    split(e, ends, " -> ")
                    printf "%-16s -> %-16s %4d%s\n", ends[1], ends[2], count[e],
                        (e in wrong) ? "  WRONG WAY" : "" | "sort"
                }
                close("sort")
                exit 0
            }
            for (r in unknown) {
                printf "%s: room %s is not in the declared order\n", lib, r
                failed = 1
            }
            if (bad > 0) {
                printf "%s: %d include(s) against the room order:\n", lib, bad
                for (i = 1; i <= bad; ++i) print offence[i]
                failed = 1
            }
            if (failed) exit 1
            printf "%s: rooms include one way only\n", lib
        }' || status=1
done
exit $status
