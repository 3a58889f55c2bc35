#!/usr/bin/env bash
# Builds everything and runs every test: the portable core natively (also with AddressSanitizer and
# UndefinedBehaviorSanitizer), the fuzzers for a bounded number of runs, and the Windows build
# under Wine on a virtual display. Installs missing packages first.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh || exit 1
jobs=$(nproc)
failed=()

step() { echo; echo "=== $*"; }

step "source checks"
bash scripts/check.sh || failed+=("source checks")

for preset in native native-asan; do
  step "$preset: build and test"
  if cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j "$jobs"; then
    ctest --preset "$preset" -j "$jobs" || failed+=("$preset tests")
  else
    failed+=("$preset build")
  fi
done

if [ -f scripts/fuzz.sh ]; then
  step "fuzzing"
  bash scripts/fuzz.sh || failed+=("fuzzing")
fi

step "windows: build and test under Wine"
if cmake --preset windows >/dev/null && cmake --build --preset windows -j "$jobs"; then
  source scripts/xvfb.sh
  if start_xvfb; then
    if build/windows/wine-run.sh --prepare; then
      ctest --preset windows -j "$jobs" || failed+=("windows tests")
    else
      failed+=("wine prefix")
    fi
    stop_xvfb
  else
    failed+=("virtual display")
  fi
else
  failed+=("windows build")
fi

echo
if [ ${#failed[@]} -ne 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "All builds and tests passed."
