#!/bin/sh
# Checks that the shipped executables and library import only libraries that every Windows has:
# no C++ runtime, no pthread library, no Wine library. Usage: check_imports.sh OBJDUMP FILE...
objdump="$1"
shift
[ $# -gt 0 ] || { echo "usage: check_imports.sh OBJDUMP FILE..." >&2; exit 2; }
allowed=" advapi32.dll comctl32.dll comdlg32.dll gdi32.dll gdiplus.dll imm32.dll kernel32.dll msvcrt.dll ole32.dll "
allowed="$allowed oleaut32.dll shell32.dll shlwapi.dll user32.dll uxtheme.dll version.dll winmm.dll wtsapi32.dll "
status=0
for f in "$@"; do
  imports=$("$objdump" -p "$f" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
  if [ -z "$imports" ]; then
    echo "$f: no import table found" >&2
    status=1
    continue
  fi
  for dll in $imports; do
    case "$allowed" in
      *" $dll "*) ;;
      *) echo "$f imports $dll, which is not a system library" >&2; status=1 ;;
    esac
  done
  echo "$f: $(echo $imports)"
done
exit $status
