#!/usr/bin/env python3
"""Writes a view of the host SDK's headers that GCC and MinGW-w64 can compile: every quoted include
becomes a forward-slash path from the include folder, spelled as the file is named, found where the
host's compiler (MSVC) finds it: beside the including file, in the folders above it, or from the
include folder. Files whose text does not change are left untouched, so a rebuild compiles nothing
new. Usage: host_sdk_view.py SDK_INCLUDE_DIR VIEW_DIR"""
import os
import re
import sys

INCLUDE = re.compile(r'^(\s*#\s*include\s*)"([^"]+)"', re.M)


def main(source, view):
    files = {}
    for folder, _, names in os.walk(source):
        for name in names:
            relative = os.path.relpath(os.path.join(folder, name), source).replace(os.sep, "/")
            files[relative.lower()] = relative

    def resolve(including, written):
        written = written.replace("\\", "/")
        folder = os.path.dirname(including)
        bases = []
        while True:
            bases.append(folder)
            if not folder:
                break
            folder = os.path.dirname(folder)
        for base in bases:
            candidate = os.path.normpath(os.path.join(base, written)).replace(os.sep, "/")
            if candidate.lower() in files:
                return files[candidate.lower()]
        return None

    for relative in files.values():
        with open(os.path.join(source, relative), encoding="latin-1") as stream:
            text = stream.read()
        if relative.lower().endswith((".h", ".hpp", ".inl")):
            def rewrite(match):
                found = resolve(relative, match.group(2))
                return match.group(1) + '"' + (found or match.group(2).replace("\\", "/")) + '"'
            text = INCLUDE.sub(rewrite, text)
        target = os.path.join(view, relative)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        if os.path.exists(target):
            with open(target, encoding="latin-1") as stream:
                if stream.read() == text:
                    continue
        with open(target, "w", encoding="latin-1", newline="") as stream:
            stream.write(text)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
