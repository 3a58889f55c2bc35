#!/bin/bash
# Builds the XML reader's libFuzzer target with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) in build/fuzz and runs it for a bounded number of inputs.
# Exits non-zero when an input crashes the reader or breaks an invariant; the input is left
# in build/fuzz as crash-* (or leak-*, timeout-*).
#   FUZZ_RUNS   number of inputs (default 200000)
#   FUZZ_JOBS   parallel fuzzing processes (default 1)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build/fuzz"
runs=${FUZZ_RUNS:-200000}
mkdir -p "$out/corpus"

sources=("$root/fuzz/xml_fuzz.cpp" "$root"/platform/posix/*.cpp)
for f in "$root"/text/*.cpp; do
  case "$f" in *_test.cpp) ;; *) sources+=("$f") ;; esac
done

# Rebuild only when a source or header changed.
binary="$out/xml_fuzz"
if [ ! -x "$binary" ] || [ -n "$(find "$root/text" "$root/platform" "$root/fuzz" -newer "$binary" \
      \( -name '*.cpp' -o -name '*.h' \) -print -quit)" ]; then
  echo "fuzz: building $binary"
  clang++ -std=c++20 -O1 -g -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined \
    -fno-sanitize-recover=all -I"$root" "${sources[@]}" -o "$binary"
fi

echo "fuzz: $runs runs"
cd "$out"
"$binary" -runs="$runs" -max_len=8192 -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
  -dict="$root/fuzz/xml.dict" -artifact_prefix="$out/" ${FUZZ_JOBS:+-jobs="$FUZZ_JOBS" -workers="$FUZZ_JOBS"} \
  "$out/corpus" "$root/fuzz/corpus"

# The main window's decisions: a crafted profile file, then any messages and commands.
cbinary="$out/main_controller_fuzz"
csources=("$root/fuzz/main_controller_fuzz.cpp" "$root"/settings/*.cpp
          "$root/monitor/monitor_link.cpp" "$root/app/main_controller.cpp" "$root/app/key_labels.cpp"
          "$root/app/keyboard_layout_tables.cpp" "$root/app/us_keyboard_text.cpp" "$root"/macro/*.cpp
          "$root/platform/posix/posix_codepage.cpp")
csources=($(printf '%s\n' "${csources[@]}" | grep -v '_test\.cpp$'))
if [ ! -x "$cbinary" ] || [ -n "$(find "$root/settings" "$root/keys" "$root/monitor" "$root/app" "$root/macro" "$root/fuzz" \
      "$root/tests/fakes" -newer "$cbinary" \( -name '*.cpp' -o -name '*.h' \) -print -quit)" ]; then
  echo "fuzz: building $cbinary"
  clang++ -std=c++20 -O1 -g -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined \
    -fno-sanitize-recover=all -I"$root" -I"$root/tests" "${csources[@]}" -o "$cbinary"
fi
cruns=${FUZZ_CONTROLLER_RUNS:-6000}
echo "fuzz: main controller, $cruns runs"
mkdir -p "$out/controller-corpus"
"$cbinary" -runs="$cruns" -max_len=65536 -timeout=30 -rss_limit_mb=4096 -print_final_stats=1 \
  -artifact_prefix="$out/controller-" "$out/controller-corpus"

