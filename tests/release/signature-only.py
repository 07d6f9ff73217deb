#!/usr/bin/env python3
"""Exits 0 when SIGNED is UNSIGNED with an Authenticode signature added and nothing else: the
same bytes apart from the header's checksum and certificate-table entry, the certificate table
appended at the end, and the zero bytes that align it to 8.

    signature-only.py SIGNED UNSIGNED
"""
import struct
import sys


def without_signature(pe):
    """The file with checksum and certificate-table entry zeroed and the table cut off."""
    data = bytearray(pe)
    header = struct.unpack_from("<I", data, 0x3C)[0]
    optional = header + 24
    magic, = struct.unpack_from("<H", data, optional)
    directories = optional + (112 if magic == 0x20B else 96)
    certificates = directories + 4 * 8
    offset, size = struct.unpack_from("<II", data, certificates)
    struct.pack_into("<I", data, optional + 64, 0)  # CheckSum
    struct.pack_into("<II", data, certificates, 0, 0)
    if size:
        if offset + size != len(data):
            return None  # something follows the signature
        del data[offset:]
    return bytes(data)


def main(signed_path, unsigned_path):
    with open(signed_path, "rb") as f:
        signed = without_signature(f.read())
    with open(unsigned_path, "rb") as f:
        unsigned = without_signature(f.read())
    if signed is None or unsigned is None:
        print(f"data after the certificate table in {signed_path} or {unsigned_path}")
        return False
    padding = len(signed) - len(unsigned)
    if not (0 <= padding < 8 and signed[len(unsigned):] == bytes(padding)):
        print(f"{signed_path}: {len(signed)} bytes before the signature, {unsigned_path}: {len(unsigned)}")
        return False
    differing = [i for i in range(len(unsigned)) if signed[i] != unsigned[i]]
    if differing:
        print(f"{len(differing)} bytes differ, first at {differing[0]}")
    return not differing


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(0 if main(*sys.argv[1:]) else 1)
