#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs each; every benchmark prints
# one result line (its figures next to their aims), after the machine's load
# average, which timings depend on. Not part of the tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" "$root/build/bench" -DCMAKE_BUILD_TYPE=Release -DCORVANTA_BUILD_TESTS=OFF
for b in "$root"/build/bench/bench/bench_*; do
  [[ -x "$b" && ! -d "$b" ]] || continue
  echo "load average $(cut -d' ' -f1-3 /proc/loadavg)"
  "$b"
done
