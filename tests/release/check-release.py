#!/usr/bin/env python3
"""Checks one release folder as its user would: the checksum list, the program's debug link,
the portable zip and the winget manifest, against the files themselves. The version they must
name is read from umbrix.exe's own version resource.

    check-release.py RELEASE_DIR INSTALLER_URL
"""
import hashlib
import os
import struct
import sys
import zipfile
import zlib

import checklist
from checklist import check


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def program_version(exe):
    """FILEVERSION of the fixed part of the version resource (VS_FIXEDFILEINFO)."""
    at = exe.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        return None
    ms, ls = struct.unpack_from("<II", exe, at + 8)
    return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"


def pe_sections(exe):
    """Section name -> raw bytes. Long names (/n) are looked up in the COFF string table."""
    pe = struct.unpack_from("<I", exe, 0x3C)[0]
    count, = struct.unpack_from("<H", exe, pe + 6)
    symbols, nsymbols = struct.unpack_from("<II", exe, pe + 12)
    optional, = struct.unpack_from("<H", exe, pe + 20)
    strings = symbols + 18 * nsymbols
    sections = {}
    for i in range(count):
        header = pe + 24 + optional + 40 * i
        name = exe[header:header + 8].rstrip(b"\0").decode()
        if name.startswith("/") and symbols:
            start = strings + int(name[1:])
            name = exe[start:exe.index(b"\0", start)].decode()
        # The raw data is padded to the file alignment; the virtual size is the content's.
        virtual, = struct.unpack_from("<I", exe, header + 8)
        size, offset = struct.unpack_from("<II", exe, header + 16)
        sections[name] = exe[offset:offset + (min(virtual, size) if virtual else size)]
    return sections


def check_sums(folder, names):
    listed = {}
    with open(os.path.join(folder, "SHA256SUMS")) as f:
        for line in f:
            digest, name = line.rstrip("\n").split("  ", 1)
            listed[name] = digest
    check("SHA256SUMS lists every file of the release", sorted(listed) == sorted(names), str(sorted(listed)))
    for name in names:
        check(f"SHA256SUMS: {name}", listed.get(name) == sha256(os.path.join(folder, name)))


def check_debug_link(program, exe, debug_name, debug):
    sections = pe_sections(exe)
    check(f"{program} carries no debugging information",
          not [s for s in sections if s.startswith(".debug")], str(list(sections)))
    check(f"{debug_name} holds the debugging information", len(pe_sections(debug).get(".debug_info", b"")) > 0)
    link = sections.get(".gnu_debuglink", b"")
    name = link[:link.find(b"\0")] if b"\0" in link else b""
    check(f"debug link names {debug_name}", name == debug_name.encode(), repr(name))
    if len(link) >= 8:
        crc, = struct.unpack_from("<I", link, len(link) - 4)
        check(f"debug link's CRC is {debug_name}'s", crc == zlib.crc32(debug))


def check_zip(path, programs, version):
    with zipfile.ZipFile(path) as z:
        names = z.namelist()
        expected = ["umbrix.exe", "umbrix.com", "LIESMICH.txt"]
        check("zip holds the program, its console companion and the read-me", names == expected, str(names))
        if names != expected:
            return
        for name, data in programs.items():
            check(f"zip's {name} is the release's", z.read(name) == data)
        readme = z.read("LIESMICH.txt").decode("utf-8-sig")
        check("read-me names the version", f"Umbrix {version}" in readme)
        check("read-me is German, with nothing left to fill in", "Dateien" in readme and "@" not in readme)
        check("read-me has Windows line ends", "\n" not in readme.replace("\r\n", ""))
        check("read-me tells of umbrix.com", "umbrix.com" in readme)


def manifest(path):
    """The 'key: value' lines of a flat YAML file, nested and list items included."""
    fields = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            key, sep, value = line.strip().lstrip("- ").partition(": ")
            if sep:
                fields.setdefault(key, value)
    return fields


def check_winget(folder, version, installer_sha, url):
    ident = "UmbrixTeam.Umbrix"
    files = {kind: os.path.join(folder, "winget", f"{ident}{suffix}.yaml") for kind, suffix in
             (("version", ""), ("defaultLocale", ".locale.de-DE"), ("installer", ".installer"))}
    for kind, path in files.items():
        check(f"winget {kind} manifest exists", os.path.isfile(path))
        if not os.path.isfile(path):
            return
    m = {kind: manifest(path) for kind, path in files.items()}
    for kind, fields in m.items():
        check(f"winget {kind}: type and manifest version",
              (fields.get("ManifestType"), fields.get("ManifestVersion")) == (kind, "1.6.0"))
        check(f"winget {kind}: identifier and version",
              (fields.get("PackageIdentifier"), fields.get("PackageVersion")) == (ident, version))
    check("winget version: default locale de-DE", m["version"].get("DefaultLocale") == "de-DE")
    loc = m["defaultLocale"]
    check("winget locale: de-DE", loc.get("PackageLocale") == "de-DE")
    for key in ("Publisher", "PackageName", "License", "ShortDescription"):
        check(f"winget locale: {key}", bool(loc.get(key)))
    check("winget locale: description in German", "Dateien" in loc.get("ShortDescription", ""))
    inst = m["installer"]
    check("winget installer: nullsoft, machine scope",
          (inst.get("InstallerType"), inst.get("Scope")) == ("nullsoft", "machine"))
    check("winget installer: silent switches", inst.get("Silent") == "/S" and inst.get("SilentWithProgress") == "/S")
    check("winget installer: the installer's hash", inst.get("InstallerSha256", "").lower() == installer_sha,
          inst.get("InstallerSha256", ""))
    check("winget installer: download address", inst.get("InstallerUrl") == url, inst.get("InstallerUrl", ""))
    check("winget installer: product code", bool(inst.get("ProductCode")))


def read(folder, name):
    with open(os.path.join(folder, name), "rb") as f:
        return f.read()


def main(folder, url):
    programs = {name: read(folder, name) for name in ("umbrix.exe", "umbrix.com")}
    version = program_version(programs["umbrix.exe"])
    check("umbrix.exe has a version resource", version is not None)
    check("umbrix.com has the same version", program_version(programs["umbrix.com"]) == version)
    zip_name = f"umbrix-{version}-portable.zip"
    check_sums(folder, ["umbrix.exe", "umbrix.debug", "umbrix.com", "umbrix.com.debug", "umbrix-setup.exe", zip_name])
    check_debug_link("umbrix.exe", programs["umbrix.exe"], "umbrix.debug", read(folder, "umbrix.debug"))
    check_debug_link("umbrix.com", programs["umbrix.com"], "umbrix.com.debug", read(folder, "umbrix.com.debug"))
    if os.path.isfile(os.path.join(folder, zip_name)):
        check_zip(os.path.join(folder, zip_name), programs, version)
    check_winget(folder, version, sha256(os.path.join(folder, "umbrix-setup.exe")), url)
    return checklist.failures == 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(0 if main(*sys.argv[1:]) else 1)
