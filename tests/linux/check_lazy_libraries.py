#!/usr/bin/env python3
"""Fails when the program would load any of the named libraries before main (ldd lists what the
dynamic linker loads at start, dependencies of dependencies included).

Usage: check_lazy_libraries.py PROGRAM SONAME...
"""
import ctypes
import subprocess
import sys


def opens(soname):
    try:
        ctypes.CDLL(soname)
    except OSError:
        return False
    return True


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    program, sonames = sys.argv[1], sys.argv[2:]
    # A name no library here answers to would be missing from any listing, and prove nothing.
    unknown = [name for name in sonames if not name or not opens(name)]
    for name in unknown:
        print("no library on this machine opens as %r" % name)
    if unknown:
        return 1
    listing = subprocess.run(["ldd", program], capture_output=True, text=True, check=True).stdout
    loaded = {line.split()[0] for line in listing.splitlines() if line.strip()}
    # An empty or failed listing proves nothing.
    if not any(name.startswith("libc.so") for name in loaded):
        print("ldd listed no libc for %s:\n%s" % (program, listing))
        return 1
    found = sorted(loaded.intersection(sonames))
    for name in found:
        print("%s is loaded at start: %s" % (program, name))
    print("%d of %d libraries loaded at start" % (len(found), len(sonames)))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
