#!/usr/bin/env bash
# Installs the Debian 12 packages that Vantelo needs to build, run and test.
# Quick when everything is already there: apt runs only for missing packages.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config
    # libraries
    qt6-base-dev libqt6opengl6-dev qt6-svg-dev libmpv-dev libtinyxml-dev libcurl4-openssl-dev
    # tests
    libgtest-dev python3 xvfb xauth libgl1-mesa-dri ffmpeg xdotool python3-xlib
    # running on Wayland
    qt6-wayland
    # the Debian package (cpack, dpkg-shlibdeps) and the checks of the desktop files and the package
    dpkg-dev file desktop-file-utils appstream lintian
    # the fuzz targets (libFuzzer comes with clang's runtime) and readable sanitizer stack traces
    clang-14 libclang-rt-14-dev llvm-14
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    sudo=sudo
else
    sudo=
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
