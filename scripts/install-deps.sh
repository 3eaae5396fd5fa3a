#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the window need, only those missing.
set -euo pipefail
packages=(g++ cmake ninja-build clang-format clang-tidy libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev qt6-multimedia-dev xvfb xauth fonts-dejavu-core clang libclang-rt-14-dev
          pulseaudio gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-tools
          dpkg-dev desktop-file-utils appstream dosfstools fusefat qt6-translations-l10n
          pkg-config libtag1-dev gstreamer1.0-libav
          libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
          rsync)  # rsync: the peer of bench_many_files (run by hand)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
