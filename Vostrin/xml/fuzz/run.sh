#!/bin/bash
# Builds the XML parser's fuzz target with clang and runs it for a bounded time (default 60 s)
# over the seed corpus. Exits non-zero on a crash, a leak, a hang or a sanitizer report.
# Usage: run.sh [seconds] [build folder]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
seconds="${1:-60}"
build="${2:-$here/../../../build-fuzz-xml}"
if ! command -v clang++ >/dev/null 2>&1; then
    echo "clang++ not found: XML fuzzing skipped"
    exit 0
fi
probe='extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }'
if ! echo "$probe" | clang++ -x c++ -fsanitize=fuzzer - -o /dev/null >/dev/null 2>&1; then
    echo "libFuzzer runtime not available: XML fuzzing skipped"
    exit 0
fi
CXX=clang++ cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
work="$build/corpus"
mkdir -p "$work"
cp -n "$here"/corpus/* "$work"/ 2>/dev/null || true
"$build/xml_parse_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 -print_final_stats=1 "$work"
