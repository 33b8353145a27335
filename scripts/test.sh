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
# Most tests spend their time starting a process, waiting for the print queue or for the event
# loop, not on the processor: twice as many at once as there are cores keeps the cores busy.
TEST_JOBS=$((2 * JOBS))

cmake -S . -B build -DTW_BUILD_TESTS=ON >/dev/null
cmake --build build -j"$JOBS"
(cd build && ctest -j"$TEST_JOBS" --output-on-failure)
# A build leaves the school's data in the program folder alone (in a build folder of its own).
JOBS="$JOBS" bash scripts/build-keeps-data.sh

# Short bounded runs of the fuzz targets of the XML parser and of the layout builder, beside the
# sanitizer build below (each keeps one core busy); their output is shown when all have ended.
fuzz_targets=(xml Build)
fuzz_pids=()
for target in "${fuzz_targets[@]}"; do
    bash "Vostrin/$target/fuzz/run.sh" 60 >"$ROOT/build/fuzz-$target.log" 2>&1 &
    fuzz_pids+=($!)
done

# Debug keeps the assertions; line tables (-g1) are all the sanitizers' reports need and compile
# faster than full debug information.
cmake -S . -B build-asan -DTW_BUILD_TESTS=ON -DTW_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DCMAKE_C_FLAGS_DEBUG=-g1 >/dev/null
cmake --build build-asan -j"$JOBS"
for i in "${!fuzz_targets[@]}"; do
    fuzzlog="$ROOT/build/fuzz-${fuzz_targets[$i]}.log"
    fuzz_status=0
    wait "${fuzz_pids[$i]}" || fuzz_status=$?
    tail -n 25 "$fuzzlog"
    if [ "$fuzz_status" -ne 0 ]; then
        echo "${fuzz_targets[$i]} fuzzing failed (exit $fuzz_status); the whole log is $fuzzlog"
        exit "$fuzz_status"
    fi
done
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 ctest -j"$TEST_JOBS" --output-on-failure)
