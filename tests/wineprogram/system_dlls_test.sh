#!/usr/bin/env bash
# The Windows programs are linked statically: they may import only DLLs that
# every Windows has, never a compiler runtime (libstdc++, libgcc, winpthread)
# or SDL beside them.
#
#   system_dlls_test.sh <objdump> <program>...
set -u
OBJDUMP="$1"
shift
# Upper case: Windows compares DLL names without regard to case.
SYSTEM_DLLS=" ADVAPI32.DLL COMCTL32.DLL GDI32.DLL GLU32.DLL KERNEL32.DLL MSVCRT.DLL OLE32.DLL OLEACC.DLL OPENGL32.DLL SHELL32.DLL USER32.DLL WINMM.DLL "
status=0
for program in "$@"; do
  [ -f "$program" ] || { echo "FAIL: no $program"; status=1; continue; }
  imports=$("$OBJDUMP" -p "$program" | sed -n 's/^\s*DLL Name: //p')
  [ -n "$imports" ] || { echo "FAIL: $program: no imports listed"; status=1; continue; }
  for dll in $imports; do
    case "$SYSTEM_DLLS" in
      *" ${dll^^} "*) ;;
      *) echo "FAIL: $(basename "$program") imports $dll, which is not one of the system DLLs every Windows has"; status=1 ;;
    esac
  done
  echo "$(basename "$program"): $(echo $imports)"
done
exit $status
