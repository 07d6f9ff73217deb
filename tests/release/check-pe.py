#!/usr/bin/python3
"""Reads a Windows program's PE header as a binary analyser would and checks its hardening:
ASLR (DYNAMIC_BASE with a relocation directory, HIGH_ENTROPY_VA), NX_COMPAT,
TERMINAL_SERVER_AWARE, subsystem and OS version at least 6.1, no section both writable and
executable, and no DLL imported at start that is not among Windows' known DLLs (those are
delay-loaded). With --symbols, for an unstripped build: the stack protector's and the checked
functions' symbols, and the delay-load descriptor of each of those DLLs that it uses at all.

    check-pe.py [--symbols] PROGRAM.exe
Needs Debian's python3-pefile (scripts/bootstrap installs it).
"""
import struct
import sys

import checklist
from checklist import check

import pefile

# Windows 7's KnownDLLs: always loaded from the system folder, whatever the search order.
KNOWN_DLLS = {
    "advapi32.dll", "clbcatq.dll", "comdlg32.dll", "gdi32.dll", "imagehlp.dll", "imm32.dll", "kernel32.dll",
    "lpk.dll", "msctf.dll", "msvcrt.dll", "normaliz.dll", "nsi.dll", "ole32.dll", "oleaut32.dll", "psapi.dll",
    "rpcrt4.dll", "sechost.dll", "setupapi.dll", "shell32.dll", "shlwapi.dll", "urlmon.dll", "user32.dll",
    "usp10.dll", "wininet.dll", "wldap32.dll", "ws2_32.dll",
}
DELAY_LOADED = ["comctl32"]


def coff_symbols(pe):
    """Names in the COFF symbol table (long names from its string table)."""
    data = bytes(pe.__data__)
    table, count = pe.FILE_HEADER.PointerToSymbolTable, pe.FILE_HEADER.NumberOfSymbols
    if not table or table + 18 * count > len(data):
        return set()
    strings = table + 18 * count
    names, i = set(), 0
    while i < count:
        record = data[table + 18 * i:table + 18 * (i + 1)]
        if record[:4] == b"\0\0\0\0":
            start = strings + struct.unpack_from("<I", record, 4)[0]
            names.add(data[start:data.index(b"\0", start)].decode("latin-1"))
        else:
            names.add(record[:8].rstrip(b"\0").decode("latin-1"))
        i += 1 + record[17]  # auxiliary records follow
    return names


def main(args):
    symbols = "--symbols" in args
    path = [a for a in args if a != "--symbols"][0]
    pe = pefile.PE(path, fast_load=True)
    pe.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_IMPORT"]])
    optional = pe.OPTIONAL_HEADER
    flags = optional.DllCharacteristics
    relocations = optional.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_BASERELOC"]]
    check("DYNAMIC_BASE", flags & 0x0040)
    check("a relocation directory", relocations.VirtualAddress and relocations.Size, str(relocations.Size))
    check("HIGH_ENTROPY_VA", flags & 0x0020)
    check("NX_COMPAT", flags & 0x0100)
    check("TERMINAL_SERVER_AWARE", flags & 0x8000)
    subsystem = (optional.MajorSubsystemVersion, optional.MinorSubsystemVersion)
    check("subsystem version at least 6.1", subsystem >= (6, 1), "%d.%d" % subsystem)
    system = (optional.MajorOperatingSystemVersion, optional.MinorOperatingSystemVersion)
    check("OS version at least 6.1", system >= (6, 1), "%d.%d" % system)
    wx = [s.Name.rstrip(b"\0").decode() for s in pe.sections
          if s.Characteristics & 0x80000000 and s.Characteristics & 0x20000000]
    check("no section both writable and executable", not wx, str(wx))
    imported = [e.dll.decode().lower() for e in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])]
    unknown = [d for d in imported if d not in KNOWN_DLLS]
    check("imports at start only known DLLs", imported and not unknown, str(unknown or imported))
    if symbols:
        names = coff_symbols(pe)
        check("stack protector linked in", {"__stack_chk_fail", "__stack_chk_guard"} <= names)
        checked = sorted(n for n in names if n.startswith("__") and n.endswith("_chk") and n != "__stack_chk")
        check("checked memory and string functions linked in", checked, "none")
        data = bytes(pe.__data__).lower()
        for dll in DELAY_LOADED:
            delayed = any(n.startswith("__DELAY_IMPORT_DESCRIPTOR_") and dll in n for n in names)
            # A helper that never calls into it (umbrix-path.exe) names it nowhere.
            if not delayed and (dll + ".dll").encode() not in data:
                check(f"{dll} not used at all", True)
                continue
            check(f"{dll} delay-loaded", delayed)
    return checklist.failures


if __name__ == "__main__":
    sys.exit(1 if main(sys.argv[1:]) else 0)
