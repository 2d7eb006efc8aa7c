#!/usr/bin/env bash
# Builds bgconv (installing what it needs) and converts a copy of the bundled
# Big5 sample project (examples/project) to GB2312: the file list, the log of
# the run, and excerpts of the files before (Big5) and after (GB2312), shown
# in UTF-8.  The bundled sample itself is never changed.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh >/dev/null
bgconv=$PWD/build/bin/bgconv

work=$(mktemp -d "${TMPDIR:-/tmp}/bgconv-sample-XXXXXX")
trap 'rm -rf "$work"' EXIT
cp -r examples/project "$work/before"
cp -r examples/project "$work/project"

echo "=== bgconv list $work/project/Sample.dpr ==="
"$bgconv" list "$work/project/Sample.dpr"
echo
echo "=== bgconv convert --to gb --keep-original $work/project/Sample.dpr ==="
status=0
"$bgconv" convert --to gb --keep-original "$work/project/Sample.dpr" 2>&1 || status=$?
echo "(exit code $status)"

excerpt() {  # file, pattern, code page
  grep -a -E "$2" "$1" | head -n 6 | iconv -f "$3" -t UTF-8 -c | sed 's/\r$//; s/^/    /'
}
for file in Sample.dpr Sample.dof MainForm.pas MainForm.dfm APPMSGS.PAS Sub/Helper.dfm; do
  case $file in
    *.dfm) pattern="Caption|Charset|Name = " ;;
    *) pattern="'|\\{|=" ;;
  esac
  echo
  if [ "$file" = Sub/Helper.dfm ]; then
    echo "--- $file, before: a binary form file of $(wc -c < "$work/before/$file") bytes ---"
  else
    echo "--- $file, before (Big5) ---"
    excerpt "$work/before/$file" "$pattern" BIG5
  fi
  echo "--- $file, after (GB2312) ---"
  excerpt "$work/project/$file" "$pattern" GB2312
done
echo
echo "Kept originals: $(cd "$work/project" && find . -name '*.Big' | sort | tr '\n' ' ')"
exit "$status"
