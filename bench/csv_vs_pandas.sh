#!/bin/sh
# Generic CSV reader beside pandas.read_csv on the same lapgen file
# (1,000,000 samples, 28 columns). Prints both rates in MB/s of file text
# and their ratios. Rates are per CPU second on both sides (both parsers run on
# one thread), which keeps them comparable on a shared, busy machine. Usage: bench/csv_vs_pandas.sh [BUILD_DIR]   (default build/release)
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/release}
bench=$build/bin/generic_bench
[ -x "$bench" ] || { echo "no $bench: build the generic_bench target first" >&2; exit 1; }

. "$here/bench/pandas.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
csv=$work/lap.csv
"$bench" --write-csv="$csv"
size=$(stat -c %s "$csv")

"$bench" --csv="$csv" --benchmark_filter='BM_Generic(Read|Load)' \
    --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_out="$work/bench.json" --benchmark_out_format=json >&2

"$py" - "$csv" "$size" "$work/bench.json" <<'PY'
import json, sys, time
import pandas as pd

csv, size, report = sys.argv[1], int(sys.argv[2]), sys.argv[3]
best = None
for _ in range(3):
    start = time.process_time()
    frame = pd.read_csv(csv, skiprows=1)  # line 1 is lap information
    elapsed = time.process_time() - start
    assert frame.shape == (1000000, 28), frame.shape
    best = elapsed if best is None else min(best, elapsed)
pandas_rate = size / best / 1e6

runs = json.load(open(report))["benchmarks"]
def rate(name):  # median of the repetitions, MB per CPU second
    run = next(r for r in runs if r["run_name"] == name and r.get("aggregate_name") == "median")
    return run["bytes_per_second"] / 1e6
read_rate = rate("BM_GenericRead/min_time:2.000")
load_rate = rate("BM_GenericLoad/min_time:2.000")

print(f"file: {size / 1e6:.1f} MB, 1,000,000 rows x 28 columns")
print(f"generic reader (read + parse):        {read_rate:8.1f} MB/s")
print(f"generic AddBuffer (+ buffer set-up):  {load_rate:8.1f} MB/s")
print(f"pandas {pd.__version__} read_csv:            {pandas_rate:8.1f} MB/s")
print(f"ratio reader / pandas:                {read_rate / pandas_rate:8.2f}")
print(f"ratio AddBuffer / pandas:             {load_rate / pandas_rate:8.2f}")
PY
