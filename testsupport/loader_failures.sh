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
