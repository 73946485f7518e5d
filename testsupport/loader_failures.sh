# The extended regular expression that matches every loader failure line, made
# from the texts the program itself prints (core/DiagnosticTexts.h), so the
# scripts' list cannot drift from the code. Source this file, then:
#   grep -E "$(loader_failure_pattern)" log
loader_failure_pattern() {
  local header
  header="$(dirname "${BASH_SOURCE[0]}")/../core/DiagnosticTexts.h"
  [ -f "$header" ] || { echo "loader_failure_pattern: no $header" >&2; return 1; }
  sed -nE 's/^inline constexpr char k[A-Za-z]+\[\] = "(.*)";  \/\/ loader failure$/\1/p' "$header" |
    sed -E 's/[][\\.^$*+?(){}|]/\\&/g; s/%s/.*/g; s/%d/-?[0-9]+/g' | paste -sd'|'
}

# One fixed text by its constant's name, as the program prints it when it takes
# no arguments:
#   grep -qxF "$(diagnostic_text kXServerLost)" log
diagnostic_text() {
  local header text
  header="$(dirname "${BASH_SOURCE[0]}")/../core/DiagnosticTexts.h"
  text="$(sed -nE "s/^inline constexpr char $1\[\] = \"(.*)\";.*/\1/p" "$header")"
  [ -n "$text" ] || { echo "diagnostic_text: no $1 in $header" >&2; return 1; }
  printf '%s\n' "$text"
}
