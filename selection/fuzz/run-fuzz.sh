#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the .grlist reader's fuzzer with clang in BUILD_DIR and runs it for SECONDS
# (60 when not given) on a copy of the seed corpus, so the committed seeds stay as they are.
# A crash or a broken invariant leaves its input as BUILD_DIR/fuzz-artifacts/crash-* and
# makes the script fail.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 BUILD_DIR [SECONDS]" >&2
    exit 2
fi
build=$1
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)

# A folder of its own: the compiler of a configured folder cannot change.
CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build" -DKELMORA_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target fuzz_grlist -j2

corpus=$build/fuzz-corpus
artifacts=$build/fuzz-artifacts
rm -rf "$corpus"
mkdir -p "$corpus" "$artifacts"
cp "$here"/corpus/*.grlist "$corpus"/

"$build/bin/fuzz_grlist" -max_total_time="$seconds" -timeout=10 \
    -artifact_prefix="$artifacts/" "$corpus"
