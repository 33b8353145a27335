#!/bin/bash
# Builds the XML parser's fuzz target with clang and runs it for a bounded time (default 60 s)
# over the seed corpus. Exits non-zero on a crash, a leak, a hang or a sanitizer report.
# Usage: run.sh [seconds] [build folder]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
exec bash "$here/../../../scripts/fuzz-run.sh" "$here" xml_parse_fuzz "${1:-60}" \
    "${2:-$here/../../../build-fuzz-xml}" -timeout=10 -rss_limit_mb=2048 -max_len=65536
