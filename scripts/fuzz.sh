#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs them.
#   scripts/fuzz.sh smoke            each target for a few seconds (CI)
#   scripts/fuzz.sh run TARGET SECS  one target for longer, keeping its corpus
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"
# FUZZ_BUILD names an already configured fuzz build (the test script's).
build=${FUZZ_BUILD:-build/fuzz}
if [[ -z "${FUZZ_BUILD:-}" ]]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCORVANTA_BUILD_FUZZ=ON -DCORVANTA_BUILD_TESTS=OFF -DCORVANTA_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target fuzz_targets
mapfile -t targets < <(cat "$build/fuzz/targets.txt")

run_one() {
  local target=$1 seconds=$2 corpus=fuzz/corpus-$1
  mkdir -p "$corpus"
  "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=0 "$corpus" "fuzz/seeds/$target"
}

case "${1:-smoke}" in
  smoke) for t in "${targets[@]}"; do echo "fuzz: $t"; run_one "$t" "${FUZZ_SECONDS:-15}" 2>&1 | tail -2; done ;;
  run) run_one "$2" "${3:-600}" ;;
  *) echo "usage: scripts/fuzz.sh smoke | run TARGET SECONDS" >&2; exit 2 ;;
esac
