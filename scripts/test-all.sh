#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# every test; whatever needs a window or GL runs on Xvfb with Mesa's software renderer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DREEF_SANITIZE=ON -DREEF_BUILD_BENCH=ON
ninja -C build-asan -j2
# CTest hands every test the environment of tests/CMakeLists.txt; the same is
# exported here for what runs outside a test (Xvfb, the GL driver).
export REEFSAVER_NO_DIALOGS=1 LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export ASAN_OPTIONS="detect_leaks=1"
export REEF_DATA_DIR="$PWD/build-asan/bin/Marevo2"
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
  ctest --test-dir build-asan --output-on-failure -j2 --timeout 900 -LE long
# The long suite (a simulated day of the reef) runs on request:
#   ctest --test-dir build-asan -L long --output-on-failure
# The hostile trials' findings replayed against the real programs (a few minutes).
bash scripts/hostile.sh build-asan/bin
# The Windows build's suites under Wine; REEF_SKIP_WINDOWS=1 leaves them out
# of a local run (CI always runs them).
if [ "${REEF_SKIP_WINDOWS:-0}" != 1 ]; then
  REEF_HOST_BUILD=build-asan bash scripts/test-windows.sh
fi
# Every fuzz target for a short while, so a loader regression is caught on each change.
bash scripts/fuzz.sh 20
