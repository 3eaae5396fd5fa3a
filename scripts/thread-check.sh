#!/usr/bin/env bash
# Runs the tests of the threaded parts of the sources (the folder walk with its listing thread,
# the file probes of the playlist reader), the conversion pool and the copy run's conversions
# built with ThreadSanitizer, in build-tsan/. A data race
# or a lock-order inversion fails the run. The test command runs it after the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTW_SANITIZE_THREAD=ON \
      -DTW_BUILD_GUI=OFF -DTW_BUILD_BENCH=OFF -DTW_BUILD_FUZZ=OFF "${launcher[@]}" >/dev/null
cmake --build build-tsan --target test_sources test_convert test_copy
# halt_on_error: the first race ends the run with a non-zero exit code and its report.
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  build-tsan/tests/sources/test_sources \
  --gtest_filter='FolderScan*:FileProbes*:Playlist*:*Probe*:*Walk*'
# The pool's real conversions run inside GStreamer, whose own reports are suppressed.
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/scripts/tsan-gstreamer.supp" \
  build-tsan/tests/convert/test_convert --gtest_filter='ConversionPool*'
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/scripts/tsan-gstreamer.supp" \
  build-tsan/tests/copy/test_copy --gtest_filter='ConversionRun*'
