#!/usr/bin/env bash
# Installs what is missing, builds, and starts the wizard window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): the Tunewagon window cannot be shown."
    exit 0
fi
exec build/src/app/tunewagon
