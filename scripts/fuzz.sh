#!/bin/bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) in build/fuzz and runs it for a bounded number of inputs.
# Exits non-zero when an input crashes the reader or breaks an invariant; the input is left
# in build/fuzz as crash-* (or leak-*, timeout-*).
#   FUZZ_RUNS             number of inputs of the XML reader (default 200000)
#   FUZZ_CONTROLLER_RUNS  number of inputs of the main controller (default 120000)
#   FUZZ_MACRO_TEXT_RUNS  number of inputs of the macro text reader (default 100000)
#   FUZZ_JOBS             parallel fuzzing processes (default 1)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build/fuzz"
runs=${FUZZ_RUNS:-200000}
mkdir -p "$out/corpus"

# Both targets are built by the fuzz preset (clang, every library instrumented); ninja rebuilds
# only what changed.
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"
binary="$out/fuzz/xml_fuzz"

echo "fuzz: $runs runs"
cd "$out"
"$binary" -runs="$runs" -max_len=8192 -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
  -dict="$root/fuzz/xml.dict" -artifact_prefix="$out/" ${FUZZ_JOBS:+-jobs="$FUZZ_JOBS" -workers="$FUZZ_JOBS"} \
  "$out/corpus" "$root/fuzz/corpus"

# The main window's decisions: a crafted profile file, then any messages and commands.
cbinary="$out/fuzz/main_controller_fuzz"
cruns=${FUZZ_CONTROLLER_RUNS:-120000}
echo "fuzz: main controller, $cruns runs"
mkdir -p "$out/controller-corpus"
"$cbinary" -runs="$cruns" -max_len=65536 -timeout=30 -rss_limit_mb=4096 -print_final_stats=1 \
  -artifact_prefix="$out/controller-" "$out/controller-corpus"

# A macro as text, as pasted from the clipboard.
mbinary="$out/fuzz/macro_text_fuzz"
mruns=${FUZZ_MACRO_TEXT_RUNS:-100000}
echo "fuzz: macro text, $mruns runs"
mkdir -p "$out/macro-text-corpus"
"$mbinary" -runs="$mruns" -max_len=4096 -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 -dict="$root/fuzz/macro_text.dict" \
  -artifact_prefix="$out/macro-text-" "$out/macro-text-corpus"
