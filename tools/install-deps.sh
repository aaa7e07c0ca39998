#!/usr/bin/env bash
# Installs the Debian packages the build, the tool and the tests need,
# only when some are missing.
set -euo pipefail
PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-webengine-dev
    libqt6sql6-sqlite  # the trade history's SQLite driver, a plugin nothing links
    libxlsxwriter-dev libicu-dev qt6-translations-l10n libgl1-mesa-dri fonts-noto-cjk fonts-symbola xvfb xauth
    poppler-utils  # the tests read the printed documents back: pdfinfo, pdffonts, pdftotext, pdftoppm
    libzint-dev  # the slips' barcodes
    zbar-tools  # the tests decode the printed barcodes: zbarimg
    unzip clang libclang-rt-14-dev
    dpkg-dev file  # the .deb: dpkg-shlibdeps finds its runtime dependencies
)
missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
