#!/usr/bin/env bash
# The saver's dialogs and its sound under Wine, each case on a private Xvfb of
# its own and in the Wine prefix the whole test run shares (WINEPREFIX). There
# is no accessibility tree under Wine: the dialogs are driven with keys on the
# X keyboard, as a person would, and what they stored is read with "wine reg".
#
#   config_dialog_test.sh <bin dir> <output dir> <case>
#
# Cases:
#   ok      /c: a screenshot of every page and of the screen settings, which
#           open from the last list entry; sound switched off on its page and
#           OK: the settings are in the registry, sound off, the rest defaults.
#   cancel  /c: sound switched off, then Escape: no value is stored.
#   sound   /s with Wine's audio going to ALSA's file plugin (a test home's
#           .asoundrc): the water loop is opened and played, so the file
#           fills with samples that are not silence.
set -u
BIN="$1"
OUT="$2"
CASE="$3"
PLAIN="$BIN/reefsaver_plain.scr"
SETTINGS='HKCU\Software\ReefSaver\Settings'
SIZE=1024x768

. "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/wine_test.sh"

mkdir -p "$OUT"
[ -f "$PLAIN" ] || fail "no $PLAIN"
[ -d "$BIN/Marevo2" ] || fail "no data folder $BIN/Marevo2"
command -v xdotool >/dev/null || fail "xdotool is missing (scripts/install-deps.sh installs it)"

start_wine_case "$SIZE"
FAIL_LOG="$WORK/saver.log"
unset REEFSAVER_NO_DIALOGS

# The values stored under the settings key, one "Name REG_TYPE value" a line.
stored() { wine reg query "$SETTINGS" 2>/dev/null | tr -d '\r' | sed -n 's/^ *\([A-Za-z]*\) *\(REG_[A-Z_]*\) *\(.*\)/\1 \2 \3/p'; }
value() { stored | awk -v name="$1" '$1 == name { print $3 }'; }

# shown_window TITLE-REGEX: the id of a shown X window of that title, if there is one.
shown_window() {
  local id
  id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
  [ -n "$id" ] && echo "$id"
}

no_shown_window() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

# screenshot WINDOW FILE: the window as it is on the X screen.
screenshot() {
  sleep 0.4  # the page shown last has painted
  import -window root -crop "$(xdotool getwindowgeometry "$1" | awk '
      /Position/ { split($2, p, ","); x = p[1]; y = p[2] }
      /Geometry/ { g = $2 } END { printf "%s+%d+%d", g, x, y }')" +repage "$2" ||
    fail "no screenshot of window $1"
}

start_config() {
  wine reg delete 'HKCU\Software\ReefSaver' /f >/dev/null 2>&1
  wine "$PLAIN" /c >"$WORK/saver.log" 2>&1 &
  SAVER_PID=$!
  MAIN=$(wait_until 60 shown_window '^(Einstellungen|Settings)$') || fail "the configuration dialog did not open"
  sleep 0.5  # shown and holding the keyboard focus
}

# From the page list (which has the focus when the dialog opens) to the sound
# page, and its check box: OK and Cancel come before the page in the Tab order.
# The box must look different afterwards, or the keys went nowhere.
switch_sound_off() {
  xdotool key --delay 80 Home Down Down Down Down Down Down Down Down
  screenshot "$MAIN" "$WORK/sound-on.png"
  xdotool key --delay 80 Tab Tab Tab space
  screenshot "$MAIN" "$OUT/wine-config-sound-off-$CASE.png"
  local changed
  changed=$(/usr/bin/compare -metric AE "$WORK/sound-on.png" "$OUT/wine-config-sound-off-$CASE.png" null: 2>&1)
  [ "${changed%% *}" -gt 0 ] 2>/dev/null || fail "the sound box did not change on the keys (AE $changed)"
}

case "$CASE" in
  ok)
    start_config
    pages=(intro boid fish birds animals diverse sky camera sound)
    for index in "${!pages[@]}"; do
      screenshot "$MAIN" "$OUT/wine-config-$index-${pages[$index]}.png"
      xdotool key Down
    done
    # The tenth entry: the screen settings, modal over the configuration.
    SCREEN=$(wait_until 20 shown_window '^(Bildschirmeinstellungen|Screen settings)$') ||
      fail "the screen settings did not open from the last list entry"
    screenshot "$SCREEN" "$OUT/wine-screen-settings.png"
    xdotool key Escape
    wait_until 10 no_shown_window '^(Bildschirmeinstellungen|Screen settings)$' || fail "Escape did not close the screen settings"
    switch_sound_off
    xdotool key Return
    wait_for_end 20 || fail "OK did not end the configuration"
    [ "$SAVER_STATUS" = 0 ] || fail "/c ended with $SAVER_STATUS"
    echo "stored after OK:"; stored
    [ "$(value SoundOn)" = 0x0 ] || fail "SoundOn is '$(value SoundOn)', not 0x0"
    [ "$(value BoidCount)" = 0xa ] || fail "BoidCount is '$(value BoidCount)', not the default 0xa"
    [ "$(value CameraSpeed)" = 0x4 ] || fail "CameraSpeed is '$(value CameraSpeed)', not the default 0x4"
    [ "$(value BirdGull)" = 0x1 ] || fail "BirdGull is '$(value BirdGull)', not the default 0x1"
    # One on/off value per set on disk, in the sub-key "fish".
    sets=$(find "$BIN/Marevo2/sets" -iname info.ini | wc -l)
    listed=$(wine reg query "$SETTINGS\\fish" 2>/dev/null | grep -c REG_DWORD)
    echo "set values stored: $listed of $sets sets"
    [ "$listed" -eq "$sets" ] || fail "$listed set values stored for $sets sets"
    ;;
  cancel)
    start_config
    switch_sound_off
    xdotool key Escape
    wait_for_end 20 || fail "Escape did not end the configuration"
    [ "$SAVER_STATUS" = 0 ] || fail "/c ended with $SAVER_STATUS"
    [ -z "$(stored)" ] || fail "Cancel stored values: $(stored)"
    echo "Cancel stored nothing"
    ;;
  sound)
    # A home of the test's own, whose ALSA default device writes what it plays into a file.
    home="$WORK/home"
    mkdir -p "$home"
    cat >"$home/.asoundrc" <<ASOUND
pcm.!default { type file slave.pcm "null" file "$WORK/played.raw" format "raw" }
ASOUND
    wine reg delete 'HKCU\Software\ReefSaver' /f >/dev/null 2>&1
    end_wineserver  # Wine's audio service starts afresh and reads the new home's ALSA setup
    HOME="$home" SDL_AUDIODRIVER=waveout REEFSAVER_QUIT_AFTER_MS=5000 REEFSAVER_FROZEN_CLOCK_MS=60000 \
      timeout 120 wine "$PLAIN" /s >"$WORK/saver.log" 2>&1 &
    SAVER_PID=$!
    wait_for_end 120 || fail "the saver did not end after its timed quit"
    HOME="$home" wineserver -w
    grep -q "music == 0" "$WORK/saver.log" && fail "the water loop was not loaded"
    [ -s "$WORK/played.raw" ] || fail "nothing was played into the ALSA device"
    bytes=$(stat -c %s "$WORK/played.raw")
    loud=$(od -An -v -t d2 -w2 "$WORK/played.raw" | awk '$1 > 64 || $1 < -64 { n++ } END { print n + 0 }')
    echo "played $bytes bytes, $loud samples above silence"
    [ "$loud" -gt 1000 ] || fail "the sound played was silence"
    ;;
  *)
    fail "unknown case $CASE"
    ;;
esac
exit 0
