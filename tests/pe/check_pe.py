#!/usr/bin/env python3
"""The import gate: a shipped file loads and runs on the oldest Windows it is built for.

Wine exports functions of later Windows versions whatever version a prefix reports,
so a program that passes every test under Wine can still be refused by the loader of
Windows 2000 or XP. Only the import table tells, and it is checked three ways:

- every imported DLL is one of the KnownDLLs, which Windows always takes from the
  system folder;
- every imported function is on the reviewed list of functions that the target
  system has (KNOWN: lines "dll function", '#' starts a comment); the functions of
  other DLLs, which the programs take at run time, are on it marked "loaded" and
  checked by the headers as imports are;
- every imported function is declared by the MinGW-w64 headers compiled for the
  target version (WINVER, _WIN32_WINNT and _WIN32_IE), which catches a newer function
  before anyone has to review it. The C runtime's start-up entries, which no public
  header declares, are marked "startup" on the list and checked by the list alone.

Besides, the subsystem and resource versions must be the given ones, a DLL's code must
not use the static TLS slot _tls_index (LoadLibrary gives none on Windows 2000 and XP),
with --pentium no instruction may be one of NOT_PENTIUM (Wine runs code on the host's
CPU), and a file may be held to a largest size. Each file's size, subsystem, version,
DLLs and function count are printed.

With --expect-reject NAME..., the files are fixtures: the run succeeds only if each NAME
(a function, a DLL outside the KnownDLLs, a NOT_PENTIUM name or _tls_index) is refused.
"""
import argparse
import os
import re
import struct
import subprocess
import sys
import tempfile

# The DLLs that Windows 2000 and XP (32- and 64-bit) always map from the system folder,
# whatever folder a program runs from: the KnownDLLs, named as values of
# HKLM\System\CurrentControlSet\Control\Session Manager\KnownDLLs (Microsoft KB 164501,
# "Windows NT/2000/XP uses KnownDLLs registry entry to find DLLs"; default entries in
# KB 102985), and msvcrt.dll, which those import and which is mapped with them. Every
# other DLL, setupapi, newdev and comctl32 among them, is looked for first in the
# program's own folder, where anyone may leave a DLL: the programs load those at run
# time from the system folder by full path and may not import them.
KNOWN_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "comdlg32.dll",
    "ole32.dll", "oleaut32.dll", "rpcrt4.dll", "version.dll", "msvcrt.dll",
}

# Headers that declare what the programs may import; the C runtime's last.
HEADERS = ["windows.h", "commctrl.h", "prsht.h", "cpl.h", "shellapi.h", "setupapi.h", "newdev.h",
           "msi.h", "msiquery.h", "stdio.h", "stdlib.h", "string.h", "mbstring.h", "mbctype.h", "process.h", "signal.h", "math.h"]

# What the Pentium (P5, without MMX) lacks, as objdump prints it: a name and a pattern
# over "mnemonic operands" after any prefix. UD2 stays: on a Pentium too it raises the
# invalid-opcode exception that it is there for.
NOT_PENTIUM = [("CMOVcc", r"cmov"), ("FCMOVcc", r"fcmov"), ("FCOMI", r"fu?comip?\b"),
               ("SYSENTER", r"sys(enter|exit|call|ret)"),
               ("MMX/SSE", r"f?emms|[lms]fence|(ld|st)mxcsr|prefetch|clflush|movnti|.*%[xyz]?mm\d"),
               ("P6 or later", r"nop[wl]|rdpmc|fxsave|fxrstor|fisttp|endbr32|popcnt|lzcnt|tzcnt|movbe|crc32")]


def read_known(path):
    known = {}
    with open(path, encoding="utf-8") as listing:
        for number, line in enumerate(listing, 1):
            words = line.split("#", 1)[0].split()
            if not words:
                continue
            if len(words) not in (2, 3) or (len(words) == 3 and words[2] not in ("startup", "loaded")):
                sys.exit(f"{path}:{number}: expected 'dll function [startup|loaded]', got '{line.strip()}'")
            mark = words[2] if len(words) == 3 else ""
            if (mark == "loaded") == (words[0].lower() in KNOWN_DLLS):
                sys.exit(f"{path}:{number}: 'loaded' marks exactly the functions of DLLs outside KNOWN_DLLS")
            known[(words[0].lower(), words[1])] = mark
    return known


def read_pe(objdump, path):
    """The imports as (dll, name) pairs, '#N' for an import by ordinal, the subsystem
    version and objdump's text."""
    dump = subprocess.run([objdump, "-p", path], capture_output=True, text=True)
    if dump.returncode != 0:
        return None, None, None
    imports, dll = [], None
    for line in dump.stdout.splitlines():
        match = re.match(r"\s*DLL Name: (\S+)", line)
        if match:
            dll = match.group(1).lower()
            continue
        if line.startswith(("The Export", "PE File Base", "The Function Table")):
            dll = None
        match = re.match(r"\t[0-9a-f]+\t\s*(\d+)\s+(\S+)\s*$", line)
        if dll and match:
            name = match.group(2)
            imports.append((dll, "#" + match.group(1) if name == "<none>" else name))
    versions = {}
    for key in ("MajorSubsystemVersion", "MinorSubsystemVersion"):
        match = re.search(rf"^{key}\s+(\d+)", dump.stdout, re.M)
        versions[key] = int(match.group(1)) if match else None
    return imports, (versions["MajorSubsystemVersion"], versions["MinorSubsystemVersion"]), dump.stdout


def disassembly(objdump, path):
    """The code as (address, instruction without prefixes). MinGW's linker script ends
    .text with the constructor lists, each opened by the word -1, which objdump cannot
    decode: the code ends at the first "(bad)"."""
    dump = subprocess.run([objdump, "-d", "--no-show-raw-insn", path], capture_output=True, text=True).stdout
    return [(int(address, 16), re.sub(r"^((lock|rep\w*|data16|addr32|[c-gs]s|notrack|bnd) )*", "", " ".join(text.split())))
            for address, text in re.findall(r"^\s*([0-9a-f]+):\t(.+)$", dump.split("(bad)")[0], re.M)]


def tls_index(objdump, path, dump):
    """The address of _tls_index, which the TLS directory holds, or None."""
    entry = re.search(r"^Entry 9 (\w+) (\w+)", dump, re.M)
    if not int(entry.group(2), 16):
        return None
    size = 8 if "(PE32+)" in dump else 4
    field = int(re.search(r"^ImageBase\s+(\w+)", dump, re.M).group(1), 16) + int(entry.group(1), 16) + 2 * size
    words = subprocess.run([objdump, "-s", f"--start-address={field:#x}", f"--stop-address={field + size:#x}", path],
                           capture_output=True, text=True).stdout
    return int.from_bytes(bytes.fromhex("".join(re.findall(r"^ \w+ ([\w ]+?)  ", words, re.M))), "little")


def file_versions(path):
    """The file and product versions of the version resource, or None."""
    with open(path, "rb") as image:
        data = image.read()
    key = data.find("VS_VERSION_INFO".encode("utf-16-le"))
    if key < 0:
        return None
    words = struct.unpack_from("<4I", data, data.find(struct.pack("<I", 0xFEEF04BD), key) + 8)
    return {f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}" for ms, ls in (words[:2], words[2:])}


def undeclared(cc, version, names):
    """The names that the headers do not declare for the given Windows version."""
    if not names:
        return set()
    lines = [f"#include <{header}>" for header in HEADERS]
    lines.append("void korvel_import_gate(void) {")
    first = len(lines) + 1
    ordered = sorted(names)
    lines += [f"(void)&{name};" for name in ordered]
    lines.append("}")
    with tempfile.NamedTemporaryFile("w", suffix=".c", delete=False) as source:
        source.write("\n".join(lines) + "\n")
    try:
        result = subprocess.run(
            [cc, "-fsyntax-only", "-x", "c", f"-DWINVER={version}", f"-D_WIN32_WINNT={version}",
             f"-D_WIN32_IE={version}", source.name], capture_output=True, text=True)
    finally:
        os.unlink(source.name)
    missing = set()
    for match in re.finditer(rf"{re.escape(source.name)}:(\d+):\d+: error", result.stderr):
        index = int(match.group(1)) - first
        if 0 <= index < len(ordered):
            missing.add(ordered[index])
    if result.returncode != 0 and not missing:
        sys.exit(f"the header check did not compile:\n{result.stderr}")
    return missing


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--cc", required=True, help="the C compiler whose headers are asked")
    parser.add_argument("--version", required=True, help="the target Windows version, e.g. 0x0500")
    parser.add_argument("--subsystem", required=True, help="the subsystem version, e.g. 5.0")
    parser.add_argument("--file-version", required=True, help="the version resource's, e.g. 1.0.0.1")
    parser.add_argument("--pentium", action="store_true", help="refuse instructions that the Pentium lacks")
    parser.add_argument("--known", required=True, help="the reviewed list of the target's functions")
    parser.add_argument("--max-size", type=int, help="the largest size of a file in bytes")
    parser.add_argument("--expect-reject", action="append", default=[], metavar="NAME")
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()

    known = read_known(args.known)
    want = tuple(int(part) for part in args.subsystem.split("."))
    failures = []
    pe, shown = {}, {}
    for path in args.files:
        imports, subsystem, dump = read_pe(args.objdump, path)
        if imports is None:
            failures.append((path, None, "objdump could not read it"))
            continue
        pe[path] = imports
        if not imports:
            failures.append((path, None, "no imports found"))
        if subsystem != want:
            failures.append((path, None, f"asks for subsystem {subsystem[0]}.{subsystem[1]}, not {args.subsystem}"))
        version = " and ".join(sorted(file_versions(path) or ["none"]))
        if version != args.file_version:
            failures.append((path, None, f"has version {version}, not {args.file_version}"))
        shown[path] = f"subsystem {subsystem[0]}.{subsystem[1]}, version {version}"
        index = tls_index(args.objdump, path, dump) if re.search(r"^\tDLL$", dump, re.M) else None
        for address, text in disassembly(args.objdump, path) if args.pentium or index else []:
            for name, pattern in NOT_PENTIUM if args.pentium else []:
                if re.match(pattern, text):
                    failures.append((path, name, f"{address:#x} {text}: {name}, which the Pentium lacks"))
            if index and re.search(rf"(0x|# )0*{index:x}\b", text):
                failures.append((path, "_tls_index", f"{address:#x} {text}: uses the static TLS slot _tls_index"))
        size = os.path.getsize(path)
        if args.max_size is not None and size > args.max_size:
            failures.append((path, None, f"is {size:,} bytes, above {args.max_size:,}"))

    names = {name for imports in pe.values() for dll, name in imports
             if not name.startswith("#") and known.get((dll, name)) != "startup"}
    loaded = {name for (dll, name), mark in known.items() if mark == "loaded"}
    hidden = undeclared(args.cc, args.version, names | loaded)
    for name in sorted(loaded & hidden):
        failures.append((args.known, name, f"{name}, taken at run time, is not declared for Windows {args.version}"))

    for path, imports in pe.items():
        for dll, name in sorted(set(imports)):
            if dll not in KNOWN_DLLS:
                failures.append((path, dll, f"imports {name} from {dll}, which is not one of the KnownDLLs: "
                                            f"it would be looked for first in the program's folder"))
                continue
            if (dll, name) not in known:
                failures.append((path, name, f"{dll} {name} is not on the reviewed list {os.path.basename(args.known)}"))
            if name in hidden:
                failures.append((path, name, f"{dll} {name} is not declared for Windows {args.version}"))
        dlls = sorted({dll for dll, _ in imports})
        print(f"checked {os.path.basename(path)}: {os.path.getsize(path):,} bytes, {shown[path]}, "
              f"{len(set(imports))} functions from {' '.join(dlls)}")

    for path, _, text in failures:
        print(f"FAIL {os.path.basename(path)}: {text}")

    if args.expect_reject:
        refused = {name for _, name, _ in failures if name}
        missed = [name for name in args.expect_reject if name not in refused]
        for name in missed:
            print(f"FAIL the gate let {name} through")
        if not missed:
            print(f"refused as expected: {' '.join(args.expect_reject)}")
        return 1 if missed else 0
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
