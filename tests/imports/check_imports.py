#!/usr/bin/env python3
"""Holds the shipped Windows programs to what their oldest systems offer.

Imports: every DLL one of the system DLLs the programs may use, every function
an entry of the reviewed list (shipped_imports.txt beside this file), and no
delay-loaded imports. A function the list does not hold fails until someone
checks it exists on the build's oldest systems and adds it, or the program
looks it up at run time instead.

Headers: the subsystem and system versions the loader of the oldest system
accepts (4.0 for Windows 95 and NT 4.0, 5.2 for 64-bit Windows XP).

The 32-bit build's processor and arithmetic: no MMX or SSE instruction
(Windows 95 and NT 4.0 run none), and every x87 function of the runtime that
depends on the precision control linked in through a wrapper of
common/win32/x87_double_precision.cpp, which runs it at the precision it was
written for while the program's own arithmetic runs at double precision.

    check_imports.py --objdump OBJDUMP --arch win32|win64 [--list FILE] PROGRAM...

With --installer, the same checks hold the installer, its uninstaller and the
NSIS plug-ins it packs to Windows 95 and NT 4.0, against their own reviewed
list (installer_imports.txt); they may also use OLE32.

    check_imports.py --objdump OBJDUMP --installer FILE...
"""
import argparse
import pathlib
import re
import subprocess
import sys

ALLOWED_DLLS = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "ADVAPI32.DLL", "COMCTL32.DLL",
                "COMDLG32.DLL", "SHELL32.DLL", "MSVCRT.DLL"}
INSTALLER_DLLS = ALLOWED_DLLS | {"OLE32.DLL"}
OLDEST = {"win32": "Windows 95 and Windows NT 4.0", "win64": "64-bit Windows XP"}
HIGHEST_VERSION = {"win32": (4, 0), "win64": (5, 2)}
# The runtime's x87 functions whose results follow the precision control.
X87_RUNTIME_MATH = ["sin", "cos", "tan", "sincos", "pow", "exp", "exp2", "expm1", "log", "log2", "log10",
                    "log1p", "atan", "atan2", "asin", "acos", "sinh", "cosh", "tanh", "cbrt", "hypot",
                    "fmod", "remainder"]


def read_list(path, allowed_dlls=ALLOWED_DLLS):
    """{(DLL, function): set of builds} from the reviewed list."""
    entries = {}
    for number, raw in enumerate(path.read_text(encoding="ascii").splitlines(), 1):
        line = raw.split("#", 1)[0].split()
        if not line:
            continue
        tagged = len(line) >= 3 and line[-1] in OLDEST
        functions = line[1:-1] if tagged else line[1:]
        if not functions:
            raise SystemExit(f"{path}:{number}: expected 'DLL FUNCTION... [win32|win64]', got {raw!r}")
        dll = line[0].upper()
        if dll not in allowed_dlls:
            raise SystemExit(f"{path}:{number}: {line[0]} is not a DLL the programs may import from")
        builds = {line[-1]} if tagged else set(OLDEST)
        for function in functions:
            entries.setdefault((dll, function), set()).update(builds)
    return entries


def read_imports(objdump, program):
    """[(DLL, function)] and the size of the delay-import directory."""
    text = subprocess.run([objdump, "-p", str(program)], check=True, capture_output=True,
                          text=True).stdout
    imports = []
    delay_size = 0
    dll = None
    in_names = False
    for line in text.splitlines():
        delay = re.match(r"Entry [0-9a-f]+ [0-9a-f]+ ([0-9a-f]+) Delay Import Directory", line)
        if delay:
            delay_size = int(delay.group(1), 16)
        name = re.match(r"\tDLL Name: (\S+)", line)
        if name:
            dll = name.group(1).upper()
            continue
        if line.startswith("\tvma:") and "Member-Name" in line:
            in_names = True
            continue
        if in_names:
            fields = line.split()
            if not fields:
                in_names = False
                continue
            # vma, hint or ordinal, name; an import by ordinal has no name.
            function = fields[2] if len(fields) >= 3 and fields[2] != "<none>" else "#" + fields[1]
            imports.append((dll, function))
    return imports, delay_size


def read_versions(headers):
    """{field: value} of the version fields of objdump -p's header part."""
    versions = {}
    for field in ("MajorOSystemVersion", "MinorOSystemVersion", "MajorSubsystemVersion", "MinorSubsystemVersion"):
        found = re.search(rf"^{field}\s+(\d+)", headers, re.MULTILINE)
        versions[field] = int(found.group(1)) if found else None
    return versions


def check_versions(program, arch, objdump):
    text = subprocess.run([objdump, "-p", str(program)], check=True, capture_output=True, text=True).stdout
    v = read_versions(text)
    problems = []
    for kind in ("OSystem", "Subsystem"):
        major, minor = v[f"Major{kind}Version"], v[f"Minor{kind}Version"]
        if major is None or (major, minor) > HIGHEST_VERSION[arch]:
            problems.append(f"{program.name}: asks for {kind.lower()} version {major}.{minor}; "
                            f"{OLDEST[arch]} load up to {'.'.join(map(str, HIGHEST_VERSION[arch]))}")
    return problems


def check_x87_only(program, objdump):
    """MMX and SSE instructions, and unwrapped x87 runtime functions."""
    problems = []
    code = subprocess.run([objdump, "-d", "--no-show-raw-insn", str(program)], check=True,
                          capture_output=True, text=True).stdout
    # The linker places the exception tables (.gcc_except_table) in .text;
    # objdump disassembles their bytes too, which are data, not instructions.
    vector, in_data = [], False
    for line in code.splitlines():
        label = re.match(r"[0-9a-f]+ <(.*)>:$", line)
        if label:
            in_data = label.group(1) == ".gcc_except_table"
        elif not in_data and re.search(r"%(x|y|z)?mm\d", line):
            vector.append(line.strip())
    if vector:
        problems.append(f"{program.name}: {len(vector)} MMX or SSE instructions, e.g. {vector[0]!r}")
    symbols = subprocess.run([objdump, "-t", str(program)], check=True, capture_output=True, text=True).stdout
    defined = set(re.findall(r"\(sec +\d+\).* (\S+)$", symbols, re.MULTILINE))
    for name in X87_RUNTIME_MATH:
        if "_" + name in defined and "___wrap_" + name not in defined:
            problems.append(f"{program.name}: calls the runtime's x87 {name} at the program's precision; "
                            f"wrap it in common/win32/x87_double_precision.cpp")
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--arch", choices=sorted(OLDEST))
    parser.add_argument("--installer", action="store_true",
                        help="the installer, uninstaller and plug-ins (32-bit, Windows 95 and NT 4.0)")
    parser.add_argument("--list", type=pathlib.Path)
    parser.add_argument("programs", nargs="+", type=pathlib.Path)
    args = parser.parse_args()
    if args.installer:
        args.arch = "win32"
    elif args.arch is None:
        parser.error("--arch or --installer is needed")
    allowed_dlls = INSTALLER_DLLS if args.installer else ALLOWED_DLLS
    if args.list is None:
        args.list = pathlib.Path(__file__).resolve().parent / (
            "installer_imports.txt" if args.installer else "shipped_imports.txt")

    reviewed = read_list(args.list, allowed_dlls)
    problems = []
    used = set()
    for program in args.programs:
        imports, delay_size = read_imports(args.objdump, program)
        if delay_size:
            problems.append(f"{program.name}: has delay-loaded imports, which nobody reviewed")
        if not any(dll == "KERNEL32.DLL" for dll, _ in imports):
            problems.append(f"{program.name}: no KERNEL32.DLL imports read; is it a Windows program?")
        for dll, function in imports:
            used.add((dll, function))
            if dll not in allowed_dlls:
                problems.append(f"{program.name}: imports from {dll} ({function}); it may use "
                                f"only {', '.join(sorted(allowed_dlls))}")
            elif args.arch not in reviewed.get((dll, function), set()):
                problems.append(f"{program.name}: imports {dll} {function}, not in {args.list.name} for "
                                f"{args.arch}: check that {OLDEST[args.arch]} have it and list it, "
                                f"or look it up at run time")
        problems += check_versions(program, args.arch, args.objdump)
        if args.arch == "win32":
            problems += check_x87_only(program, args.objdump)
        print(f"imports: {program.name} ({args.arch}): {len(imports)} functions from "
              f"{len({dll for dll, _ in imports})} DLLs")
    unused = sorted(key for key, builds in reviewed.items() if args.arch in builds and key not in used)
    for dll, function in unused:
        print(f"imports: note: {dll} {function} is listed for {args.arch} but no program imports it")
    for problem in problems:
        print("imports: " + problem)
    if not problems:
        what = "installer's files" if args.installer else f"{args.arch} programs"
        print(f"imports: every import of the {what} is reviewed, and they load on {OLDEST[args.arch]}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
