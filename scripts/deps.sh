#!/bin/bash
# Installs the Debian packages (and npm modules) the build, the program and the tests need,
# when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

PKGS=(cmake g++ pkg-config libgtest-dev libgmock-dev googletest libbenchmark-dev
      qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev libsqlcipher-dev sqlcipher sqlite3
      libjpeg-dev libzint-dev fonts-wqy-microhei
      cups printer-driver-cups-pdf poppler-utils zbar-tools xvfb xauth nodejs
      clang libclang-rt-14-dev python3)
missing=()
for p in "${PKGS[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
if ! command -v npm >/dev/null 2>&1; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq npm >/dev/null
fi
if [ -f app/output/export/package.json ] && [ ! -d app/output/export/node_modules ]; then
    (cd app/output/export && npm ci --no-audit --no-fund --silent)
fi
