#!/usr/bin/env bash
# Runs every libFuzzer target for SECONDS (default 60) and prints its
# executions; fails on the first finding.
#   fuzz/run.sh          the 60 s smoke run of CI
#   fuzz/run.sh 600      ten minutes per target
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
fuzz/build.sh

run() {
  local target="$1"
  shift
  local corpus="build-fuzz/corpus/$target"
  mkdir -p "$corpus" build-fuzz/findings
  local log="build-fuzz/$target.log"
  if ! "build-fuzz/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix=build-fuzz/findings/ "$@" "$corpus" "fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz: $target found a fault (see $log and build-fuzz/findings/)"
    return 1
  fi
  echo "fuzz: $target: $(grep -m1 'stat::number_of_executed_units' "$log" | awk '{print $2}') executions in ${seconds} s, no finding"
}

run form_stream_fuzzer -max_len=65536
run form_text_fuzzer -max_len=16384 -dict=fuzz/form_text.dict
run project_scanner_fuzzer -max_len=4096
run converter_fuzzer -max_len=4096
run charset_names_fuzzer -max_len=4096 -dict=fuzz/charset_names.dict
run ini_file_fuzzer -max_len=4096 -dict=fuzz/ini_file.dict
run encoding_guard_fuzzer -max_len=4096
