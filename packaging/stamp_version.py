#!/usr/bin/env python3
"""Gives copies of the program's files another version, for testing an upgrade from an older one.

stamp_version.py FROM TO FILE...: rewrites the version resource of each file in place: the fixed
numbers and the version texts. FROM and TO are "major.minor.patch" texts of the same length, so
the resource keeps its layout."""
import struct
import sys

SIGNATURE = struct.pack("<I", 0xFEEF04BD)


def numbers(text):
    major, minor, patch = (int(x) for x in text.split("."))
    return (major << 16) | minor, patch << 16


def resource_section(data):
    """The file range of the PE file's .rsrc section."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
    table = pe + 24 + optional_size
    for i in range(sections):
        entry = table + 40 * i
        if data[entry:entry + 8].rstrip(b"\0") == b".rsrc":
            size, offset = struct.unpack_from("<II", data, entry + 16)
            return offset, offset + size
    return 0, 0


def stamp(path, old, new):
    data = bytearray(open(path, "rb").read())
    start, end = resource_section(data)
    at = data.find(SIGNATURE, start, end)
    if at < 0 or data.find(SIGNATURE, at + 1, end) >= 0:
        sys.exit(f"{path}: expected exactly one version resource")
    ms, ls = numbers(new)
    # dwSignature, dwStrucVersion, then file and product versions (MS, LS each).
    if struct.unpack_from("<II", data, at + 8) != numbers(old):
        sys.exit(f"{path}: its version is not {old}")
    struct.pack_into("<IIII", data, at + 8, ms, ls, ms, ls)
    old_text, new_text = (t.encode("utf-16-le") + b"\0\0" for t in (old, new))
    block = data[at:at + 4096]
    if block.count(old_text) < 2:
        sys.exit(f"{path}: version texts {old} not found")
    data[at:at + 4096] = block.replace(old_text, new_text)
    open(path, "wb").write(data)


def main():
    old, new, *files = sys.argv[1:]
    if len(old) != len(new) or not files:
        sys.exit("usage: stamp_version.py FROM TO FILE... (FROM and TO of the same length)")
    for f in files:
        stamp(f, old, new)


if __name__ == "__main__":
    main()
