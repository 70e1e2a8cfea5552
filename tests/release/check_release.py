#!/usr/bin/env python3
"""Unpacks each release archive and checks what a user gets: the folder with
the three programs and the guide, each program built for the archive's
processor, and a guide with Windows line ends that names every file and the
installer; and beside the archives the installer of the same version, a
32-bit Windows program (tests/installer/ runs it)."""
import pathlib
import re
import struct
import sys
import tempfile
import zipfile

MACHINES = {"win64": 0x8664, "win32": 0x014C}


def machine_of(data):
    if data[:2] != b"MZ":
        return None
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        return None
    return struct.unpack_from("<H", data, pe + 4)[0]


def check(archive):
    problems = []
    match = re.fullmatch(r"savers-(\d+\.\d+\.\d+)-(win64|win32)\.zip", archive.name)
    if not match:
        return [f"{archive.name}: not named savers-VERSION-win64|win32.zip"]
    version, arch = match.groups()
    folder = f"savers-{version}-{arch}"
    with tempfile.TemporaryDirectory() as scratch, zipfile.ZipFile(archive) as z:
        names = sorted(z.namelist())
        expected = sorted(f"{folder}/{n}" for n in ("GUIDE.txt", "kesmar.scr", "ondrels.scr", "snap.exe"))
        if names != expected:
            return [f"{archive.name}: holds {names}, expected {expected}"]
        z.extractall(scratch)
        root = pathlib.Path(scratch) / folder
        for program in ("ondrels.scr", "snap.exe", "kesmar.scr"):
            machine = machine_of((root / program).read_bytes())
            if machine != MACHINES[arch]:
                problems.append(f"{archive.name}: {program} is for machine {machine!r}, expected {MACHINES[arch]:#x}")
        guide = (root / "GUIDE.txt").read_bytes()
        if b"\n" in guide.replace(b"\r\n", b""):
            problems.append(f"{archive.name}: GUIDE.txt has lines without Windows line ends")
        text = guide.decode("ascii")
        for needed in ("ondrels.scr", "snap.exe", "kesmar.scr", "ondrels.INI", "kesmar.INI", "Install", version, arch,
                       f"savers-{version}-setup.exe", "uninstall.exe", "/PURGE"):
            if needed not in text:
                problems.append(f"{archive.name}: GUIDE.txt does not mention {needed}")
        if "@" in text:
            problems.append(f"{archive.name}: GUIDE.txt has an unfilled place-holder")
    return problems


def check_installer(installers, archives):
    names = [f.name for f in installers]
    versions = {re.sub(r"savers-(.*)-win\d+\.zip", r"\1", a.name) for a in archives}
    if len(installers) != 1 or [f"savers-{v}-setup.exe" for v in versions] != names:
        return [f"expected one installer of the archives' version {sorted(versions)}, got {names}"]
    machine = machine_of(installers[0].read_bytes())
    if machine != MACHINES["win32"]:
        return [f"{names[0]} is for machine {machine!r}, not a 32-bit Windows program"]
    return []


def main(paths):
    files = [pathlib.Path(p) for p in paths]
    archives = [f for f in files if f.suffix == ".zip"]
    arches = sorted(re.sub(r".*-(win\d+)\.zip", r"\1", a.name) for a in archives)
    problems = [] if arches == ["win32", "win64"] else [f"expected one win32 and one win64 archive, got {arches}"]
    for archive in archives:
        problems += check(archive)
    problems += check_installer([f for f in files if f.suffix != ".zip"], archives)
    for p in problems:
        print("release:", p)
    if not problems:
        print("release: " + ", ".join(f.name for f in files) + " hold what they should")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
