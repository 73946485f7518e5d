#!/usr/bin/env bash
# Keeps the dependencies pointing one way. The product's layers, lowest first:
#   core <- engine <- world, ui <- scene <- app <- programs
# with res/ (dialog templates) beside them, platform/ implementing the narrow
# interfaces of the layers below it, and shell/ running the frame loop on top of
# the platform. Below the data generator (tools/) and the test code sit the
# file writers (writers/), which know of the engine only its format headers.
# Each folder names the folders it may include; anything else is
# a dependency pointing the wrong way. Window-system, SDL and GTK headers stay in
# platform/, OpenGL stays out of the layers that only compute, only shell/ ends
# the process, and nothing outside tests/ takes code from the test suites.
set -u
ROOT="$1"
cd "$ROOT" || exit 2
status=0

report() {
  local why="$1" hits="$2"
  if [ -n "$hits" ]; then
    echo "$why:"
    echo "$hits"
    status=1
  fi
}

# Includes of repository folders that a folder may not use.
#   allow_only FOLDER "ALLOWED FOLDERS"
allow_only() {
  local folder="$1" allowed="$2" hits="" line target
  [ -d "$folder" ] || return 0
  while IFS= read -r line; do
    target=$(sed -E 's/^[^"]*"([a-z]+)\/.*/\1/' <<<"${line#*:*:}")
    [ -d "$target" ] || continue
    case " $allowed " in *" $target "*) ;; *) hits+="$line"$'\n' ;; esac
  done < <(grep -rnE '^\s*#\s*include\s*"[a-z]+/' "$folder" --include='*.h' --include='*.cpp' 2>/dev/null)
  report "$folder/ may include only $allowed" "${hits%$'\n'}"
}

allow_only core     "core"
allow_only engine   "core engine"
allow_only world    "core engine world"
allow_only ui       "core engine ui"
allow_only scene    "core engine world ui scene"
allow_only res      "res"
allow_only platform "core engine scene res platform"
allow_only shell    "core engine ui res platform shell"
allow_only app      "core engine world ui scene res platform shell app"
allow_only programs "core engine world ui scene res platform shell app programs"
allow_only tools    "core engine ui scene platform tools writers"
allow_only writers  "engine writers"

PRODUCT="core engine world ui scene res platform shell app programs tools writers"
if [ -d writers ]; then
  report "writers/ may take from engine/ only its format headers" \
    "$(grep -rnE '^\s*#\s*include\s*"engine/' writers | grep -vE '"engine/[A-Za-z0-9]+Format\.h"')"
fi
existing() { local f out=""; for f in $1; do [ -d "$f" ] && out+="$f "; done; echo "$out"; }

# System headers that belong to one layer.
#   forbid "FOLDERS" PATTERN WHY
forbid() {
  local folders hits
  folders=$(existing "$1")
  [ -n "$folders" ] || return 0
  hits=$(grep -rnE "^\s*#\s*include\s*[<\"]($2)" $folders --include='*.h' --include='*.cpp' 2>/dev/null)
  report "$3" "$hits"
}

forbid "${PRODUCT/platform /}" 'X11/|SDL/|SDL\.h|SDL_|gtk/|gdk/|GL/glx' \
  "only platform/ may include X11, SDL or GTK headers"
forbid "core world res shell programs tools" 'GL/' \
  "OpenGL stays in the layers that draw (engine, ui, scene, app) and the platform's context set-up"
# Win32 stays in the Windows platform layer; below the platform only the one
# file reader (engine/FilePath.cpp) reads files the system's own way.
forbid "core world ui scene res shell app programs tools" \
  '(windows|winuser|wingdi|winreg|shellapi|commctrl|GL/wgl)\.h' \
  "only platform/ (and the engine's file reader) may include Win32 headers"
forbid "${PRODUCT/platform /}" 'dirent\.h' \
  "listing folders is the platform's (DirectoryLister is the interface the layers above use)"
forbid "$PRODUCT fuzz bench testsupport" 'tests/|\.\./' \
  "only the test suites include tests/, and includes are written from the repository root"

# Ending the process is the shell's decision alone. (platform/ is left out: its
# display-mode watchdog is a forked child that must leave by _exit, and Xlib's
# fatal I/O error handler may not return.)
folders=$(existing "core engine world ui scene res app")
report "only shell/ ends the process" \
  "$(grep -rnE '(^|[^a-zA-Z_.>:])(std::)?(exit|_exit|_Exit|quick_exit|abort)\s*\(' $folders \
       --include='*.h' --include='*.cpp' 2>/dev/null)"

[ $status = 0 ] && echo "layers are clean"
exit $status
