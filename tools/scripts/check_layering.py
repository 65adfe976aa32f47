#!/usr/bin/env python3
"""Checks that the source tree keeps its layering; prints each breach and exits 1 when any.

  1. A portable file (no adapter suffix) includes no operating-system, toolkit or transport
     header, and no adapter's header.
  2. Dependencies point one way: a folder includes only folders below it (FOLDER_ORDER).
  3. Only entry points reach the process-wide application record (`App()`); everything else is
     handed what it needs.

Usage: check_layering.py [SOURCE_ROOT]   (default: the repository's src/)
"""
import pathlib
import re
import sys

# Bottom first. A folder may include itself and the folders before it, never one after it.
FOLDER_ORDER = ["common", "i18n", "print", "content", "service", "update", "host", "app"]

ADAPTER_SUFFIXES = ["openssl", "curl", "posix", "cups", "qt", "cng", "winhttp", "win32", "webview2"]

# Headers that only an adapter may include.
PLATFORM_HEADER = re.compile(
    r"""^(
        Q[A-Za-z]*(/.*)?|Qt[A-Za-z]*/.*|            # Qt
        curl/.*|openssl/.*|cups/.*|psl\.h|          # transports and system libraries
        unistd\.h|fcntl\.h|sys/.*|pthread\.h|dlfcn\.h|signal\.h|netinet/.*|arpa/.*|
        windows\.h|winhttp\.h|bcrypt\.h|shellapi\.h|winspool\.h|dwmapi\.h|objbase\.h|ole2\.h|
        shlobj\.h|shlwapi\.h|commctrl\.h|gdiplus.*\.h|winreg\.h|wincrypt\.h|winuser\.h|
        combaseapi\.h|unknwn\.h|wrl/.*|urlmon\.h|knownfolders\.h|versionhelpers\.h
    )$""",
    re.VERBOSE,
)

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)
APP_RECORD_CALL = re.compile(r"\bApp\(\)")


def stem_kind(path):
    stem = path.stem
    if stem.endswith("_main"):
        return "entry"
    for suffix in ADAPTER_SUFFIXES:
        if stem.endswith("_" + suffix):
            return "adapter"
    return "portable"


def breaches(root):
    found = []
    for path in sorted(root.rglob("*")):
        if path.suffix not in (".h", ".cpp") or not path.is_file():
            continue
        relative = path.relative_to(root)
        folder = relative.parts[0] if len(relative.parts) > 1 else ""
        kind = stem_kind(path)
        text = path.read_text(encoding="utf-8", errors="replace")
        for match in INCLUDE.finditer(text):
            bracket, header = match.group(1), match.group(2)
            line = text.count("\n", 0, match.start()) + 1
            where = "%s:%d" % (relative, line)
            if kind == "portable":
                if bracket == "<" and PLATFORM_HEADER.match(header):
                    found.append("%s: portable file includes platform header <%s>" % (where, header))
                if bracket == '"' and stem_kind(pathlib.Path(header)) == "adapter":
                    found.append("%s: portable file includes adapter header \"%s\"" % (where, header))
            if bracket == '"' and "/" in header and folder in FOLDER_ORDER:
                target = header.split("/", 1)[0]
                if target in FOLDER_ORDER and FOLDER_ORDER.index(target) > FOLDER_ORDER.index(folder):
                    found.append("%s: %s/ includes %s, a folder above it" % (where, folder, header))
        if kind != "entry" and relative.as_posix() not in ("app/app_record.cpp", "common/app_record.h",
                                                          "common/app_record.cpp",
                                                          "common/app_record.h"):
            for match in APP_RECORD_CALL.finditer(text):
                line = text.count("\n", 0, match.start()) + 1
                found.append("%s:%d: reaches the process-wide record App() below the entry points"
                             % (relative, line))
    return found


def main():
    default = pathlib.Path(__file__).resolve().parents[2] / "src"
    root = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else default
    found = breaches(root)
    for line in found:
        print(line)
    print("layering: %d breach%s" % (len(found), "" if len(found) == 1 else "es"))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
