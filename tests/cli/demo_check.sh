#!/usr/bin/env bash
# The demo that the main-job command shows without a display runs to its end: the run completes
# without an error line and the four tracks of its playlist arrive with the new playlist; run
# without a work folder, it leaves no temporary folder behind.
# Usage: demo_check.sh PATH-TO-demo.sh PATH-TO-tunewagon-cli
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
output=$(bash "$1" "$2" "$work")
printf '%s\n' "$output"
grep -qx 'Копирование завершено.' <<<"$output"
if grep -q 'Внешняя ошибка' <<<"$output"; then
  exit 1
fi
test "$(find "$work/копия" -type f -name '*.wav' | wc -l)" -eq 4
test -s "$work/копия/_playlist_.m3u"
# Without a work folder the demo cleans up after itself.
mkdir "$work/tmp"
TMPDIR=$work/tmp bash "$1" "$2" >/dev/null
test -z "$(ls -A "$work/tmp")"
