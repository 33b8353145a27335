#!/bin/bash
# Builds the program folder (build/dist) and starts the program on its shipped kb.mdb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DTW_BUILD_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)"
cd build/dist
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    exec xvfb-run -a ./Tarnwick395 "$@"
fi
exec ./Tarnwick395 "$@"
