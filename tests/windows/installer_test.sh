#!/usr/bin/env bash
# The installer under Wine: a silent install puts the programs and the data
# folder into Program Files\ReefSaver, makes the saver the screensaver and adds
# the Start-menu entries; the silent uninstaller takes them away again and
# leaves the saver's settings.
#   installer_test.sh <setup.exe>      (WINEPREFIX names the test prefix)
set -eu
installer=$1
. "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/wine_test.sh"
query() { wine reg query "$@" 2>/dev/null | tr -d '\r'; }
[ -f "$installer" ] || fail "no installer $installer (scripts/package-windows.sh makes it)"
# On the test run's display; the wineserver ends with the test, so that the
# next test's Wine starts on its own display.
start_wine_case

settings='HKCU\Software\ReefSaver\Settings'
desktop='HKCU\Control Panel\Desktop'
uninstallKey='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ReefSaver'
folder="$WINEPREFIX/drive_c/Program Files/ReefSaver"

# A setting the user made before: no installer step may touch it.
wine reg add "$settings" /v BoidCount /t REG_DWORD /d 12 /f >/dev/null 2>&1
wine reg delete "$desktop" /v SCRNSAVE.EXE /f >/dev/null 2>&1 || true

wine "$installer" /S
wineserver -w
for file in reefsaver_plain.scr reefsaver.exe uninstall.exe Marevo2/Directory.dat; do
  [ -f "$folder/$file" ] || note_failure "installed: $file missing"
done
saver=$(query "$desktop" /v SCRNSAVE.EXE | sed -n 's/.*REG_SZ[[:space:]]*//p')
echo "screensaver: $saver"
case "$saver" in
  *[Rr][Ee][Ee][Ff]*.[Ss][Cc][Rr]) ;;
  *) note_failure "SCRNSAVE.EXE does not name the saver: '$saver'" ;;
esac
# The short path the installer stores must lead to the saver.
[ -n "$saver" ] && [ -f "$(winepath -u "$saver" 2>/dev/null)" ] || note_failure "SCRNSAVE.EXE '$saver' is no file"
menu=$(find "$WINEPREFIX/drive_c/users" -type d -path '*Start Menu/Programs/ReefSaver' | head -n1)
[ -n "$menu" ] && [ -f "$menu/ReefSaver.lnk" ] && [ -f "$menu/ReefSaver Settings.lnk" ] ||
  note_failure "Start-menu entries missing in '$menu'"
# The settings entry starts the saver with /c (a shortcut keeps its arguments in UTF-16).
[ -n "$menu" ] && python3 -c 'import sys; sys.exit("/c".encode("utf-16-le") not in open(sys.argv[1], "rb").read())' \
  "$menu/ReefSaver Settings.lnk" || note_failure "the settings entry does not pass /c"
query "$uninstallKey" /v UninstallString | grep -q uninstall.exe || note_failure "no uninstall entry"

# The uninstaller copies itself away and runs from there: wait for every process of the prefix.
wine "$folder/uninstall.exe" /S
wineserver -w
[ ! -e "$folder" ] || note_failure "installation folder left: $(ls -A "$folder" | tr '\n' ' ')"
[ -z "$menu" ] || [ ! -e "$menu" ] || note_failure "Start-menu folder left"
query "$desktop" /v SCRNSAVE.EXE | grep -q SCRNSAVE && note_failure "SCRNSAVE.EXE left"
wine reg query "$uninstallKey" >/dev/null 2>&1 && note_failure "uninstall entry left"
query "$settings" /v BoidCount | grep -qi '0xc' || note_failure "the user's settings went with the uninstaller"

wine reg delete 'HKCU\Software\ReefSaver' /f >/dev/null 2>&1 || true
[ "$FAILURES" -eq 0 ] && echo "installer: install and uninstall as expected"
end_with_failures
