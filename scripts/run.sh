#!/bin/bash
# Builds the program folder (build/dist) and starts the program in it (scripts/start.sh). The
# build leaves the folder's kb.mdb, demo.mdb and kbxt.ini as they are.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DTW_BUILD_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)"
exec bash scripts/start.sh "$@"
