#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test; the tests that were skipped
# are listed with the reason each gave.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# A CI build fails on a compiler warning.
werror=OFF
[[ -n "${CI:-}" ]] && werror=ON
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTW_WARNINGS_AS_ERRORS="$werror" >/dev/null
cmake --build build
status=0
ctest --test-dir build --output-on-failure -j2 || status=$?
# The threaded folder walk and file probes under ThreadSanitizer, the core's tests under
# AddressSanitizer and UndefinedBehaviorSanitizer.
# The checks a tool keeps (.clang-tidy).
bash scripts/tidy-check.sh || status=$?
bash scripts/thread-check.sh || status=$?
bash scripts/sanitize-check.sh || status=$?
awk '/^\[ RUN      \]/ { name = $4 } /: Skipped$/ { getline reason; print "  " name ": " reason }' \
    build/Testing/Temporary/LastTest.log | sort -u | sed '1i Skipped, and why:' || true
exit "$status"
