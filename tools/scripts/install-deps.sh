#!/usr/bin/env bash
# Installs what the builds and tests need from Debian's archive. Quick when all is present.
#   install-deps.sh [test|run]
set -euo pipefail
purpose="${1:-test}"

packages=(cmake ninja-build g++ git ca-certificates pkg-config python3 python3-cryptography
    libssl-dev libcurl4-openssl-dev nlohmann-json3-dev googletest libgtest-dev libgmock-dev
    libcups2-dev
    # Opened by name at run time (not linked), so nothing else would name them.
    libcurl4 libcups2 libssl3
    # The Public Suffix List, built into the program as a table.
    publicsuffix
    xvfb xauth
    # The Linux application: Qt 6 WebEngine (Chromium) and fonts for the page symbols and Arabic.
    qt6-base-dev qt6-webengine-dev qt6-webchannel-dev libqt6webenginecore6-bin
    fonts-dejavu-core fonts-noto-color-emoji)
if [ "$purpose" = "test" ]; then
    packages+=(clang libclang-rt-14-dev clang-format libbenchmark-dev
        g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine64 wine
        # Printing tests: a private CUPS server and its socket backend.
        cups-daemon cups-client cups
        # A private network namespace per test layer (unshare, ip) and window lookup (xwininfo).
        util-linux iproute2 x11-utils
        # A real message box of the product build is found and answered by X11 input.
        xdotool
        # The built-in public suffix table is compared with libpsl; the host reading with Node's
        # WHATWG URL parser (the differential layer).
        libpsl-dev nodejs)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=""
    [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo_cmd apt-get update -qq
    $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
