#!/usr/bin/env bash
# Source checks of the test command: every C++ file is formatted as .clang-format says, and
# every include runs downwards through the folders (scripts/layers.py).
set -uo pipefail
cd "$(dirname "$0")/.."
status=0
mapfile -t sources < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -name '*.cpp' -o -name '*.h')
if ! clang-format --dry-run -Werror "${sources[@]}" 2>/tmp/q7-format.$$; then
  head -40 /tmp/q7-format.$$
  echo "format: run clang-format -i on the files above"
  status=1
fi
rm -f /tmp/q7-format.$$
python3 scripts/layers.py "${sources[@]}" || status=1
[ $status -eq 0 ] && echo "checks: format and include layering clean"
exit $status
