#!/bin/bash
# Builds everything and runs every test: once as a normal build, once with AddressSanitizer and
# UndefinedBehaviorSanitizer. Starts the print queue the printing tests need.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/print-queue.sh || echo "print queue not available; printing tests will skip"
export QT_QPA_PLATFORM=offscreen
JOBS=$(nproc)

cmake -S . -B build -DTW_BUILD_TESTS=ON >/dev/null
cmake --build build -j"$JOBS"
(cd build && ctest -j"$JOBS" --output-on-failure)

# A short bounded run of the XML parser's fuzz target.
bash Vostrin/xml/fuzz/run.sh 60

cmake -S . -B build-asan -DTW_BUILD_TESTS=ON -DTW_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-asan -j"$JOBS"
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 ctest -j"$JOBS" --output-on-failure)
