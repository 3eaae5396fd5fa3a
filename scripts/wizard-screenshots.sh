#!/usr/bin/env bash
# Clicks through the wizard in the real window on a private X server (Xvfb, platform xcb) and
# saves a PNG of the window at each step: start page, source page, destination page, the
# preview of a playlist and of a folder, two rows removed, the finished run, a second run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target test_window_e2e
QT_QPA_PLATFORM=xcb build/tests/window_e2e/test_window_e2e
echo "Screenshots: $(pwd)/build/screenshots/wizard"
ls build/screenshots/wizard
