#!/usr/bin/env bash
# Replays what hostile trials found against a build: the real programs run
# against hostile files and settings made in temporary folders, on a private X
# server, each run bounded in time. Every case says what it saw; any failure
# makes the script fail, naming the case.
#
# Usage: bash scripts/hostile.sh [bin folder] [case...]
#   bin folder  the build's bin/ with both programs and Marevo2/ (default build-asan/bin)
#   case        run only these cases (default: all, in the order below)
#
# A sanitizer report ends a program with status 86, which no case accepts.
set -u
cd "$(dirname "$0")/.."
ROOT="$PWD"
BIN="$(cd "${1:-build-asan/bin}" && pwd)" || { echo "hostile: no bin folder ${1:-build-asan/bin}"; exit 2; }
shift $(( $# > 0 ? 1 : 0 ))
PLAIN="$BIN/reefsaver_plain"
VIEWER="$BIN/reefsaver"
[ -x "$PLAIN" ] && [ -x "$VIEWER" ] && [ -d "$BIN/Marevo2" ] || { echo "hostile: $BIN lacks the programs or Marevo2/"; exit 2; }

export REEFSAVER_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}exitcode=86"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}exitcode=86"
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}exitcode=86"
WORK="$(mktemp -d /tmp/reef-hostile-XXXXXX)"
trap 'kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; [ -n "${KEEP:-}" ] || rm -rf "$WORK"' EXIT

# Sanitized code runs several times slower: time limits grow by this factor.
SLOW=1
if ldd "$PLAIN" 2>/dev/null | grep -q libasan; then SLOW=4; fi

. "$ROOT/testsupport/private_display.sh"
start_private_xvfb 1024x768 || { echo "hostile: no Xvfb display could be started"; exit 2; }

# ---------------------------------------------------------------- helpers

FAILED=()
CASE_LOG=""

fail() {
  echo "  FAIL: $*"
  if [ -n "$CASE_LOG" ] && [ -s "$CASE_LOG" ]; then
    echo "  --- the program's last output:"
    tail -n 15 "$CASE_LOG" | cut -c1-300 | sed 's/^/  | /'
  fi
  return 1
}

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.2f", b - a }'; }
# True when $1 <= $2 (seconds, fractions allowed).
within() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a <= b) }'; }

# A normal end of a saver run (the status of a run that ends by itself or by
# a stop input); anything else is a failed start (1), a crash, a kill or a
# sanitizer report.
normal_status() { [ "$1" = 0 ]; }

# Waits up to $2 seconds for process $1 to end; sets STATUS. False if it lives on.
wait_gone() {
  local pid="$1" limit="$2" start
  start="$(now)"
  while kill -0 "$pid" 2>/dev/null; do
    within "$(elapsed "$start")" "$limit" || return 1
    sleep 0.05
  done
  wait "$pid"
  STATUS=$?
  return 0
}

# Ends a process that outlived its case, so the next case has the screen.
reap() { kill -KILL "$1" 2>/dev/null; wait "$1" 2>/dev/null; }

# The loaders' failure lines, as the program itself writes them.
. "$ROOT/testsupport/loader_failures.sh"
LOADER_FAILURES="$(loader_failure_pattern)" || exit 2
loader_failures() { grep -E "$LOADER_FAILURES" "$1"; }

# A program folder of our own: the program hard-linked (its data folder is found
# beside its real path) and the data folder as a tree of links, so cases can add
# or replace files without touching the build. $1: the folder to make; $2: the
# saver to put there (default: the build's).
program_copy() {
  local dir="$1" plain="${2:-$PLAIN}"
  mkdir -p "$dir" || return 1
  ln -f "$plain" "$dir/reefsaver_plain" 2>/dev/null || cp "$plain" "$dir/reefsaver_plain" || return 1
  ln -f "$VIEWER" "$dir/" 2>/dev/null || cp "$VIEWER" "$dir/" || return 1
  ln -s "$BIN/modules" "$dir/modules"
  mkdir -p "$dir/Marevo2/sets"
  local entry
  for entry in "$BIN/Marevo2"/*; do
    [ "$(basename "$entry")" = sets ] || ln -s "$entry" "$dir/Marevo2/"
  done
  for entry in "$BIN/Marevo2/sets"/*; do
    mkdir -p "$dir/Marevo2/sets/$(basename "$entry")"
    for set in "$entry"/*; do ln -s "$set" "$dir/Marevo2/sets/$(basename "$entry")/"; done
  done
}

# A fresh settings folder for one run.
fresh_settings() {
  XDG_CONFIG_HOME="$(mktemp -d "$WORK/config-XXXXXX")"
  export XDG_CONFIG_HOME
}

# Runs the full-screen saver ($1: program) until it has drawn its first frame and
# ended, within $2 seconds (default 60, times SLOW); prints the CPU seconds that
# took (user and system: on a busy machine the steadier figure). Output goes to $CASE_LOG.
time_first_frame() {
  local program="$1" limit="${2:-60}" pid
  REEFSAVER_QUIT_AFTER_MS=1 /usr/bin/time -f "%U %S" -o "$WORK/cpu" "$program" /s >"$CASE_LOG" 2>&1 &
  pid=$!
  if ! wait_gone "$pid" "$((limit * SLOW))"; then
    reap "$pid"
    echo "never"
    return 1
  fi
  normal_status "$STATUS" || { echo "status $STATUS"; return 1; }
  tail -n 1 "$WORK/cpu" | awk '{ printf "%.2f", $1 + $2 }'
}

# ---------------------------------------------------------------- cases

# A deep install folder (4,000 characters): every creature set still loads.
case_deep_install() {
  local dir="$WORK/deep" seconds part
  # Folder names within the file system's 255 bytes; the whole path at 4,000
  # characters, so the data's paths stay within what the system opens (4,095).
  while [ ${#dir} -lt 4000 ]; do
    part=$(( 4000 - ${#dir} - 1 ))
    [ "$part" -gt 200 ] && part=200
    [ "$part" -lt 1 ] && part=1
    dir="$dir/$(head -c "$part" /dev/zero | tr '\0' d)"
  done
  program_copy "$dir" || { fail "cannot make the deep folder"; return 1; }
  fresh_settings
  seconds="$(time_first_frame "$dir/reefsaver_plain")" || { fail "the saver's run failed: $seconds"; return 1; }
  if loader_failures "$CASE_LOG" >/dev/null; then
    fail "assets failed to load from a ${#dir}-character folder"
    return 1
  fi
  echo "  from a ${#dir}-character install folder every asset loaded (first frame after $seconds CPU s)"
}

# 130,000 set entries in the settings (a 4 MB file, under its limit): start-up
# stays about as quick as without them.
case_many_set_entries() {
  local base with key entries=130000
  fresh_settings
  base="$(time_first_frame "$PLAIN")" || { fail "the saver's run failed: $base"; return 1; }
  # The first run wrote the settings file; its key names the sets' list.
  key="$(grep -m1 '^\[HKEY_CURRENT_USER' "$XDG_CONFIG_HOME/reefsaver/settings.reg" | tr -d '[]')"
  [ -n "$key" ] || { fail "the first run wrote no settings"; return 1; }
  awk -v key="$key" -v n="$entries" 'BEGIN {
      print "Windows Registry Editor Version 5.00\n\n[" key "]\n\n[" key "\\fish]"
      for (i = 0; i < n; i++) printf "\"set%d\"=dword:%08x\n", i, i % 2
    }' >"$XDG_CONFIG_HOME/reefsaver/settings.reg"
  [ "$(stat -c %s "$XDG_CONFIG_HOME/reefsaver/settings.reg")" -lt $((4 << 20)) ] ||
    { fail "the settings file made is over the 4 MB limit"; return 1; }
  with="$(time_first_frame "$PLAIN" 40)" || { fail "the saver's run with $entries set entries failed: $with"; return 1; }
  ls "$XDG_CONFIG_HOME/reefsaver/" | grep -q corrupt && { fail "the settings file was set aside as damaged"; return 1; }
  echo "  first frame after $base CPU s with no set entries, $with CPU s with $entries"
  within "$with" "$(awk -v b="$base" -v s="$SLOW" 'BEGIN { print b + 1.5 * s }')" ||
    { fail "$entries set entries delay start-up by more than $((SLOW * 3 / 2)) s"; return 1; }
}

# A set whose icon is a FIFO, one whose icon is a kilobyte declaring a 20000 x
# 20000 image, and the same bomb as the intro picture: the settings dialog still
# appears at once, refuses each with one line, stays small and ends on SIGTERM.
case_dialog_pictures() {
  local dir="$WORK/pictures" pid hwm window
  program_copy "$dir" || { fail "cannot make the program folder"; return 1; }
  /usr/bin/python3 - "$dir" <<'PYTHON' || { fail "cannot write the hostile files"; return 1; }
import os, struct, sys
dir = sys.argv[1]
# BI_RLE8, 20000 x 20000, a 256-colour palette and a few runs: about 1 KB.
runs = bytes([255, 1] * 7 + [0, 1])
header = struct.pack("<2sIHHI", b"BM", 14 + 40 + 1024 + len(runs), 0, 0, 14 + 40 + 1024)
info = struct.pack("<IiiHHIIiiII", 40, 20000, 20000, 1, 8, 1, len(runs), 2835, 2835, 256, 0)
bomb = header + info + bytes(1024) + runs
for name, icon in (("hostile_fifo", None), ("hostile_bomb", bomb)):
    folder = os.path.join(dir, "Marevo2", "sets", "additional", name)
    os.makedirs(folder)
    with open(os.path.join(folder, "info.ini"), "w") as f:
        f.write("[common]\nid=%s\n[settings]\ncategory=fish\nicon=icon.bmp\n[saver]\ntype=singlefish\n" % name)
    if icon is None:
        os.mkfifo(os.path.join(folder, "icon.bmp"))
    else:
        with open(os.path.join(folder, "icon.bmp"), "wb") as f:
            f.write(icon)
os.remove(os.path.join(dir, "Marevo2", "intro.bmp"))
with open(os.path.join(dir, "Marevo2", "intro.bmp"), "wb") as f:
    f.write(bomb)
PYTHON
  fresh_settings
  "$dir/reefsaver_plain" /c >"$CASE_LOG" 2>&1 &
  pid=$!
  local start
  start="$(now)"
  window=""
  while [ -z "$window" ] && kill -0 "$pid" 2>/dev/null && within "$(elapsed "$start")" "$((15 * SLOW))"; do
    window="$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1)"
    sleep 0.2
  done
  if [ -z "$window" ]; then
    reap "$pid"
    fail "no dialog appeared within $((15 * SLOW)) s"
    return 1
  fi
  local seconds
  seconds="$(elapsed "$start")"
  sleep 1
  hwm="$(awk '/VmHWM/ { print int($2 / 1024) }' "/proc/$pid/status")"
  echo "  the dialog appeared after $seconds s, peak memory $hwm MB"
  kill -TERM "$pid"
  wait_gone "$pid" 10 || { reap "$pid"; fail "the dialog did not end on SIGTERM"; return 1; }
  [ "$hwm" -lt 500 ] || { fail "the dialog's memory peaked at $hwm MB"; return 1; }
  local refused
  refused="$(grep -c "^Dialog picture .* not shown" "$CASE_LOG")"
  # The FIFO and the bomb on the fish page and the boid page, and the intro picture.
  [ "$refused" -ge 3 ] || { fail "only $refused refusal lines"; return 1; }
  grep "^Dialog picture" "$CASE_LOG" | sed 's|.*/Marevo2/|  refused: |' | sort -u
}

# Runs "$@" (a start that must fail) within 10 s (times SLOW); true when it
# ended with status 1 and said why in exactly one line that matches $PATTERN.
fails_in_one_line() {
  local pid
  "$@" >"$CASE_LOG" 2>&1 &
  pid=$!
  wait_gone "$pid" "$((10 * SLOW))" || { reap "$pid"; fail "'$*' still runs"; return 1; }
  [ "$STATUS" = 1 ] || { fail "'$*' ended with $STATUS, not the failed start's 1"; return 1; }
  [ "$(wc -l <"$CASE_LOG")" = 1 ] && grep -q "$PATTERN" "$CASE_LOG" || { fail "'$*' did not say why in one line"; return 1; }
  echo "  $(basename "$1") ${*:2}: $(cut -c1-150 "$CASE_LOG")"
}

# Window ids that are malformed or name no window: one line and status 1, at
# once; never the whole screen grabbed.
case_bad_window_ids() {
  fresh_settings
  local PATTERN="window"
  fails_in_one_line "$PLAIN" -window-id 0 || return 1
  fails_in_one_line "$PLAIN" -window-id garbage || return 1
  fails_in_one_line "$PLAIN" --window-id 0x12345678 || return 1
  fails_in_one_line "$PLAIN" /p 12345678 || return 1
  fails_in_one_line "$PLAIN" /p || return 1
}

# No data folder beside the program: every mode that needs it says so in one
# line and ends with status 1 before any window (XScreenSaver shows its own notice).
case_missing_data() {
  local dir="$WORK/nodata"
  mkdir -p "$dir"
  cp "$PLAIN" "$VIEWER" "$dir/" || { fail "cannot copy the programs"; return 1; }
  fresh_settings
  local PATTERN="data folder is missing"
  fails_in_one_line "$dir/reefsaver_plain" /s || return 1
  fails_in_one_line "$dir/reefsaver_plain" -root || return 1
  fails_in_one_line "$dir/reefsaver_plain" /c || return 1
  fails_in_one_line "$dir/reefsaver" || return 1
}

# The saver and its display-mode watchdog killed together (kill -9 of the
# saver's process group and of the watchdog): the mode stays changed until the
# next start of a program puts it back from the record in the runtime folder.
case_mode_left_behind() {
  local pid watchdog start_mode mode
  export XDG_RUNTIME_DIR="$WORK/runtime"
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
  current_mode() { xrandr | awk '/\*/ { print $1; exit }'; }
  start_mode="$(current_mode)"
  xrandr --newmode 640x480 0 640 0 0 0 480 0 0 0 2>/dev/null
  xrandr --addmode screen 640x480 2>/dev/null
  fresh_settings
  mkdir -p "$XDG_CONFIG_HOME/reefsaver"
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\ReefSaver\\Settings]\r\n"LeaveRes"=dword:00000000\r\n"Width"=dword:00000280\r\n"Height"=dword:000001e0\r\n"Bpp"=dword:00000020\r\n' \
    >"$XDG_CONFIG_HOME/reefsaver/settings.reg"
  setsid "$PLAIN" /s >"$CASE_LOG" 2>&1 &
  pid=$!
  local begun
  begun="$(now)"
  until [ "$(current_mode)" = 640x480 ] && watchdog="$(pgrep -x -P "$pid" reef-modeguard)"; do
    within "$(elapsed "$begun")" "$((20 * SLOW))" && kill -0 "$pid" 2>/dev/null ||
      { reap "$pid"; fail "the saver did not switch to 640x480 with its watchdog"; return 1; }
    sleep 0.1
  done
  kill -KILL -- "-$pid" "$watchdog"
  wait "$pid" 2>/dev/null
  sleep 1
  mode="$(current_mode)"
  [ "$mode" = 640x480 ] || { fail "the mode came back without a start ($mode)"; return 1; }
  # A start that ends at once after connecting (no window 1 to draw a preview into).
  timeout "$((10 * SLOW))" "$PLAIN" /p 1 >"$CASE_LOG" 2>&1
  grep -q "left the display mode changed; it is restored" "$CASE_LOG" || { fail "the next start restored nothing"; return 1; }
  mode="$(current_mode)"
  [ "$mode" = "$start_mode" ] || { fail "the next start left the mode at $mode"; return 1; }
  echo "  killed with its watchdog at 640x480; the next start put back $start_mode"
  unset XDG_RUNTIME_DIR
}

# A set with 20,000 sub-set sections (a 3.6 MB info.ini, within the file limit):
# refused with one line, the saver draws its first frame as soon as without it
# and ends at once on SIGTERM.
case_many_subsets() {
  local dir="$WORK/subsets" pid start seconds cpu
  program_copy "$dir" || { fail "cannot make the program folder"; return 1; }
  mkdir -p "$dir/Marevo2/sets/additional/hostile_sections"
  awk 'BEGIN {
      print "[common]\nid=hostile_sections\n[settings]\ncategory=diverse\n[saver]\ntype=statictimed\nmodel=m.tqm"
      for (n = 2; n < 20002; n++) printf "[saver%d]\ntexture=t.tqt\nmodel=m.tqm\nscale=0.05\nval0=1,2,3\n", n
    }' >"$dir/Marevo2/sets/additional/hostile_sections/info.ini"
  fresh_settings
  start="$(now)"
  REEFSAVER_SCREENSHOTS="0:$WORK/subsets-first.png" "$dir/reefsaver_plain" /s >"$CASE_LOG" 2>&1 &
  pid=$!
  until [ -s "$WORK/subsets-first.png" ]; do
    kill -0 "$pid" 2>/dev/null || { fail "the saver ended before its first frame"; return 1; }
    within "$(elapsed "$start")" "$((15 * SLOW))" || { reap "$pid"; fail "no first frame within $((15 * SLOW)) s"; return 1; }
    sleep 0.1
  done
  seconds="$(elapsed "$start")"
  # Processor time (user and system) so far: on a busy machine the steadier figure.
  cpu="$(awk -v hz="$(getconf CLK_TCK)" '{ printf "%.2f", ($14 + $15) / hz }' "/proc/$pid/stat")"
  kill -TERM "$pid"
  start="$(now)"
  wait_gone "$pid" "$((1 * SLOW))" || { reap "$pid"; fail "the saver did not end within $SLOW s of SIGTERM"; return 1; }
  normal_status "$STATUS" || { fail "the saver ended with $STATUS after SIGTERM"; return 1; }
  [ "$(grep -c "hostile_sections/info.ini: more than 64 sub-sets; set skipped" "$CASE_LOG")" = 1 ] ||
    { fail "the set was not refused in one line"; return 1; }
  echo "  refused in one line; first frame after $seconds s ($cpu CPU s), ended $(elapsed "$start") s after SIGTERM"
  # The plain data's first frame takes about 0.5 CPU s (2 with the sanitizers).
  within "$cpu" "$((SLOW))" || { fail "the first frame took $cpu CPU s"; return 1; }
}

# Running out of memory while the assets load: a build without the sanitizers
# (they end the program on the first failed allocation by design) runs with
# every large C++ allocation failing, as when memory is short. Each asset that
# cannot be held is reported and left out, and the saver goes on (status 0) or
# ends with one line and status 1; it never aborts. (A limit on the whole
# address space would also starve the GL driver, which then crashes inside
# itself; the shim fails only the program's own allocations.)
case_out_of_memory() {
  local release="$ROOT/build-rel" dir="$WORK/oom" shim="$WORK/failing_new.so" pid
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  if [ ! -f "$release/build.ninja" ]; then
    cmake -S "$ROOT" -B "$release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DREEF_SANITIZE=OFF "${launcher[@]}" \
      >"$WORK/release-cmake.log" 2>&1 || { fail "cannot configure $release: $(tail -n 3 "$WORK/release-cmake.log")"; return 1; }
  fi
  nice ninja -C "$release" reefsaver_plain >"$WORK/release-build.log" 2>&1 ||
    { fail "cannot build the release saver: $(tail -n 5 "$WORK/release-build.log")"; return 1; }
  ldd "$release/bin/reefsaver_plain" | grep -q libasan && { fail "$release is a sanitized build"; return 1; }
  cat >"$WORK/failing_new.cpp" <<'SHIM'
// Every C++ allocation of 64 KB or more fails, as in a process out of memory.
#include <cstdlib>
#include <new>
static void* allocate(std::size_t size) {
    if (size >= 65536) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
SHIM
  g++ -O2 -shared -fPIC -o "$shim" "$WORK/failing_new.cpp" || { fail "cannot build the allocation shim"; return 1; }
  program_copy "$dir" "$release/bin/reefsaver_plain" || { fail "cannot make the program folder"; return 1; }
  fresh_settings
  LD_PRELOAD="$shim" REEFSAVER_QUIT_AFTER_MS=1500 "$dir/reefsaver_plain" /s >"$CASE_LOG" 2>&1 &
  pid=$!
  wait_gone "$pid" 60 || { reap "$pid"; fail "the saver did not end"; return 1; }
  local reported
  reported="$(loader_failures "$CASE_LOG" | wc -l)"
  [ "$reported" -ge 1 ] || { fail "no asset was reported (did the shim work?)"; return 1; }
  case "$STATUS" in
    0) echo "  $reported assets reported and left out; the saver ran on and ended with 0" ;;
    1) [ "$(grep -c "out of memory; the saver ends" "$CASE_LOG")" = 1 ] ||
         { fail "status 1 without the one line that says why"; return 1; }
       echo "  $reported assets reported and left out, then one line and status 1" ;;
    *) fail "the saver ended with $STATUS out of memory"; return 1 ;;
  esac
}

# ---------------------------------------------------------------- main

ALL_CASES=(deep_install many_set_entries many_subsets out_of_memory dialog_pictures bad_window_ids missing_data
           mode_left_behind)
CASES=("$@")
[ ${#CASES[@]} -gt 0 ] || CASES=("${ALL_CASES[@]}")
STARTED="$(now)"
for name in "${CASES[@]}"; do
  if ! declare -F "case_$name" >/dev/null; then
    echo "hostile: no case $name (cases: ${ALL_CASES[*]})"
    exit 2
  fi
  echo "hostile: $name"
  CASE_LOG="$WORK/$name.log"
  case_start="$(now)"
  if "case_$name"; then
    echo "  ok ($(elapsed "$case_start") s)"
  else
    FAILED+=("$name")
  fi
done
echo "hostile: ${#CASES[@]} cases in $(elapsed "$STARTED") s"
if [ ${#FAILED[@]} -gt 0 ]; then
  echo "hostile: FAILED: ${FAILED[*]}"
  exit 1
fi
echo "hostile: all passed"
