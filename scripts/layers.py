"""Fails when an include runs against the folders' layering.

Each folder may include its own headers and those of the folders listed for it; a folder that is
not listed (tests, benchmarks, fuzzers, tools) may include anything. Unit tests beside the code
may also include the test fakes.

The stored format, the key tables and the monitor's side keep clear of the windows: the files
named in NO_UI may not reach ui/ through any chain of includes.
"""
import os
import re
import sys

ALLOWED = {
    "platform": {"platform"},  # includes platform/rect.h, the rectangle every layer uses
    "text": {"platform"},
    "ui": {"platform", "text"},
    "keys": {"platform", "text", "ui"},
    "monitor": {"platform", "keys", "settings"},
    "settings": {"platform", "keys"},
    "macro": {"platform", "text", "ui", "keys", "settings", "monitor"},
    "lighting": {"platform", "text", "ui", "keys", "settings", "monitor"},
    "app": {"platform", "text", "ui", "keys", "settings", "monitor", "macro", "lighting"},
    "companions": {"platform", "text", "keys", "settings", "monitor", "macro", "lighting"},
}
# Folders and files (prefixes of paths) that may not reach ui/, even through keys/.
NO_UI = (
    "settings/",
    "monitor/",
    "companions/",
    "keys/key_",
    "keys/macro_event",
)
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')

bad = []
for path in sys.argv[1:]:
    folder = path.lstrip("./").split("/")[0]
    if folder not in ALLOWED:
        continue
    is_test = path.endswith("_test.cpp")
    with open(path, encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            m = INCLUDE.match(line)
            if not m or "/" not in m.group(1):
                continue
            target = m.group(1).split("/")[0]
            if target == folder or target in ALLOWED[folder]:
                continue
            if is_test and target in ("fakes", "tests", "text"):
                continue
            bad.append(f"{path}:{number}: {folder}/ may not include {m.group(1)}")


def includes_of(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            return [m.group(1) for m in map(INCLUDE.match, f) if m and "/" in m.group(1)]
    except OSError:
        return []


def reaches_ui(path, seen):
    """The chain of includes from path to a ui/ header, or None."""
    for target in includes_of(path):
        if target.startswith("ui/"):
            return [target]
        if target in seen or not os.path.exists(target):
            continue
        seen.add(target)
        chain = reaches_ui(target, seen)
        if chain:
            return [target] + chain
    return None


for path in sys.argv[1:]:
    clean = path.lstrip("./")
    if not clean.startswith(NO_UI) or clean.endswith("_test.cpp"):
        continue
    chain = reaches_ui(clean, set())
    if chain:
        bad.append(f"{clean}: reaches ui/ through " + " -> ".join(chain))
if bad:
    print("\n".join(bad))
    print("layering: each folder includes only the folders below it (scripts/layers.py)")
    sys.exit(1)
