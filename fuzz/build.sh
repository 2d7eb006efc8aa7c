#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/, installing what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(clang libclang-rt-14-dev cmake make pkg-config libicu-dev libopencc-dev)
tools/install-packages.sh "${packages[@]}"

cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DBGCONV_FUZZ=ON -DBGCONV_BUILD_TESTS=OFF -DBGCONV_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target form_stream_fuzzer form_text_fuzzer project_scanner_fuzzer \
  converter_fuzzer charset_names_fuzzer ini_file_fuzzer encoding_guard_fuzzer
