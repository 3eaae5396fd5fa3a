#!/usr/bin/env bash
# Builds the Debian package (cpack -G DEB) from the build folder and checks it as a
# distribution would: the desktop entry and the metainfo validate, the package unpacks into a
# temporary root, and tunewagon-cli --version and the demo run from there.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build
(cd build && cpack -G DEB >/dev/null)
package=$(ls build/tunewagon_*.deb)
echo "Package: $package"
dpkg-deb --info "$package" | grep -E '^ (Package|Version|Depends):'

root=$(mktemp -d "${TMPDIR:-/tmp}/tunewagon-root-XXXXXX")
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$package" "$root"
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
"$root/usr/bin/tunewagon-cli" --version
"$root/usr/bin/tunewagon" --version
bash scripts/demo.sh "$root/usr/bin/tunewagon-cli" | tail -n 4
echo "The package installs into a clean root and runs there."
