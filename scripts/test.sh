#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds Kelmora and runs every test: the CTest suite, the same
# suite under AddressSanitizer and UndefinedBehaviorSanitizer, and a one-minute fuzz run of
# the list-file reader. With --ctest, the CTest suite only.
# Usage: scripts/test.sh [--ctest]
set -euo pipefail
cd "$(dirname "$0")/.."
case ${1:-} in
  "" | --ctest) ;;
  *)
    echo "usage: $0 [--ctest]" >&2
    exit 2
    ;;
esac

scripts/install-deps.sh --test
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure
[ "${1:-}" = --ctest ] && exit 0
scripts/sanitize.sh build-asan
selection/fuzz/run-fuzz.sh build-fuzz 60
