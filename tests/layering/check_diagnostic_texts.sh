#!/usr/bin/env bash
# The fixed diagnostic texts are written once, in core/DiagnosticTexts.h: no
# other source spells one out, and the scripts' loader-failure pattern (made
# from that header) matches a line made from each loader-failure text.
# Usage: check_diagnostic_texts.sh <source root>
set -u
ROOT="${1:-.}"
HEADER="$ROOT/core/DiagnosticTexts.h"
. "$ROOT/testsupport/loader_failures.sh"
. "$ROOT/testsupport/test_script.sh"
PATTERN="$(loader_failure_pattern)" || exit 1
while IFS= read -r line; do
  text="$(sed -nE 's/^inline constexpr char (k[A-Za-z]+)\[\] = "(.*)";.*/\2/p' <<<"$line")"
  name="$(sed -nE 's/^inline constexpr char (k[A-Za-z]+)\[\].*/\1/p' <<<"$line")"
  [ -n "$text" ] || continue
  if [[ "$line" == *"// loader failure" ]]; then
    sample="$(sed 's/%s/some\/file/g; s/%d/7/g' <<<"$text")"
    grep -qxE "$PATTERN" <<<"$sample" || note_failure "the scripts' pattern misses $name: $sample"
  fi
  # The text up to its first argument, as a string literal anywhere else in the product.
  prefix="${text%%%*}"
  [ ${#prefix} -ge 8 ] || continue
  hits="$(grep -rnF --include='*.cpp' --include='*.h' "\"$prefix" "$ROOT"/{app,core,engine,scene,shell,ui,world,platform,programs} |
          grep -v '^[^:]*core/DiagnosticTexts.h:')"
  if [ -n "$hits" ]; then
    note_failure "$name is spelled out again:"
    echo "$hits"
  fi
done <"$HEADER"
[ "$FAILURES" = 0 ] && echo "every fixed text is written once, and the scripts' pattern matches each loader failure"
end_with_failures
