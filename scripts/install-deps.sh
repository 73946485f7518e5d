#!/usr/bin/env bash
# Installs what building, running and testing ReefSaver needs on Debian 12.
# Safe to run again: apt-get only installs what is missing.
set -euo pipefail
. "$(dirname "$0")/dpkg-lock.sh"

packages=(
  build-essential cmake ninja-build pkg-config
  libsdl1.2-dev libsdl-mixer1.2-dev
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri libglx-mesa0
  libx11-dev libxrandr-dev libgtk-3-dev
  libfreetype-dev fonts-dejavu-core
  libgtest-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils x11-xserver-utils
  # Installing and packaging: the screensaver daemon the install tests drive,
  # a window to host the preview (xlogo), screen grabs, the package checks.
  xscreensaver x11-apps dpkg-dev lintian desktop-file-utils libxml2-utils
  # The dialog tests drive GTK through the accessibility bus and take screenshots.
  python3-pyatspi python3-dogtail gir1.2-atspi-2.0 at-spi2-core libatk-adaptor dbus-daemon imagemagick
  # and need an X server with several display modes for the screen settings.
  xserver-xorg-core xserver-xorg-video-dummy
  # The fuzz targets: clang with libFuzzer and the sanitizer runtimes.
  clang libclang-rt-14-dev
)

install_missing_packages "${packages[@]}"
