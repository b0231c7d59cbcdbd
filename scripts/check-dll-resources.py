#!/usr/bin/env python3
"""Checks the bitmap and version resources of a built Brisolen DLL (32-bit or 64-bit).

Usage: scripts/check-dll-resources.py FILE.dll

Reads the file itself (DOS header, PE header, section table, resource directory), prints one
"ok: ..." or "FAIL: ..." line per check and exits with 1 if any check failed. A file that is not
a PE image or has no resources fails every check it cannot make, with the reason.
"""

import struct
import sys

RT_BITMAP = 2
RT_VERSION = 16

EXPECTED_BITMAPS = {
    128: (250, 420, 24),
    129: (16, 250, 24),
    130: (14, 12, 8),
    131: (200, 150, 24),
}
EXPECTED_VERSION = (1, 1, 0, 0)
EXPECTED_STRINGS = {
    "FileDescription": "Audio Plug-In",
    "ProductName": "Brisolen",
    "CompanyName": ".tarnwick.",
}

RESOURCE_DIRECTORY_INDEX = 2
FIXED_FILE_INFO_SIGNATURE = 0xFEEF04BD


class FormatError(Exception):
    """The file does not have the structure being read."""


class Reader:
    """Bounds-checked little-endian reads from a byte string."""

    def __init__(self, data):
        self.data = data

    def unpack(self, fmt, offset):
        size = struct.calcsize(fmt)
        if offset < 0 or offset + size > len(self.data):
            raise FormatError(f"{size} bytes at offset {offset:#x} lie past the end of the data")
        return struct.unpack_from(fmt, self.data, offset)

    def slice(self, offset, size):
        if offset < 0 or size < 0 or offset + size > len(self.data):
            raise FormatError(f"{size} bytes at offset {offset:#x} lie past the end of the data")
        return self.data[offset : offset + size]


# ---------------------------------------------------------------------------------------------
# PE image


class PeImage:
    def __init__(self, data):
        self.file = Reader(data)
        if self.file.slice(0, 2) != b"MZ":
            raise FormatError("no DOS header (MZ)")
        (pe_offset,) = self.file.unpack("<I", 0x3C)
        if self.file.slice(pe_offset, 4) != b"PE\0\0":
            raise FormatError("no PE signature")
        coff = pe_offset + 4
        _, section_count, _, _, _, optional_size, _ = self.file.unpack("<HHIIIHH", coff)
        optional = coff + 20
        (magic,) = self.file.unpack("<H", optional)
        if magic == 0x10B:
            self.kind, directory_count_offset = "PE32", optional + 92
        elif magic == 0x20B:
            self.kind, directory_count_offset = "PE32+", optional + 108
        else:
            raise FormatError(f"unknown optional header magic {magic:#x}")
        (directory_count,) = self.file.unpack("<I", directory_count_offset)
        self.resource_rva, self.resource_size = 0, 0
        if directory_count > RESOURCE_DIRECTORY_INDEX:
            self.resource_rva, self.resource_size = self.file.unpack(
                "<II", directory_count_offset + 4 + 8 * RESOURCE_DIRECTORY_INDEX)
        self.sections = []
        table = optional + optional_size
        for i in range(section_count):
            entry = table + 40 * i
            name = self.file.slice(entry, 8).rstrip(b"\0").decode("latin-1")
            virtual_size, rva, raw_size, raw_offset = self.file.unpack("<IIII", entry + 8)
            self.sections.append((name, rva, max(virtual_size, raw_size), raw_size, raw_offset))

    def read_rva(self, rva, size):
        """The size bytes at a relative virtual address, from the section holding them."""
        for name, start, span, raw_size, raw_offset in self.sections:
            if start <= rva and rva + size <= start + span:
                inside = rva - start
                if inside + size > raw_size:
                    raise FormatError(f"RVA {rva:#x} (+{size}) reaches past the stored data of "
                                      f"section {name}")
                if raw_offset + inside + size > len(self.file.data):
                    raise FormatError(f"the file ends inside section {name} (truncated?)")
                return self.file.slice(raw_offset + inside, size)
        raise FormatError(f"RVA {rva:#x} (+{size}) lies in no section")

    def resource_section(self):
        if self.resource_rva == 0 or self.resource_size == 0:
            raise FormatError("the file has no resource directory")
        return ResourceSection(self.read_rva(self.resource_rva, self.resource_size),
                               self.resource_rva)


# ---------------------------------------------------------------------------------------------
# Resource directory


class ResourceSection:
    """The resource tree: type, then name or id, then language, then the data."""

    def __init__(self, data, base_rva):
        self.data = Reader(data)
        self.base_rva = base_rva

    def entries(self, directory_offset):
        """(id, offset, is_directory) for each entry with a numeric id of a directory."""
        named, numbered = self.data.unpack("<HH", directory_offset + 12)
        result = []
        for i in range(named + numbered):
            name, target = self.data.unpack("<II", directory_offset + 16 + 8 * i)
            if name & 0x80000000:
                continue  # a string name; the resources checked here all have numeric ids
            result.append((name & 0xFFFF, target & 0x7FFFFFFF, bool(target & 0x80000000)))
        return result

    def find(self, directory_offset, wanted_id):
        for entry_id, target, is_directory in self.entries(directory_offset):
            if entry_id == wanted_id:
                return target, is_directory
        return None

    def type_ids(self, resource_type):
        """Ids of the resources of a type, each with its directory offset."""
        found = self.find(0, resource_type)
        if found is None or not found[1]:
            return {}
        return {entry_id: (target, is_directory)
                for entry_id, target, is_directory in self.entries(found[0])}

    def first_language_data(self, target, is_directory):
        """The data of the first language of a resource."""
        if is_directory:
            languages = self.entries(target)
            if not languages:
                raise FormatError("resource has no language entry")
            _, target, is_directory = languages[0]
            if is_directory:
                raise FormatError("resource tree is deeper than type/name/language")
        data_rva, size, _, _ = self.data.unpack("<IIII", target)
        offset = data_rva - self.base_rva
        return self.data.slice(offset, size)

    def resource(self, resource_type, resource_id):
        """The data of a resource, or None if the file has no resource of that type and id."""
        ids = self.type_ids(resource_type)
        if resource_id not in ids:
            return None
        return self.first_language_data(*ids[resource_id])


# ---------------------------------------------------------------------------------------------
# Bitmap resources


def bitmap_format(data):
    """(width, height, bit count) of a bitmap resource, checking that its pixels are all there."""
    reader = Reader(data)
    (header_size, width, height, planes, bits, compression, image_size, _, _, colours_used,
     _) = reader.unpack("<IiiHHIIiiII", 0)
    if header_size < 40:
        raise FormatError(f"bitmap header of {header_size} bytes is not a BITMAPINFOHEADER")
    if planes != 1:
        raise FormatError(f"bitmap has {planes} planes")
    if compression != 0:
        raise FormatError(f"bitmap is compressed (type {compression})")
    if bits not in (1, 4, 8, 16, 24, 32) or width <= 0 or height == 0:
        raise FormatError(f"bitmap has an invalid format {width}x{height}x{bits}")
    palette_entries = colours_used or (1 << bits if bits <= 8 else 0)
    stride = (width * bits + 31) // 32 * 4
    needed = header_size + 4 * palette_entries + stride * abs(height)
    if needed > len(data):
        raise FormatError(f"bitmap data holds {len(data)} bytes, its format needs {needed}")
    return width, height, bits


def check_bitmaps(resources, report):
    for resource_id, expected in EXPECTED_BITMAPS.items():
        label = f"bitmap {resource_id}"
        if resources is None:
            report.fail(f"{label}: no resources to look in")
            continue
        try:
            data = resources.resource(RT_BITMAP, resource_id)
            if data is None:
                report.fail(f"{label}: missing")
                continue
            found = bitmap_format(data)
        except FormatError as error:
            report.fail(f"{label}: {error}")
            continue
        shown = "x".join(str(n) for n in found)
        if found == expected:
            report.ok(f"{label} {shown}")
        else:
            report.fail(f"{label} is {shown}, expected {'x'.join(str(n) for n in expected)}")


# ---------------------------------------------------------------------------------------------
# Version resource


class VersionBlock:
    """One node of the version resource: a key, a value and child blocks."""

    def __init__(self, key, value, is_text, children):
        self.key = key
        self.value = value
        self.is_text = is_text
        self.children = children

    def child(self, key):
        return next((c for c in self.children if c.key == key), None)

    def text(self):
        return self.value.decode("utf-16-le", errors="replace").split("\0", 1)[0]


def align4(offset):
    return (offset + 3) & ~3


def read_utf16z(reader, offset, end):
    """A zero-terminated UTF-16 string and the offset after its terminator."""
    chars = []
    while True:
        if offset + 2 > end:
            raise FormatError("version resource key is not terminated")
        (unit,) = reader.unpack("<H", offset)
        offset += 2
        if unit == 0:
            return "".join(map(chr, chars)), offset
        chars.append(unit)


def parse_version_block(reader, offset, limit, depth=0):
    """The block at offset (its offset from the resource's start, which is 4-byte aligned)."""
    if depth > 8:
        raise FormatError("version resource nests too deeply")
    length, value_length, value_type = reader.unpack("<HHH", offset)
    end = offset + length
    if length < 6 or end > limit:
        raise FormatError(f"version block at {offset:#x} has a bad length {length}")
    key, cursor = read_utf16z(reader, offset + 6, end)
    cursor = align4(cursor)
    is_text = value_type == 1
    value_bytes = value_length * 2 if is_text else value_length
    if cursor + value_bytes > end:
        raise FormatError(f"value of version block {key!r} runs past the block")
    value = reader.slice(cursor, value_bytes)
    cursor = align4(cursor + value_bytes)
    children = []
    while cursor + 6 <= end:
        child = parse_version_block(reader, cursor, end, depth + 1)
        children.append(child[0])
        cursor = align4(child[1])
    return VersionBlock(key, value, is_text, children), end


def parse_version(data):
    reader = Reader(data)
    root, _ = parse_version_block(reader, 0, len(data))
    if root.key != "VS_VERSION_INFO":
        raise FormatError(f"version resource starts with {root.key!r}, not VS_VERSION_INFO")
    return root


def fixed_versions(root):
    """(file version, product version) from VS_FIXEDFILEINFO, each as four numbers."""
    if len(root.value) < 52:
        raise FormatError("version resource has no VS_FIXEDFILEINFO")
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from(
        "<IIIIII", root.value, 0)
    if signature != FIXED_FILE_INFO_SIGNATURE:
        raise FormatError(f"VS_FIXEDFILEINFO signature is {signature:#x}")

    def split(ms, ls):
        return (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)

    return split(file_ms, file_ls), split(product_ms, product_ls)


def version_strings(root):
    """The string entries of every string table, first table first."""
    strings = {}
    string_info = root.child("StringFileInfo")
    if string_info is None:
        return strings
    for table in string_info.children:
        for entry in table.children:
            strings.setdefault(entry.key, entry.text())
    return strings


def check_version(resources, report):
    checks = ["file version", "product version"] + [f"string {k}" for k in EXPECTED_STRINGS]
    try:
        if resources is None:
            raise FormatError("no resources to look in")
        ids = resources.type_ids(RT_VERSION)
        if not ids:
            raise FormatError("missing")
        root = parse_version(resources.first_language_data(*next(iter(ids.values()))))
        file_version, product_version = fixed_versions(root)
    except FormatError as error:
        for check in checks:
            report.fail(f"version {check}: {error}")
        return
    expected = ".".join(map(str, EXPECTED_VERSION))
    for label, found in (("file version", file_version), ("product version", product_version)):
        shown = ".".join(map(str, found))
        if found == EXPECTED_VERSION:
            report.ok(f"version {label} {shown}")
        else:
            report.fail(f"version {label} is {shown}, expected {expected}")
    strings = version_strings(root)
    for key, value in EXPECTED_STRINGS.items():
        if key not in strings:
            report.fail(f"version string {key}: missing")
        elif strings[key] != value:
            report.fail(f"version string {key} is {strings[key]!r}, expected {value!r}")
        else:
            report.ok(f"version string {key} {value!r}")


# ---------------------------------------------------------------------------------------------


class Report:
    def __init__(self):
        self.failures = 0

    def ok(self, text):
        print(f"ok: {text}")

    def fail(self, text):
        print(f"FAIL: {text}")
        self.failures += 1


def load_resources(path, report):
    """The file's resource tree, or None after reporting why there is none."""
    try:
        with open(path, "rb") as file:
            data = file.read()
    except OSError as error:
        report.fail(f"cannot read {path}: {error.strerror}")
        return None
    try:
        image = PeImage(data)
        resources = image.resource_section()
    except FormatError as error:
        report.fail(f"{path}: {error}")
        return None
    report.ok(f"{path}: {image.kind} image with a resource directory")
    return resources


def main(argv):
    if len(argv) != 2:
        print("usage: check-dll-resources.py FILE.dll", file=sys.stderr)
        return 2
    report = Report()
    resources = load_resources(argv[1], report)
    check_bitmaps(resources, report)
    check_version(resources, report)
    return 1 if report.failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
