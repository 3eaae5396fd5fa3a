#!/usr/bin/env bash
# The checks of .clang-tidy over every module's sources and their headers, the window's too,
# with the compile commands of build/. Fails on the first finding.
set -euo pipefail
cd "$(dirname "$0")/.."
[[ -f build/compile_commands.json ]] || { echo "tidy-check: build/ has no compile commands; build first" >&2; exit 1; }
ls src/*/*.cpp | xargs -P2 -n8 clang-tidy -p build --quiet
