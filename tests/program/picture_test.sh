#!/usr/bin/env bash
# Draws the reef at a frozen clock with a fixed seed, once looking down and once
# looking up, and compares each frame with its reference picture in
# tests/fixtures/. A frame passes when its RMSE (ImageMagick's normalised root
# mean square error over all channels, 0 = identical, 1 = black against white)
# is at most PICTURE_TOLERANCE (default 0.004).
#
# PICTURE_SIZE (default 320x240) sets the screen; any other size than the default
# has its own references, named reef-<view>-<size>.png. The 1920x1080 pair holds
# the full-screen picture that cheaper drawing must keep (tolerance 0.006).
#
# Usage:
#   picture_test.sh <bin dir> <fixtures dir> <output dir>            compare
#   picture_test.sh <bin dir> <fixtures dir> <output dir> --update   rewrite the references
# The output folder keeps each new frame and, on a mismatch, a picture of the
# differences (reef-<view>.png, reef-<view>-diff.png).
set -u
BIN="$1"
FIXTURES="$2"
OUT="$3"
MODE="${4:-compare}"
TOLERANCE="${PICTURE_TOLERANCE:-0.004}"
# Small frames keep the test quick under the sanitizers; the size is part of the reference.
SIZE="${PICTURE_SIZE:-320x240}"
SUFFIX=""
[ "$SIZE" = 320x240 ] || SUFFIX="-$SIZE"
FROZEN_MS=60000
SEED=1
PLAIN="$BIN/reefsaver_plain"
CONVERT=/usr/bin/convert
COMPARE=/usr/bin/compare

mkdir -p "$OUT"
WORK="$(mktemp -d)"
. "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/test_script.sh"
trap 'stop_private_display; rm -rf "$WORK"' EXIT

[ -x "$PLAIN" ] || fail "no $PLAIN"
[ -x "$COMPARE" ] || fail "ImageMagick's compare is missing (scripts/install-deps.sh installs it)"

start_display "$SIZE"

# draw VIEW CAMERA: one full-screen frame at the frozen clock, written to $OUT/reef-VIEW.png.
draw() {
  local view="$1" camera="$2" shot="$OUT/reef-$1$SUFFIX.png"
  rm -f "$shot"
  XDG_CONFIG_HOME="$WORK/config-$view" REEFSAVER_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 \
    REEFSAVER_FROZEN_CLOCK_MS=$FROZEN_MS REEFSAVER_SEED=$SEED \
    REEFSAVER_SCREENSHOTS="0:$shot" REEFSAVER_QUIT_AFTER_MS=0 \
    timeout 400 "$PLAIN" /s --camera "$camera" >"$WORK/$view.log" 2>&1
  local code=$?
  # A timed quit ends the saver with 0, as an interrupted screensaver does.
  [ "$code" = 0 ] || { cat "$WORK/$view.log"; fail "$view: the saver ended with $code"; }
  [ -s "$shot" ] || { cat "$WORK/$view.log"; fail "$view: no frame was written"; }
}

for pair in down:bottom up:top; do
  view="${pair%%:*}"
  draw "$view" "${pair##*:}"
  name="reef-$view$SUFFIX"
  reference="$FIXTURES/$name.png"
  if [ "$MODE" = "--update" ]; then
    # Re-encoded with full compression: the saver's own writer stores its pixels uncompressed.
    "$CONVERT" "$OUT/$name.png" -define png:compression-level=9 "PNG24:$reference" || fail "could not write $reference"
    echo "updated $reference"
    continue
  fi
  [ -f "$reference" ] || fail "no reference $reference (make it with --update)"
  measure_rmse "$reference" "$OUT/$name.png" "$OUT/$name-diff.png"
  if at_most "$RMSE" "$TOLERANCE"; then
    echo "$view at $SIZE: RMSE $RMSE (tolerance $TOLERANCE) ok"
    rm -f "$OUT/$name-diff.png"
  else
    note_failure "$view at $SIZE: RMSE $RMSE is over the tolerance $TOLERANCE; see $OUT/$name.png and $OUT/$name-diff.png"
  fi
done
end_with_failures
