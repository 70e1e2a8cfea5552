#!/usr/bin/env python3
"""Checks that the shipped programs hold only what they run: no symbol that
only the headless library or the tests' library defines (the software and
tracing surfaces, the INI file store, the built-in desktop, the banner coder,
the host's test stand-ins), and no ...ForTesting function. A symbol that a
library the programs link defines too (an inline function or a vtable that
both emit) is theirs as well and is not counted.

  check_symbols.py --nm NM --not-shipped LIB... --shipped LIB_OR_OBJECT... --programs PROGRAM...
"""
import argparse
import pathlib
import subprocess
import sys


def defined_symbols(nm, path):
    out = subprocess.run([nm, "--defined-only", "-g", str(path)], check=True, capture_output=True, text=True).stdout
    names = set()
    for line in out.splitlines():
        parts = line.split()
        if len(parts) == 3:
            names.add(parts[2])
    return names


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--nm", required=True)
    parser.add_argument("--not-shipped", nargs="+", required=True)
    parser.add_argument("--shipped", nargs="+", required=True)
    parser.add_argument("--programs", nargs="+", required=True)
    args = parser.parse_args()
    # CMake hands an object library's files over as one ;-separated list.
    split = lambda paths: [part for path in paths for part in path.split(";") if part]
    args.not_shipped, args.shipped, args.programs = split(args.not_shipped), split(args.shipped), split(args.programs)

    shipped = set()
    for path in args.shipped:
        shipped |= defined_symbols(args.nm, path)
    foreign = set()
    for path in args.not_shipped:
        foreign |= defined_symbols(args.nm, path)
    foreign -= shipped
    if not foreign:
        print("symbols: the libraries that are not shipped define nothing of their own")
        return 1

    problems = 0
    for program in args.programs:
        held = defined_symbols(args.nm, program)
        found = sorted(held & foreign) + sorted(name for name in held if "ForTesting" in name)
        name = pathlib.Path(program).name
        if found:
            problems += 1
            print(f"symbols: {name} holds what only tools and tests use: {', '.join(found[:12])}"
                  + (" ..." if len(found) > 12 else ""))
        else:
            print(f"symbols: {name}: {len(held)} symbols, none of the {len(foreign)} of tools and tests")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
