#!/usr/bin/env python3
"""Fails when the program would load any of the named libraries before main (ldd lists what the
dynamic linker loads at start, dependencies of dependencies included).

Usage: check_lazy_libraries.py PROGRAM SONAME...
"""
import subprocess
import sys


def main():
    program, sonames = sys.argv[1], sys.argv[2:]
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
