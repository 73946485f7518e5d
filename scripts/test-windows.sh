#!/usr/bin/env bash
# Builds the Windows programs, libraries and test suites with mingw-w64 in
# build-win (scripts/build-windows.sh, a Debug build) and runs the suites and
# the programs under Wine (on Xvfb, for the GL tests), timing each step.
# scripts/test-all.sh runs it after the Linux tests, with the data folder of its
# own Linux build (REEF_HOST_BUILD=build-asan).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-win

# Wall-clock and processor seconds of each step: on a shared machine the
# processor time is the figure that says what the step costs.
TIMEFORMAT="windows: %0R s wall, %0U s user, %0S s system"
echo "windows: toolchain, libraries, data folder and cross build"
time REEF_WINDOWS_BUILD_TYPE=Debug bash scripts/build-windows.sh "$build"
echo "windows: suites under Wine"
time xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
  ctest --test-dir "$build" --output-on-failure -j2 --timeout 900
