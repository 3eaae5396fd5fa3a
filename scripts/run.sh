#!/usr/bin/env bash
# Installs what is missing, builds only the two programs (Release, no tests or benchmarks) and
# starts the wizard window. Without a display it shows the command-line front end at work on
# a small demo library instead (scripts/demo.sh). Paths given are passed to the window: a
# playlist, a folder or media files to start with.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=Release -DTW_BUILD_TESTS=OFF -DTW_BUILD_BENCH=OFF >/dev/null
cmake --build build-run --target tunewagon tunewagon-cli
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): the Tunewagon window cannot be shown."
    echo "Here is tunewagon-cli, its command-line front end, on a small demo library instead."
    echo
    exec bash scripts/demo.sh build-run/src/cli/tunewagon-cli
fi
exec build-run/src/app/tunewagon "$@"
