#!/usr/bin/env bash
# The installed ReefSaver: cmake --install into a temporary DESTDIR, the
# registration with XScreenSaver, the real XScreenSaver daemon and the preview,
# and the Debian package.
# Usage: install_test.sh <build dir> <case> <image_stats> <log dir>
# Exit 77 means skipped (the reason is printed).
set -u
BUILD="$1"
CASE="$2"
IMAGE_STATS="$3"
LOGS="$4"
mkdir -p "$LOGS"
PREFIX=/opt/reeftest
export SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 REEFSAVER_NO_DIALOGS=1
# The programs' leak check at exit would stretch the exit time measured below;
# leaks are checked by the program and scene suites.
export ASAN_OPTIONS="detect_leaks=0"
WORK="$(mktemp -d)"
chmod 755 "$WORK"
PIDS=()
cleanup() {
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  stop_private_display
  rm -rf "$WORK"
}
trap cleanup EXIT

. "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/test_script.sh"
skip() { echo "SKIPPED: $*"; exit 77; }

install_tree() {
  DEST="$WORK/dest"
  DESTDIR="$DEST" cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.log" 2>&1 \
    || { cat "$WORK/install.log"; fail "cmake --install failed"; }
  ROOT="$DEST$PREFIX"
}


# A grab of the window (root by default), judged like the program suite's screenshots.
check_screen() {
  local name="$1" window="${2:-root}" stats
  /usr/bin/import -window "$window" -depth 8 "ppm:$WORK/$name.ppm" 2>/dev/null || fail "no screen grab"
  /usr/bin/convert "$WORK/$name.ppm" "$LOGS/$name.png" 2>/dev/null
  stats=$("$IMAGE_STATS" "$WORK/$name.ppm") || fail "unreadable screen grab"
  echo "$name: $stats (width height mean deviation colourful)"
  read -r _ _ mean deviation colourful <<<"$stats"
  awk -v m="$mean" -v d="$deviation" -v c="$colourful" 'BEGIN { exit !(m > 30 && m < 230 && d > 12 && c > 0.2) }' \
    || fail "$name does not show the reef: $stats"
}

# Waits up to $2 tenths of a second for no process to run the program $1; prints the tenths taken.
wait_gone() {
  for i in $(seq 0 "$2"); do
    pgrep -f -- "$1" >/dev/null || { echo "$i"; return 0; }
    sleep 0.1
  done
  return 1
}

# Loader failures (the program's own texts); none may appear with a complete data folder.
. "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/loader_failures.sh"
check_log() {
  if grep -E "$(loader_failure_pattern)" "$1"; then
    fail "$2 printed loader failures (above)"
  fi
}

case "$CASE" in
layout)
  install_tree
  for path in lib/reefsaver/reefsaver lib/reefsaver/reefsaver_plain lib/reefsaver/modules/reefsaver-dialogs.so lib/reefsaver/Marevo2/Directory.dat \
              lib/reefsaver/Marevo2/sound/water.wav bin/reefsaver bin/reefsaver_plain bin/reefsaver-register \
              libexec/xscreensaver/reefsaver_plain share/xscreensaver/config/reefsaver_plain.xml \
              share/applications/reefsaver.desktop share/applications/screensavers/reefsaver_plain.desktop \
              share/icons/hicolor/48x48/apps/reefsaver.png share/man/man6/reefsaver.6.gz \
              share/man/man6/reefsaver_plain.6.gz share/man/man6/reefsaver-register.6.gz \
              share/applications/reefsaver-settings.desktop share/doc/reefsaver/copyright share/doc/reefsaver/README.md; do
    [ -e "$ROOT/$path" ] || fail "$path was not installed"
  done
  for program in reefsaver reefsaver_plain; do
    [ "$(readlink "$ROOT/bin/$program")" = "../lib/reefsaver/$program" ] || fail "bin/$program is not a relative link"
  done
  grep -qx "Exec=reefsaver_plain /c" "$ROOT/share/applications/reefsaver-settings.desktop" \
    || fail "the settings menu entry does not open the configuration dialog"
  grep -qx "Exec=$PREFIX/lib/reefsaver/reefsaver_plain --root" "$ROOT/share/applications/screensavers/reefsaver_plain.desktop" \
    || fail "the screensaver entry does not name the installed program"
  xmllint --noout "$ROOT/share/xscreensaver/config/reefsaver_plain.xml" 2>&1 || fail "the settings page is not well-formed XML"
  if command -v desktop-file-validate >/dev/null; then
    for entry in reefsaver.desktop reefsaver-settings.desktop screensavers/reefsaver_plain.desktop; do
      desktop-file-validate "$ROOT/share/applications/$entry" || fail "$entry is not a valid desktop entry"
    done
  fi
  # Every option the settings page passes is one the program understands.
  grep -oE 'arg(-set|-unset)?="[^"]*"' "$ROOT/share/xscreensaver/config/reefsaver_plain.xml" | sed -E 's/^[^"]*"//; s/"$//; s/%/7/' |
    while read -r option; do
      "$ROOT/lib/reefsaver/reefsaver_plain" $option --help >/dev/null 2>"$WORK/err" || fail "the settings page passes '$option': $(cat "$WORK/err")"
    done || exit 1
  "$ROOT/bin/reefsaver" --help | grep -q -- "--fish" || fail "--help does not list the options"
  # What the page shows is what runs: XScreenSaver leaves out an option equal to
  # its default, so the one slider's default must be the program's own under XScreenSaver.
  page="$ROOT/share/xscreensaver/config/reefsaver_plain.xml"
  [ "$(grep -c '<number' "$page")" = 1 ] || fail "the settings page has a slider whose default hides a choice"
  page_rate=$(tr '\n' ' ' <"$page" | sed -nE 's/.*<number id="maxfps"[^>]*default="([0-9]+)".*/\1/p')
  [ -n "$page_rate" ] || fail "the settings page has no frame rate"
  "$ROOT/lib/reefsaver/reefsaver_plain" --help | tr -s ' \n' '  ' | grep -q "; $page_rate when run by XScreenSaver" \
    || fail "the page's frame rate $page_rate is not the program's own under XScreenSaver"
  "$ROOT/lib/reefsaver/reefsaver_plain" --fishes 3 >"$WORK/out" 2>"$WORK/err"; code=$?
  [ "$code" = 2 ] && [ "$(wc -l <"$WORK/err")" = 1 ] && [ ! -s "$WORK/out" ] || fail "an unknown option gave exit $code and: $(cat "$WORK/err")"

  # The data folder is found however the program is started: through the hack
  # link, through PATH (both programs), and by its full path.
  start_display
  export XDG_CONFIG_HOME="$WORK/config"
  for how in link path plain_path full; do
    case $how in
    link) run=("$ROOT/libexec/xscreensaver/reefsaver_plain" /s) ;;
    path) run=(env "PATH=$ROOT/bin:$PATH" reefsaver) ;;
    plain_path) run=(env "PATH=$ROOT/bin:$PATH" reefsaver_plain /s) ;;
    full) run=("$ROOT/lib/reefsaver/reefsaver_plain" /s) ;;
    esac
    # 0 is the programs' exit code after an ordinary run.
    (cd / && REEFSAVER_SCREENSHOTS="2500:$WORK/$how.png" REEFSAVER_QUIT_AFTER_MS=2600 "${run[@]}") >"$WORK/$how.out" 2>&1
    code=$?
    [ "$code" = 0 ] || { cat "$WORK/$how.out"; fail "started through the $how, the program ended with $code"; }
    check_log "$WORK/$how.out" "started through the $how, the program"
    stats=$("$IMAGE_STATS" "$WORK/$how.png") || fail "started through the $how, the program took no screenshot"
    echo "$how: $stats"
    read -r _ _ mean deviation colourful <<<"$stats"
    awk -v m="$mean" -v d="$deviation" -v c="$colourful" 'BEGIN { exit !(m > 30 && m < 230 && d > 12 && c > 0.2) }' \
      || fail "started through the $how, the reef looks empty: $stats"
  done
  ;;
no_write_access)
  # XScreenSaver's hack directory lies below a folder nobody may write to: the
  # install stops with a message before it copies anything.
  DEST="$WORK/dest"
  mkdir -p "$DEST$PREFIX/libexec"
  chmod 555 "$DEST$PREFIX/libexec"
  as=()
  if [ "$(id -u)" = 0 ]; then
    # Permissions do not hold root back; the install runs as nobody instead.
    command -v setpriv >/dev/null || skip "running as root, and setpriv is missing to drop the permissions"
    chmod 777 "$DEST" "$DEST$PREFIX"
    as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  fi
  (cd "$WORK" && DESTDIR="$DEST" "${as[@]}" cmake --install "$BUILD" --prefix "$PREFIX") >"$WORK/install.log" 2>&1
  code=$?
  cat "$WORK/install.log"
  [ "$code" != 0 ] || fail "the install succeeded without write access"
  message=$(tr -s ' \n' '  ' <"$WORK/install.log")  # CMake wraps its messages
  [[ "$message" == *"no write access to $DEST$PREFIX/libexec "* ]] || fail "the message does not name the folder"
  [[ "$message" == *"Nothing was installed"* ]] || fail "the message does not say what happened"
  leftovers=$(find "$DEST$PREFIX" -mindepth 1 -not -path "$DEST$PREFIX/libexec")
  [ -z "$leftovers" ] || fail "a half-installed tree was left: $leftovers"
  ;;
register)
  install_tree
  REGISTER="$ROOT/bin/reefsaver-register"
  export HOME="$WORK/home"
  mkdir -p "$HOME"
  entries() { grep -c 'reefsaver_plain --root' "$1"; }
  # Missing, then empty: a file with just the list; a second run adds nothing.
  for start in missing empty; do
    rm -f "$HOME/.xscreensaver"
    [ $start = empty ] && : >"$HOME/.xscreensaver"
    "$REGISTER" >"$WORK/out" 2>&1 || fail "$start file: $(cat "$WORK/out")"
    "$REGISTER" >"$WORK/out" 2>&1 || fail "$start file, second run: $(cat "$WORK/out")"
    grep -q "already" "$WORK/out" || fail "the second run did not say the hack was already listed"
    [ "$(entries "$HOME/.xscreensaver")" = 1 ] || fail "$start file: not exactly one entry"
    grep -q "^[[:space:]]*\"Reef\"[[:space:]]*$ROOT/lib/reefsaver/reefsaver_plain --root" "$HOME/.xscreensaver" \
      || fail "$start file: the entry does not name the installed program"
  done
  # A file XScreenSaver wrote: every other line stays, in its place, and the
  # file keeps its mode; a link to it stays a link.
  printf '# my own notes\ntimeout:\t0:05:00\nprograms:\t\t\\\n\t\t\t\tmaze --root\t\t\t\t    \\n\\\n-\t\t\t\tpyro --root\t\t\t\t    \\n\n\nmode:\t\trandom\n' >"$WORK/original"
  cp "$WORK/original" "$WORK/settings"
  chmod 600 "$WORK/settings"
  rm -f "$HOME/.xscreensaver"
  ln -s "$WORK/settings" "$HOME/.xscreensaver"
  "$REGISTER" >"$WORK/out" 2>&1 || fail "xscreensaver file: $(cat "$WORK/out")"
  "$REGISTER" >/dev/null 2>&1
  [ -L "$HOME/.xscreensaver" ] || fail "the link was replaced by a file"
  [ "$(entries "$WORK/settings")" = 1 ] || fail "xscreensaver file: not exactly one entry"
  grep -v 'reefsaver_plain --root' "$WORK/settings" | cmp -s - "$WORK/original" || fail "other lines changed: $(diff "$WORK/original" "$WORK/settings")"
  [ "$(stat -c %a "$WORK/settings")" = 600 ] || fail "the file lost its mode"
  [ -z "$(find "$WORK" -maxdepth 1 -name '.settings.*')" ] || fail "a temporary file was left behind"
  # Saved back by XScreenSaver's settings program with options: still listed.
  printf 'programs:\t\\\n\t\t\t"Reef" \treefsaver_plain --root --fps\t\t    \\n\\\n\t\t\tmaze --root \\n\n' >"$HOME/saved"
  cp "$HOME/saved" "$WORK/before"
  "$REGISTER" --file "$HOME/saved" --command reefsaver_plain >"$WORK/out" 2>&1 || fail "a saved file was refused"
  grep -q already "$WORK/out" && cmp -s "$HOME/saved" "$WORK/before" || fail "a saved file was changed: $(cat "$HOME/saved")"
  # A one-line list gains the entry in front of its program.
  printf 'programs: maze --root\nmode: one\n' >"$HOME/one-line"
  "$REGISTER" --file "$HOME/one-line" >/dev/null 2>&1 || fail "a one-line list was refused"
  [ "$(sed -n 3p "$HOME/one-line" | tr -d '\t')" = "maze --root" ] && [ "$(tail -n 1 "$HOME/one-line")" = "mode: one" ] \
    || fail "a one-line list came out wrong: $(cat "$HOME/one-line")"
  # Read-only, binary and garbled files: one clear message, the file untouched.
  printf 'programs:\t\\\n\t\tmaze --root \\n\n' >"$HOME/read-only"
  chmod 444 "$HOME/read-only"
  printf 'programs:\t\\\n\t\tmaze \000\001\002 --root\n' >"$HOME/binary"
  printf 'programs:\t\\\n\t\tmaze --root \\n\\\n' >"$HOME/cut-off"
  printf 'this is not\nan xscreensaver file at all\n' >"$HOME/prose"
  for file in read-only binary cut-off prose; do
    cp -p "$HOME/$file" "$WORK/before"
    "$REGISTER" --file "$HOME/$file" >"$WORK/out" 2>"$WORK/err"; code=$?
    [ "$code" = 1 ] || fail "$file file: exit $code"
    cmp -s "$HOME/$file" "$WORK/before" || fail "$file file was changed"
    grep -q "left unchanged" "$WORK/err" || fail "$file file: no clear message: $(cat "$WORK/err")"
    echo "$file: $(head -n 1 "$WORK/err")"
  done
  [ "$(stat -c %a "$HOME/read-only")" = 444 ] || fail "the read-only file changed its mode"
  "$REGISTER" --bogus >/dev/null 2>&1; [ $? = 2 ] || fail "an unknown option was not refused"
  ;;
daemon)
  rm -f "$LOGS/daemon.stderr"
  command -v xscreensaver >/dev/null && command -v xscreensaver-command >/dev/null \
    || skip "xscreensaver is not installed (scripts/install-deps.sh installs it)"
  as=()
  if [ "$(id -u)" = 0 ]; then
    # XScreenSaver refuses to launch hacks as root; the daemon runs as nobody.
    command -v setpriv >/dev/null || skip "running as root (XScreenSaver launches no hacks then), and setpriv is missing"
    as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  fi
  install_tree
  PLAIN="$ROOT/lib/reefsaver/reefsaver_plain"
  export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config"
  mkdir -p "$HOME"
  [ ${#as[@]} = 0 ] || chown 65534:65534 "$HOME"
  "${as[@]}" "$ROOT/bin/reefsaver-register" || fail "the registration failed"
  # Run the first (our) hack at once, without the splash screen or fading.
  printf 'mode:\t\tone\nselected:\t0\nsplash:\t\tFalse\nfade:\t\tFalse\nunfade:\t\tFalse\nlock:\t\tFalse\n' >>"$HOME/.xscreensaver"
  start_display
  # Something on the desktop, which the saver must cover.
  xlogo -geometry 600x400+100+100 >/dev/null 2>&1 &
  PIDS+=($!)
  sleep 1
  if (check_screen desktop) >/dev/null; then fail "the desktop alone already passes for the reef"; fi

  "${as[@]}" xscreensaver -no-splash -verbose >"$WORK/daemon.out" 2>"$LOGS/daemon.stderr" &
  PIDS+=($!)
  for _ in $(seq 1 50); do "${as[@]}" xscreensaver-command -time >/dev/null 2>&1 && break; sleep 0.2; done
  "${as[@]}" xscreensaver-command -activate >/dev/null 2>&1 || fail "xscreensaver-command -activate failed"
  started=""
  for _ in $(seq 1 100); do pgrep -f -- "$PLAIN --root" >/dev/null && { started=1; break; }; sleep 0.1; done
  [ -n "$started" ] || { tail -n 20 "$LOGS/daemon.stderr"; fail "XScreenSaver did not start the hack"; }
  # Software GL under the sanitizers takes a few seconds to the first frames.
  for _ in $(seq 1 30); do
    sleep 1
    (check_screen daemon-active) >/dev/null && break
  done
  check_screen daemon-active
  # Cycling makes the daemon end the hack and wait for it, which it logs with the
  # hack's exit status. (XScreenSaver 6 words the end of a hack it has already
  # let go of "exited abnormally" whatever the status; the status tells.)
  first=$(pgrep -f -- "$PLAIN --root")
  "${as[@]}" xscreensaver-command -cycle >/dev/null 2>&1 || fail "xscreensaver-command -cycle failed"
  for _ in $(seq 1 100); do grep -q "child pid $first " "$LOGS/daemon.stderr" && break; sleep 0.1; done
  grep "child pid $first " "$LOGS/daemon.stderr" || fail "the daemon did not log the end of the hack"
  if grep -E "child pid $first .*(status [1-9]|terminated)" "$LOGS/daemon.stderr" >/dev/null; then
    fail "XScreenSaver saw the hack fail (above)"
  fi
  # The next hack draws before the daemon is told to stop (a hack still building
  # its scene is not what the deactivation below times).
  for _ in $(seq 1 30); do
    sleep 1
    (check_screen daemon-cycled) >/dev/null && break
  done
  check_screen daemon-cycled
  "${as[@]}" xscreensaver-command -deactivate >/dev/null 2>&1 || fail "xscreensaver-command -deactivate failed"
  tenths=$(wait_gone "$PLAIN --root" 10) || fail "the hack was still running a second after deactivation"
  echo "the hack ended ${tenths}00 ms after deactivation"
  check_log "$WORK/daemon.out" "the hack"
  "${as[@]}" xscreensaver-command -exit >/dev/null 2>&1
  ;;
preview)
  # The settings program's preview: a window of another program, handed over with --window-id.
  rm -f "$LOGS/preview.stderr"
  install_tree
  PLAIN="$ROOT/libexec/xscreensaver/reefsaver_plain"
  export XDG_CONFIG_HOME="$WORK/config"
  start_display
  xlogo -geometry 480x360+20+20 >/dev/null 2>&1 &
  host_pid=$!
  PIDS+=($host_pid)
  host=$(xdotool search --sync --onlyvisible --class xlogo 2>/dev/null | head -n 1)
  [ -n "$host" ] || fail "no host window"
  # As the settings program runs it: the settings page's command, then the window.
  "$PLAIN" --root --fps --window-id "$(printf '0x%x' "$host")" >"$WORK/preview.out" 2>"$LOGS/preview.stderr" &
  pid=$!
  PIDS+=($pid)
  for _ in $(seq 1 30); do
    sleep 1
    (check_screen preview "$host") >/dev/null && break
  done
  check_screen preview "$host"
  kill -0 "$pid" 2>/dev/null || fail "the preview ended on its own"
  kill "$host_pid"
  wait_exit "$pid" 20 || fail "the preview was still running 2 s after its window was destroyed"
  echo "the preview ended ${ELAPSED}00 ms after its window was destroyed, exit code $EXIT_CODE"
  [ "$EXIT_CODE" = 0 ] || fail "the preview ended with $EXIT_CODE when its window went away"
  check_log "$WORK/preview.out" "the preview"
  if grep -B1 -A4 "X Error" "$LOGS/preview.stderr"; then fail "the preview printed an X error (above)"; fi
  ;;
package)
  command -v dpkg-deb >/dev/null && command -v dpkg-shlibdeps >/dev/null \
    || skip "dpkg-deb or dpkg-shlibdeps (dpkg-dev) is missing"
  cpack -G DEB -B "$WORK/package" --config "$BUILD/CPackConfig.cmake" >"$WORK/cpack.log" 2>&1 \
    || { cat "$WORK/cpack.log"; fail "cpack failed"; }
  deb=$(ls "$WORK"/package/reefsaver_*.deb 2>/dev/null | head -n 1)
  [ -n "$deb" ] || fail "cpack made no reefsaver_*.deb"
  dpkg-deb -c "$deb" >"$WORK/contents"
  for path in ./usr/lib/reefsaver/reefsaver ./usr/lib/reefsaver/reefsaver_plain ./usr/lib/reefsaver/Marevo2/Language.dat \
              "./usr/bin/reefsaver -> ../lib/reefsaver/reefsaver" ./usr/bin/reefsaver-register \
              "./usr/bin/reefsaver_plain -> ../lib/reefsaver/reefsaver_plain" ./usr/share/applications/reefsaver-settings.desktop \
              "./usr/libexec/xscreensaver/reefsaver_plain -> ../../lib/reefsaver/reefsaver_plain" \
              ./usr/share/xscreensaver/config/reefsaver_plain.xml ./usr/share/applications/reefsaver.desktop \
              ./usr/share/applications/screensavers/reefsaver_plain.desktop \
              ./usr/share/icons/hicolor/128x128/apps/reefsaver.png ./usr/share/man/man6/reefsaver_plain.6.gz \
              ./usr/share/doc/reefsaver/copyright ./usr/share/doc/reefsaver/changelog.gz; do
    grep -qF -- " $path" "$WORK/contents" || fail "the package lacks $path"
  done
  # The licence the package states is the one at the root of the source tree.
  dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/reefsaver/copyright >"$WORK/copyright"
  grep -qx "License: Expat" "$WORK/copyright" || fail "the copyright file names no Expat licence for the programs"
  grep -q "Permission is hereby granted, free of charge" "$WORK/copyright" || fail "the copyright file lacks the licence text"
  if grep -q unresolved "$WORK/copyright"; then fail "the copyright file still says the licence is unresolved"; fi
  if grep -vE '^[-dlrwx]+ root/root ' "$WORK/contents"; then fail "files above are not owned by root"; fi
  # Depends comes from dpkg-shlibdeps (every library the programs link, with versions)
  # and names GTK, which the programs open at run time for a dialog.
  depends=$(dpkg-deb -f "$deb" Depends)
  echo "Depends: $depends"
  for library in libc6 libsdl1.2debian libsdl-mixer1.2 libgtk-3-0 libx11-6 libxrandr2 libglu1-mesa; do
    [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library"
  done
  # No maintainer scripts: removing the package never touches the users' settings.
  dpkg-deb -e "$deb" "$WORK/control"
  for script in preinst postinst prerm postrm; do
    [ ! -e "$WORK/control/$script" ] || fail "the package has a $script script"
  done
  if command -v lintian >/dev/null; then
    lintian --tag-display-limit 0 "$deb" >"$WORK/lintian" 2>&1
    cat "$WORK/lintian"
    if grep -E '^E: ' "$WORK/lintian"; then fail "lintian reports errors (above)"; fi
  else
    echo "lintian is not installed; the package was not checked with it"
  fi
  ;;
dpkg_lock)
  # install-deb.sh waits for a package manager that holds dpkg's lock: a
  # stand-in holds an fcntl lock, as dpkg does, on a stand-in lock file.
  command -v python3 >/dev/null || skip "python3 is missing to hold a lock"
  export DPKG_LOCK_FILES="$WORK/missing $WORK/lock-frontend"
  : >"$WORK/lock-frontend"
  hold() {
    python3 -c 'import fcntl, sys, time
f = open(sys.argv[1], "w"); fcntl.lockf(f, fcntl.LOCK_EX); open(sys.argv[1] + ".held", "w").close(); time.sleep(float(sys.argv[2]))' \
      "$WORK/lock-frontend" "$1" &
    PIDS+=($!)
    for _ in $(seq 1 50); do [ -e "$WORK/lock-frontend.held" ] && break; sleep 0.1; done
    rm -f "$WORK/lock-frontend.held"
  }
  . "$(dirname "${BASH_SOURCE[0]}")/../../scripts/dpkg-lock.sh"
  [ -z "$(dpkg_lock_holder)" ] || fail "a free lock was taken for a held one"
  DPKG_LOCK_TIMEOUT=0 wait_for_dpkg_lock >/dev/null || fail "a free lock was waited for"
  hold 2
  [[ "$(dpkg_lock_holder)" == *python3* ]] || fail "the lock's holder was not found"
  start=$SECONDS
  DPKG_LOCK_TIMEOUT=20 wait_for_dpkg_lock >"$WORK/out" 2>&1 || fail "gave up while the holder was finishing: $(cat "$WORK/out")"
  [ $((SECONDS - start)) -ge 1 ] || fail "did not wait for the holder"
  grep -q "waiting up to 20 s" "$WORK/out" || fail "no message while waiting: $(cat "$WORK/out")"
  hold 10
  DPKG_LOCK_TIMEOUT=1 wait_for_dpkg_lock >/dev/null 2>"$WORK/err" && fail "did not give up after the timeout"
  grep -q "still busy after 1 s" "$WORK/err" || fail "no clear message on giving up: $(cat "$WORK/err")"
  ;;
x_errors)
  # The daemon's standard error (its own lines and the hack's) from the daemon case.
  [ -e "$LOGS/daemon.stderr" ] || skip "the daemon case did not run"
  if grep -B1 -A4 "X Error" "$LOGS/daemon.stderr"; then fail "an X error at deactivation (above)"; fi
  ;;
*)
  fail "unknown case $CASE"
  ;;
esac
echo "PASS: $CASE"
