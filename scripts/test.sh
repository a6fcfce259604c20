#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds Kelmora and runs every test: the CTest suite, the same
# suite under AddressSanitizer and UndefinedBehaviorSanitizer, and a one-minute fuzz run of
# the list-file reader.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure
scripts/sanitize.sh build-asan
selection/fuzz/run-fuzz.sh build-fuzz 60
