#!/bin/bash
# Installs the Debian packages (and npm modules) the build, the program and the tests need,
# when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

PKGS=(cmake g++ pkg-config libgtest-dev libgmock-dev googletest libbenchmark-dev
      qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev libsqlcipher-dev sqlcipher sqlite3
      libjpeg-dev libzint-dev fonts-wqy-microhei fonts-babelstone-han
      cups printer-driver-cups-pdf poppler-utils zbar-tools xvfb xauth nodejs
      clang libclang-rt-14-dev python3)
# LibreOffice's spreadsheet program, which the export tests print the workbooks through; without
# what it only recommends (the other office programs, Java, the help), a fifth of the size.
LEAN_PKGS=(libreoffice-calc)
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
updated=""
install_missing() {
    local missing=() p
    for p in "$@"; do
        [ "$p" = --no-install-recommends ] && continue
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -gt 0 ] || return 0
    echo "Installing: ${missing[*]}"
    if [ -z "$updated" ]; then
        $SUDO apt-get update -qq
        updated=yes
    fi
    local options=()
    [ "$1" = --no-install-recommends ] && options+=(--no-install-recommends)
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${options[@]}" "${missing[@]}" >/dev/null
}
install_missing "${PKGS[@]}"
install_missing --no-install-recommends "${LEAN_PKGS[@]}"
if ! command -v npm >/dev/null 2>&1; then
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq npm >/dev/null
fi
if [ -f app/output/export/package.json ] && [ ! -d app/output/export/node_modules ]; then
    (cd app/output/export && npm ci --no-audit --no-fund --silent)
fi
