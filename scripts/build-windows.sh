#!/usr/bin/env bash
# Builds the Windows programs, their zip and their installer from a fresh clone in one go:
#
#   scripts/build-windows.sh [build folder]      (default: build-win)
#
# 1. the data generator on this machine, in a Linux build folder (REEF_HOST_BUILD,
#    default build-host; any configured Linux build will do), which writes the
#    data folder (the data is the same bytes on both systems) and the program
#    icon file the Windows programs carry as a resource;
# 2. the mingw-w64 toolchain and the Windows libraries (scripts/windows-deps.sh);
# 3. the cross build (REEF_WINDOWS_BUILD_TYPE, default Release), which puts
#    reefsaver_plain.scr, reefsaver.exe and a copy of Marevo2/ side by side in
#    <build folder>/bin;
# 4. the zip of the three and the NSIS installer (scripts/package-windows.sh),
#    in <build folder>/dist.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-win}
host=${REEF_HOST_BUILD:-build-host}
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

if [ ! -f "$host/CMakeCache.txt" ]; then
  bash scripts/install-deps.sh
  cmake -S . -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DREEF_BUILD_TESTS=OFF -DREEF_BUILD_BENCH=OFF \
    "${launcher[@]}"
fi
ninja -C "$host" -j2 reef_data reef_program_icon

bash scripts/windows-deps.sh "$build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${REEF_WINDOWS_BUILD_TYPE:-Release}" \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DREEF_DATA_SOURCE="$(realpath "$host")/bin/Marevo2" \
  -DREEF_PROGRAM_ICON="$(realpath "$host")/tools/reefsaver.ico" \
  "${launcher[@]}"
ninja -C "$build" -j2

# The zip and the installer of what was just built, in <build folder>/dist.
bash scripts/package-windows.sh "$build"
