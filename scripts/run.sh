#!/usr/bin/env bash
# Installs what is missing, builds, and starts the wizard window. Without a display it shows
# the command-line front end at work on a small demo library instead (scripts/demo.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): the Tunewagon window cannot be shown."
    echo "Here is tunewagon-cli, its command-line front end, on a small demo library instead."
    echo
    exec bash scripts/demo.sh build/src/cli/tunewagon-cli
fi
exec build/src/app/tunewagon
