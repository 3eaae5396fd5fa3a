#!/usr/bin/env bash
# Builds the core modules and their tests with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-asan/ (the window is left out: Qt's own allocations would drown the reports) and runs
# those tests. A leak, an overflow or undefined behaviour fails the run. The test command runs it
# after the tests. Warnings do not fail this build: with the sanitizers on, GCC 12 warns of
# uninitialised values in the standard library that are not there (-Wmaybe-uninitialized).
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTW_SANITIZE=ON \
      -DTW_BUILD_GUI=OFF -DTW_BUILD_BENCH=OFF -DTW_BUILD_FUZZ=OFF \
      "${launcher[@]}" >/dev/null
targets=(test_platform test_store test_texts test_sources test_convert test_plan test_copy test_wizard test_cli
         tunewagon-cli)
cmake --build build-asan --target "${targets[@]}"
# G_SLICE: GLib (under the conversions' GStreamer) takes its small blocks from the C allocator,
# so that a GStreamer object the program forgets to release shows as a leak.
G_SLICE=always-malloc ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1" \
  ctest --test-dir build-asan --output-on-failure -j2 -LE fuzz
