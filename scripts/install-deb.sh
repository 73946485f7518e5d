#!/usr/bin/env bash
# Builds ReefSaver for release, packs it as a Debian package with CPack and
# installs that package with apt-get (which also installs the libraries it
# depends on). Run as root or with sudo available.
#   scripts/install-deb.sh           build, pack and install
#   scripts/install-deb.sh --no-install   build and pack only
# When another package manager holds dpkg's lock, it waits for it (up to
# DPKG_LOCK_TIMEOUT seconds, 300 by default) before building and when installing.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/dpkg-lock.sh
install_package=1
[ "${1:-}" = "--no-install" ] && install_package=0

# A busy package manager is found before minutes of building, not after.
[ "$install_package" = 0 ] || wait_for_dpkg_lock
bash scripts/install-deps.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DREEF_BUILD_TESTS=OFF -DREEF_BUILD_BENCH=OFF "${launcher[@]}"
ninja -C build-release
rm -f build-release/reefsaver_*.deb
(cd build-release && cpack -G DEB)
package=$(ls "$PWD"/build-release/reefsaver_*.deb)
echo "Built $package"
[ "$install_package" = 1 ] || exit 0

if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
# apt-get wants a path (./ or absolute) to take the argument as a file.
DEBIAN_FRONTEND=noninteractive $SUDO apt-get "${APT_LOCK_WAIT[@]}" install -y --reinstall "$package"
echo
echo "Installed. Each user adds the screensaver to XScreenSaver once with:  reefsaver-register"
echo "Remove it again with:  sudo apt-get remove reefsaver   (your settings in ~/.config/reefsaver stay)"
