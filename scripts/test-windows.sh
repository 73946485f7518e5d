#!/usr/bin/env bash
# Builds the Windows libraries and their test suites with mingw-w64 in
# build-win and runs the suites under Wine (on Xvfb, for the GL tests), timing
# each step. scripts/test-all.sh runs it after the Linux tests.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-win

step_start=$SECONDS
step() {
  local now=$SECONDS
  echo "windows: $1 took $((now - step_start)) s"
  step_start=$now
}

bash scripts/windows-deps.sh "$build"
step "toolchain and libraries"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
ninja -C "$build" -j2
step "cross build"
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
  ctest --test-dir "$build" --output-on-failure -j2 --timeout 900
step "suites under Wine"
