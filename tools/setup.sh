#!/usr/bin/env bash
# Installs the Debian packages that building bgconv needs (only those that are
# missing) and then configures and builds it.
#   tools/setup.sh              release build in build/
#   tools/setup.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++ cmake make pkg-config libicu-dev libopencc-dev opencc libgtest-dev libbenchmark-dev
  qt6-base-dev fonts-wqy-microhei xvfb xauth python3
  help2man desktop-file-utils  # the manual pages and the check of the desktop entry
  libuchardet-dev)  # only the benchmarks that measure the text classifier use uchardet

tools/install-packages.sh "${packages[@]}"

build=build
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  build=build-asan
  options=(-DCMAKE_BUILD_TYPE=Debug -DBGCONV_SANITIZE=ON -DBGCONV_BUILD_BENCH=OFF)
fi
# CI sets BGCONV_WERROR=ON so that a new warning fails its build.
options+=(-DBGCONV_WERROR="${BGCONV_WERROR:-OFF}")
cmake -S . -B "$build" "${options[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
