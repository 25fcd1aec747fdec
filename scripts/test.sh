#!/usr/bin/env bash
# Builds Corvanta and runs every test: the unit and integration tests, the same
# tests under AddressSanitizer and UndefinedBehaviorSanitizer, the formatting
# check and a short run of each fuzz target.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"
jobs=$(nproc)

step() { printf '\n==> %s\n' "$*"; }

step "Formatting"
"$root/scripts/check-format.sh"

step "Layering"
"$root/scripts/check-layering.sh"

step "Build and test"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANTA_WERROR=ON >/dev/null
cmake --build build/test -j "$jobs"
# Tests that need a display or a session bus start Xvfb and dbus themselves.
ctest --test-dir build/test --output-on-failure -j "$jobs" --timeout 300

step "Debian package"
"$root/scripts/package.sh" build/test

# One clang build serves both the sanitizer run of the tests and the fuzz
# targets: all of our code is built with AddressSanitizer, UndefinedBehaviorSanitizer
# and the fuzzer's coverage instrumentation.
step "Build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
CC=clang CXX=clang++ cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=None \
  -DCMAKE_CXX_FLAGS="-O1 -gline-tables-only" -DCORVANTA_SANITIZE=ON -DCORVANTA_BUILD_FUZZ=ON -DCORVANTA_WERROR=ON \
  -DCORVANTA_BUILD_BENCH=OFF >/dev/null
cmake --build build/sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/sanitize --output-on-failure -j "$jobs" --timeout 600 -LE no-sanitizer

step "Fuzz smoke run"
FUZZ_BUILD=build/sanitize "$root/scripts/fuzz.sh" smoke

step "All tests passed"
