#!/usr/bin/env bash
# Builds the Windows libraries and their test suites with mingw-w64 in
# build-win and runs the suites under Wine (on Xvfb, for the GL tests), timing
# each step. scripts/test-all.sh runs it after the Linux tests.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-win

# Wall-clock and processor seconds of each step: on a shared machine the
# processor time is the figure that says what the step costs.
TIMEFORMAT="windows: %0R s wall, %0U s user, %0S s system"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

echo "windows: toolchain and libraries"
time bash scripts/windows-deps.sh "$build"
echo "windows: cross build"
time {
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake "${launcher[@]}"
  ninja -C "$build" -j2
}
echo "windows: suites under Wine"
time xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
  ctest --test-dir "$build" --output-on-failure -j2 --timeout 900
