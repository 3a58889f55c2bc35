"""Fails when an include runs against the folders' layering.

Each folder may include its own headers and those of the folders listed for it; a folder that is
not listed (tests, benchmarks, fuzzers, tools) may include anything. Unit tests beside the code
may also include the test fakes.
"""
import re
import sys

ALLOWED = {
    "platform": {"platform"},
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
if bad:
    print("\n".join(bad))
    print("layering: each folder includes only the folders below it (scripts/layers.py)")
    sys.exit(1)
