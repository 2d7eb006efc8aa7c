#!/usr/bin/env bash
# Runs the bgconv of an installed tree (a `cmake --install` prefix or an
# extracted package) as an ordinary user: `nobody` when started as root.  It
# converts a copy of the bundled sample project with the built-in engine and
# with the tree's own ConCmd, pipes a file through `bgconv text`, and checks
# that nothing inside the tree changed.
#   tools/run-installed.sh TREE     (TREE holds bin/bgconv)
set -euo pipefail
cd "$(dirname "$0")/.."
tree=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
mkdir "$work/home"
cp -r examples/project "$work/builtin"
cp -r examples/project "$work/external"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown -R nobody:nogroup "$work/home" "$work/builtin" "$work/external"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
run() { "${as_user[@]}" env -i PATH=/usr/bin:/bin HOME="$work/home" "$@"; }
# The tree must be readable by that user, as an installed one is (the
# callers make the temporary folder that holds it reachable).
before=$(cd "$tree" && find . -printf '%p %s %T@\n' | sort)

run "$tree/bin/bgconv" --version
run "$tree/bin/bgconv" convert --to gb --overwrite --quiet "$work/builtin/Sample.dpr"
run "$tree/bin/bgconv" convert --to gb --overwrite --quiet --engine external "$work/external/Sample.dpr"
for project in builtin external; do
  if cmp -s examples/project/MainForm.pas "$work/$project/MainForm.pas"; then
    echo "run-installed: the $project run left MainForm.pas unconverted" >&2
    exit 1
  fi
done
run "$tree/bin/bgconv" text --to gb <examples/project/MainForm.pas | cmp - "$work/builtin/MainForm.pas"

after=$(cd "$tree" && find . -printf '%p %s %T@\n' | sort)
if [ "$before" != "$after" ]; then
  echo "run-installed: the programs wrote inside $tree:" >&2
  diff <(echo "$before") <(echo "$after") >&2 || true
  exit 1
fi
echo "run-installed: $tree/bin/bgconv converts the sample project as $(run id -un) and writes nothing beside itself"
