#!/bin/bash
# Builds the layout builder's fuzz target with clang and runs it for a bounded time (default 60 s)
# over the seed corpus. Exits non-zero on a crash, a leak, a hang or a sanitizer report.
# Usage: run.sh [seconds] [build folder]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# A run that builds up to the target's (smaller) limits and is checked for leaks takes a few
# seconds under the sanitizers while the machine is busy with the sanitizer build: a hang is one
# of 30.
exec bash "$here/../../../scripts/fuzz-run.sh" "$here" build_fuzz "${1:-60}" \
    "${2:-$here/../../../build-fuzz-build}" -timeout=30 -rss_limit_mb=2048 -max_len=65536
