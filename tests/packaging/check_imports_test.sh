#!/bin/sh
# The import check refuses every library that is not part of Windows: fed by a stand-in objdump
# that lists the imports a case names, it must pass exactly the cases of system libraries.
checker="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/objdump" <<'FAKE'
#!/bin/sh
# objdump -p FILE: the imports are the file's lines.
while read -r dll; do printf '\tDLL Name: %s\n' "$dll"; done <"$2"
FAKE
chmod +x "$work/objdump"
status=0
check() { # expected-status imports...
  want=$1
  shift
  printf '%s\n' "$@" >"$work/file.exe"
  [ $# -gt 0 ] || : >"$work/file.exe"
  sh "$checker" "$work/objdump" "$work/file.exe" >/dev/null 2>&1
  got=$?
  [ "$got" -eq 0 ] && got=pass || got=fail
  if [ "$got" != "$want" ]; then
    echo "imports [$*]: expected $want, got $got"
    status=1
  fi
}
check pass KERNEL32.dll USER32.dll msvcrt.dll gdiplus.dll comdlg32.dll
check fail KERNEL32.dll libstdc++-6.dll
check fail libwinpthread-1.dll
check fail USER32.dll libgcc_s_seh-1.dll
check fail ntdll.so
check fail # no import table at all
[ $status -eq 0 ] && echo "import check: every case as expected"
exit $status
