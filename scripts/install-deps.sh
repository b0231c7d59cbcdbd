#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the cross builds need.
# Safe to run again: it only calls apt-get when something is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config python3
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    libsndfile1-dev
    libfreetype-dev libfontconfig-dev fonts-liberation fonts-dejavu-core libpng-dev zlib1g-dev
    mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    locales
    # The Windows DLL run under Wine (64-bit only: no i386 architecture) on a virtual display.
    wine64 xvfb
    # The fuzz targets: clang and the runtime of its libFuzzer.
    clang libclang-rt-14-dev
    libxrender1 libxrandr2 libxi6 libxcursor1 libxinerama1 libxcomposite1 libxfixes3
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ "$(id -u)" -ne 0 ]; then
    sudo=sudo
else
    sudo=
fi

if [ ${#missing[@]} -ne 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A comma-decimal locale, so tests can show that our texts do not follow the process's locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
