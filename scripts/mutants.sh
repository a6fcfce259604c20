#!/bin/sh
# SPDX-License-Identifier: MIT
# Plants single faults one at a time in a scratch copy (default /tmp/kelmora-mutants), rebuilds
# incrementally and prints which fast tests catch each one. A measuring tool, not run in CI.
# Usage: scripts/mutants.sh [--out results.tsv] [--only label-part] [--work folder]
exec python3 "$(dirname "$0")/mutants.py" "$@"
