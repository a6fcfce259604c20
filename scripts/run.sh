#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds Kelmora and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

# The window needs a desktop session; say so before minutes of building. A platform named
# through Qt (QT_QPA_PLATFORM=offscreen, say) needs none.
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: no display (neither DISPLAY nor WAYLAND_DISPLAY is set): start Kelmora" \
    "from a desktop session. scripts/test.sh builds and tests without one." >&2
  exit 1
fi

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
exec build/bin/kelmora "$@"
