#!/usr/bin/env bash
# Builds the Debian package (cpack -G DEB in BUILD_FOLDER), checks it with
# lintian where lintian is installed (errors fail), extracts it to a temporary
# folder and runs the extracted bgconv there as an ordinary user
# (tools/run-installed.sh): the package works wherever it is unpacked.
#   tools/package-check.sh [BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
tools/install-packages.sh desktop-file-utils help2man
tools/install-packages.sh lintian || echo "package-check: lintian cannot be installed here; the package is not linted" >&2
(cd "$build" && cpack -G DEB >/dev/null)
package=$(ls -t "$build"/bgconv_*.deb | head -n 1)
dpkg-deb --info "$package" | grep -E '^ (Package|Version|Depends|Recommends):'
if command -v lintian >/dev/null; then
  lintian --fail-on error "$package"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"  # the ordinary user who runs the extracted programs must reach them
dpkg-deb --extract "$package" "$work"
tools/run-installed.sh "$work/usr"
echo "package-check: $package works extracted to $work"
