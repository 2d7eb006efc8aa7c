#!/usr/bin/env bash
# Checks that the C++ sources are laid out as .clang-format says (installing
# clang-format when it is missing).
#   tools/lint.sh          check; lists the files that differ and fails
#   tools/lint.sh --fix    rewrite those files in place
#   tools/lint.sh --tidy   also run the checks of .clang-tidy over the core
#                          (needs a configured build/; takes minutes)
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(clang-format)
[ "${1:-}" = "--tidy" ] && packages+=(clang-tidy)
tools/install-packages.sh "${packages[@]}"

mapfile -t sources < <(git ls-files '*.cpp' '*.h' | grep -v '\.gen\.cpp$')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${sources[@]}"
  exit 0
fi
clang-format --dry-run --Werror "${sources[@]}"
if [ "${1:-}" = "--tidy" ]; then
  cmake -S . -B build -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
  run-clang-tidy -p build -j "$(nproc)" -quiet "$PWD/src/(codec|form|workspace|settings|external|platform|app|common)/"
fi
