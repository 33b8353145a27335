#!/bin/bash
# Builds a libFuzzer target with clang (the CMakeLists.txt in FOLDER) and runs it for a bounded
# time over the seeds in FOLDER/corpus. Exits non-zero on a crash, a leak, a hang or a sanitizer
# report; without clang or its libFuzzer runtime it says so and exits 0.
# Usage: fuzz-run.sh FOLDER TARGET SECONDS BUILD-FOLDER [libFuzzer options...]
# JOBS sets the build's parallel jobs (default: all cores).
set -euo pipefail
folder="$1"
target="$2"
seconds="$3"
build="$4"
shift 4
if ! command -v clang++ >/dev/null 2>&1; then
    echo "clang++ not found: fuzzing of $target skipped"
    exit 0
fi
probe='extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }'
if ! echo "$probe" | clang++ -x c++ -fsanitize=fuzzer - -o /dev/null >/dev/null 2>&1; then
    echo "libFuzzer runtime not available: fuzzing of $target skipped"
    exit 0
fi
CXX=clang++ cmake -S "$folder" -B "$build" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j"${JOBS:-$(nproc)}" >/dev/null
work="$build/corpus"
mkdir -p "$work"
cp -n "$folder"/corpus/* "$work"/ 2>/dev/null || true
"$build/$target" -max_total_time="$seconds" -print_final_stats=1 "$@" "$work"
