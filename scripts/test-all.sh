#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# every test; whatever needs a window or GL runs on Xvfb with Mesa's software renderer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DREEF_SANITIZE=ON -DREEF_BUILD_BENCH=ON
ninja -C build-asan -j2
export REEFSAVER_NO_DIALOGS=1 LIBGL_ALWAYS_SOFTWARE=1
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir build-asan --output-on-failure -j2 --timeout 900
