#!/usr/bin/env bash
# Builds ReefSaver for release, packs it as a Debian package with CPack and
# installs that package with apt-get (which also installs the libraries it
# depends on). Run as root or with sudo available.
#   scripts/install-deb.sh           build, pack and install
#   scripts/install-deb.sh --no-install   build and pack only
set -euo pipefail
cd "$(dirname "$0")/.."
install_package=1
[ "${1:-}" = "--no-install" ] && install_package=0

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
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --reinstall "$package"
echo
echo "Installed. Each user adds the screensaver to XScreenSaver once with:  reefsaver-register"
echo "Remove it again with:  sudo apt-get remove reefsaver   (your settings in ~/.config/reefsaver stay)"
