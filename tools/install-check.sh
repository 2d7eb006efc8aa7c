#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the installed tree:
# every file in its place, the desktop entry valid, and the installed bgconv,
# run from a copy of that tree moved elsewhere (relocated), converts a copy of
# the sample project and writes nothing inside the tree.
#   tools/install-check.sh [BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"  # the ordinary user who runs the installed programs must reach them

cmake --install "$build" --prefix "$work/install" >/dev/null
mv "$work/install" "$work/moved"  # relocatable: no path of the build or the prefix is kept
tree=$work/moved
for file in bin/bgconv lib/bgconv/ConCmd/ConCmd share/bash-completion/completions/bgconv \
  share/man/man1/bgconv.1.gz share/man/man1/ConCmd.1.gz share/doc/bgconv/changelog.gz; do
  [ -e "$tree/$file" ] || { echo "install-check: $file is missing" >&2; exit 1; }
done
if [ -e "$tree/bin/bgconv-gui" ]; then
  desktop-file-validate "$tree/share/applications/bgconv-gui.desktop"
  [ -e "$tree/share/icons/hicolor/scalable/apps/bgconv.svg" ]
fi
tools/run-installed.sh "$tree"
echo "install-check: the installed tree works from $tree"
