#!/usr/bin/env bash
# Builds bgconv (installing what it needs) and runs the whole test suite.
#   tools/test.sh              the release build
#   tools/test.sh --sanitize   under AddressSanitizer + UndefinedBehaviorSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh "$@"
build=build
[ "${1:-}" = "--sanitize" ] && build=build-asan
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
