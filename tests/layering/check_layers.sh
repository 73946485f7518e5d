#!/usr/bin/env bash
# Keeps the dependencies pointing one way: the lower layers never include the
# shell, the platform or the application, and only the platform layer includes
# window-system, SDL or GTK headers (world/ not even OpenGL).
set -u
ROOT="$1"
cd "$ROOT" || exit 2
status=0

forbid() {
  local folders="$1" pattern="$2" why="$3" hits
  hits=$(grep -rnE "^\s*#\s*include\s*[<\"]($pattern)" $folders --include='*.h' --include='*.cpp' 2>/dev/null)
  if [ -n "$hits" ]; then
    echo "$why:"
    echo "$hits"
    status=1
  fi
}

forbid "engine world ui scene" 'shell/|platform/|app/' "lower layers include the shell, platform or application"
forbid "shell" 'app/|programs/' "shell/ never includes the application or the program entry"
forbid "engine world ui scene shell app" 'programs/' "only the programs include the program entry"
forbid "engine world ui scene shell app" 'X11/|SDL/|SDL\.h|gtk/|gdk/|GL/glx' "only platform/ may include X11, SDL or GTK headers"
forbid "world" 'GL/|ui/|scene/' "world/ stays free of OpenGL and of the layers above it"
forbid "engine" 'ui/|scene/' "engine/ never includes the layers above it"
forbid "ui" 'scene/' "ui/ never includes scene/"
forbid "bench testsupport" 'tests/' "bench/ and testsupport/ take nothing from the test suites"
[ $status = 0 ] && echo "layers are clean"
exit $status
