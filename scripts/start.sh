#!/bin/bash
# Starts the program in the program folder (build/dist) on the database its settings name (at
# first the folder's kb.mdb), without building anything. Without a desktop session it runs under
# xvfb-run, which works but shows nothing.
set -euo pipefail
DIST="$(dirname "$0")/../build/dist"
if [ ! -x "$DIST/Tarnwick395" ]; then
    echo "The program is not built yet: bash scripts/run.sh builds and starts it." >&2
    exit 1
fi
cd "$DIST"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    exec xvfb-run -a ./Tarnwick395 "$@"
fi
exec ./Tarnwick395 "$@"
