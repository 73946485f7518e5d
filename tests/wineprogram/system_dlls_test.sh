#!/usr/bin/env bash
# The Windows programs are linked statically: they may import only DLLs that
# every Windows has, never a compiler runtime (libstdc++, libgcc, winpthread)
# or SDL beside them.
#
#   system_dlls_test.sh <objdump> <program>...
set -u
OBJDUMP="$1"
shift
. "$(dirname "${BASH_SOURCE[0]}")/../../testsupport/test_script.sh"
# Upper case: Windows compares DLL names without regard to case.
SYSTEM_DLLS=" ADVAPI32.DLL COMCTL32.DLL GDI32.DLL GLU32.DLL KERNEL32.DLL MSVCRT.DLL OLE32.DLL OLEACC.DLL OPENGL32.DLL SHELL32.DLL USER32.DLL WINMM.DLL "
for program in "$@"; do
  [ -f "$program" ] || { note_failure "no $program"; continue; }
  imports=$("$OBJDUMP" -p "$program" | sed -n 's/^\s*DLL Name: //p')
  [ -n "$imports" ] || { note_failure "$program: no imports listed"; continue; }
  for dll in $imports; do
    case "$SYSTEM_DLLS" in
      *" ${dll^^} "*) ;;
      *) note_failure "$(basename "$program") imports $dll, which is not one of the system DLLs every Windows has" ;;
    esac
  done
  echo "$(basename "$program"): $(echo $imports)"
done
end_with_failures
