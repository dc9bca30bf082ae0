#!/bin/sh
# Export beside pandas.DataFrame.to_csv on the same table: 1,000,000 rows x 10
# columns of a lapgen lap, every value as "%12.6f", tab-separated, CR LF line
# ends. Our side is export_bench's BM_Export (lap in memory -> file); pandas
# gets the very same numbers as a DataFrame and writes them with
# float_format="%12.6f". Times are CPU seconds on both sides (both write on one
# thread), which keeps them comparable on a shared, busy machine. The script
# also checks that both files hold the same rows byte for byte.
# Usage: bench/export_vs_pandas.sh [BUILD_DIR]   (default build/release)
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/release}
bench=$build/bin/export_bench
[ -x "$bench" ] || { echo "no $bench: build the export_bench target first" >&2; exit 1; }

. "$here/bench/pandas.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ours=$work/ours.txt
"$bench" --write-export="$ours"

"$bench" --benchmark_filter='^BM_Export/' \
    --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_out="$work/bench.json" --benchmark_out_format=json >&2

"$py" - "$ours" "$work/pandas.txt" "$work/bench.json" <<'PY'
import json, sys, time
import pandas as pd

ours, theirs, report = sys.argv[1:4]
# The numbers our export wrote, back as doubles: the same table for pandas.
frame = pd.read_csv(ours, sep="\t")
assert frame.shape == (1000000, 10), frame.shape

best = None
for _ in range(3):
    start = time.process_time()
    frame.to_csv(theirs, sep="\t", float_format="%12.6f", index=False, lineterminator="\r\n")
    elapsed = time.process_time() - start
    best = elapsed if best is None else min(best, elapsed)

def rows(path):  # the data lines, without the line of names
    with open(path, "rb") as f:
        f.readline()
        return f.read()
same = rows(ours) == rows(theirs)

runs = json.load(open(report))["benchmarks"]
run = next(r for r in runs if r["run_name"].startswith("BM_Export/") and r.get("aggregate_name") == "median")
scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[run["time_unit"]]
ours_s = run["cpu_time"] * scale

print("table: 1,000,000 rows x 10 columns, \"%12.6f\", tab-separated")
print(f"export (lap in memory -> file):   {ours_s:8.3f} s CPU")
print(f"pandas {pd.__version__} to_csv:             {best:8.3f} s CPU")
print(f"rows identical:                   {'yes' if same else 'NO'}")
print(f"ratio pandas / export (speed-up): {best / ours_s:8.2f}")
PY
