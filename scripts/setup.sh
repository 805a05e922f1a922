#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need.
# Safe to run again: it does nothing when everything is present.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev
    qt6-base-dev qt6-svg-dev libqt6svg6-dev
    librsvg2-bin python3
    clang-14 libclang-rt-14-dev
    xvfb xauth x11-utils imagemagick openbox xdotool
    libxcb1-dev fonts-dejavu-core fonts-wqy-microhei desktop-file-utils
    dbus dbus-x11 at-spi2-core python3-pyatspi python3-dbus
)

source "$(dirname "$0")/lib/packages.sh"
install_packages setup "${packages[@]}"
