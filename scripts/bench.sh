#!/usr/bin/env bash
# Builds the benchmark program and prints, for every kernel, case and size,
# which entry the fast kernel is (where the family labels it) and how many
# times faster it runs than each other implementation measured in the same
# run (plain, the other entries, OpenCV, pixman, where present).
#
#   scripts/bench.sh [benchmark options...]     e.g. --benchmark_filter=rotate/
#
# Environment: BUILD_DIR=dir builds there (configured with -DVIRELTA_BENCH=ON)
# instead of the "native" preset's folder; REPETITIONS=n (default 7) runs of
# each benchmark, interleaved at random, of which the fastest counts (other
# programs on a shared machine only ever slow a run down); CLOCK=real compares
# wall-clock times instead of processor times.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
if [[ -n "${BUILD_DIR:-}" ]]; then
  build=$BUILD_DIR
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVIRELTA_BENCH=ON >/dev/null
else
  build=$root/build/native
  (cd "$root" && cmake --preset native >/dev/null)
fi
cmake --build "$build" -j2 --target virelta_bench >/dev/null

program=$build/bench/virelta_bench
if [[ ! -x $program ]]; then
  echo "bench.sh: $program was not built (is libbenchmark-dev installed?)" >&2
  exit 1
fi

json=$(mktemp)
trap 'rm -f "$json"' EXIT
"$program" --benchmark_repetitions="${REPETITIONS:-7}" --benchmark_enable_random_interleaving=true \
  --benchmark_display_aggregates_only=true --benchmark_out="$json" --benchmark_out_format=json "$@" >&2

python3 - "$json" "${CLOCK:-cpu}" <<'PY'
import json
import sys

path, clock = sys.argv[1], sys.argv[2]
field = "real_time" if clock == "real" else "cpu_time"
with open(path) as f:
    report = json.load(f)

# Benchmark names: kernel/implementation/case...; the fastest repetition.
times = {}
order = []
entries = {}
for run in report["benchmarks"]:
    if run.get("run_type") != "iteration":
        continue
    parts = run["run_name"].split("/")
    if len(parts) < 3:
        continue
    kernel, implementation, case = parts[0], parts[1], "/".join(parts[2:])
    key = (kernel, case)
    if key not in times:
        times[key] = {}
        order.append(key)
    if implementation == "fast" and run.get("label"):
        entries[key] = run["label"]
    best = times[key].get(implementation)
    if best is None or run[field] < best[0]:
        times[key][implementation] = (run[field], run["time_unit"])

others = []
for key in order:
    for implementation in times[key]:
        if implementation != "fast" and implementation not in others:
            others.append(implementation)
preferred = ["plain", "baseline", "sse2", "avx2", "avx512", "opencv", "pixman"]
others.sort(key=lambda o: (preferred.index(o) if o in preferred else len(preferred), o))

print()
print(f"Speed of the fast kernel relative to the others ({clock} time, best of the repetitions;"
      " 2.00x = fast takes half the time)")
header = f"{'kernel':<16}{'case':<18}{'entry':<8}{'fast':>14}" + "".join(f"{'vs ' + o:>13}" for o in others)
print(header)
print("-" * len(header))
def case_order(key):
    kernel, case = key
    # Numbers sort by value ("nearest/256" before "nearest/1024").
    return (kernel, [int(part) if part.isdigit() else part for part in case.split("/")])

for key in sorted(order, key=case_order):
    entry = times[key]
    if "fast" not in entry:
        continue
    fast, unit = entry["fast"]
    line = f"{key[0]:<16}{key[1]:<18}{entries.get(key, '-'):<8}{fast:>11.1f} {unit:<2}"
    for o in others:
        line += f"{entry[o][0] / fast:>12.2f}x" if o in entry else f"{'-':>13}"
    print(line)
PY
