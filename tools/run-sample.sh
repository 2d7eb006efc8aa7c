#!/usr/bin/env bash
# Builds bgconv (installing what it needs) and converts the bundled Big5
# sample to GB2312, showing the text before and after.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh >/dev/null
sample=examples/sample-big5.pas
echo "=== $sample (Big5) ==="
iconv -f BIG5 -t UTF-8 "$sample"
echo
echo "=== bgconv text --to gb --fix-charset $sample (GB2312) ==="
build/bin/bgconv text --to gb --fix-charset "$sample" | iconv -f GB2312 -t UTF-8
