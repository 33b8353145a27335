#!/bin/bash
# Builds everything and runs every test: once as a normal build, once with AddressSanitizer and
# UndefinedBehaviorSanitizer. The printing tests print on a private print queue that
# scripts/print-queue.sh starts for this run and stops at its end; the machine's own printing
# service, queues and default printer are left alone.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
bash scripts/deps.sh
if queue=$(bash scripts/print-queue.sh start); then
    eval "$queue"
    trap 'bash "$ROOT/scripts/print-queue.sh" stop' EXIT
    trap 'exit 130' INT TERM
else
    echo "print queue not available; printing tests will skip"
fi
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
