#!/usr/bin/env python3
"""Checks MinGW-w64 objects of the module against the host's SDK library: every SDK function the
objects import (their __imp_ references to C++ names) must be one the import library exports, by
name and parameter types, and the objects must define exports, getPlugin and deleteMe. The two
compilers mangle differently (GCC as the Itanium ABI says, MSVC its own way), so both sides are
demangled and brought to one spelling first.
Usage: host_sdk_imports.py PLUGINSDK_LIB OBJECT... ; prints what it checked, exits 1 on a mismatch."""
import re
import subprocess
import sys

REQUIRED = ("exports", "getPlugin", "deleteMe")


def symbols(files, *options):
    """(kind, name) of every symbol llvm-nm lists in the files."""
    listing = subprocess.run(["llvm-nm-14", *options, *files], capture_output=True, text=True, check=True).stdout
    found = []
    for line in listing.splitlines():
        fields = line.split()
        if len(fields) >= 2 and len(fields[-2]) == 1:
            found.append((fields[-2], fields[-1]))
    return found


def demangle(tool, names):
    """Each name's demangled text, or None where the tool cannot read it."""
    if not names:
        return {}
    if tool == "llvm-cxxfilt-14":
        output = subprocess.run([tool], input="\n".join(names) + "\n", capture_output=True, text=True,
                                check=True).stdout.splitlines()
        return {name: (text if text != name else None) for name, text in zip(names, output)}
    # llvm-undname echoes each name on a line of its own, then its demangling or an error.
    output = subprocess.run([tool], input="\n".join(names) + "\n", capture_output=True, text=True).stdout
    result, lines, i = {}, output.splitlines(), 0
    wanted = set(names)
    while i < len(lines):
        if lines[i] in wanted and i + 1 < len(lines):
            text = lines[i + 1]
            result[lines[i]] = None if text.startswith("error:") else text
            i += 2
        else:
            i += 1
    return result


def normal_form(text):
    """Qualified name, parameter types and const-ness, in one spelling for both compilers."""
    text = re.sub(r"\[abi:[^\]]*\]", "", text)
    text = re.sub(r"\b(public|protected|private):\s*", "", text)
    text = re.sub(r"\b(virtual|static|__cdecl|__ptr64|class|struct|enum|union)\b", " ", text)
    depth, open_at = 0, -1
    for i, c in enumerate(text):
        if c == "<":
            depth += 1
        elif c == ">":
            depth -= 1
        elif c == "(" and depth == 0:
            open_at = i
            break
    if open_at < 0:
        return None
    head = text[:open_at].rstrip()
    # The name is the last word of the head outside template brackets; before it, a return type.
    depth, start = 0, 0
    for i, c in enumerate(head):
        if c == "<":
            depth += 1
        elif c == ">":
            depth -= 1
        elif c == " " and depth == 0:
            start = i + 1
    name = head[start:]
    depth, close_at = 0, -1
    for i in range(open_at, len(text)):
        if text[i] == "(":
            depth += 1
        elif text[i] == ")":
            depth -= 1
            if depth == 0:
                close_at = i
                break
    params = text[open_at + 1:close_at]
    params = params.replace("std::__cxx11::", "std::").replace("__int64", "long long")
    params = re.sub(r"\s+", "", params)
    if params == "void":
        params = ""
    qualifier = "const" if re.search(r"\bconst\b", text[close_at + 1:]) else ""
    return f"{name}({params}){qualifier}"


def main(library, objects):
    exported_names = sorted({name for kind, name in symbols([library]) if name.startswith("?")})
    exported = {normal_form(text) for text in demangle("llvm-undname-14", exported_names).values() if text}

    object_symbols = symbols(objects)
    imported_names = sorted({name[len("__imp_"):] for kind, name in object_symbols
                             if kind == "U" and name.startswith("__imp__Z")})
    imported = demangle("llvm-cxxfilt-14", imported_names)
    defined = {name for kind, name in object_symbols if kind not in ("U", "w", "v")}

    failures = []
    checked = 0
    for name in imported_names:
        text = imported[name]
        if text is None or text.startswith("std::"):
            continue
        checked += 1
        if normal_form(text) not in exported:
            failures.append(f"imported but not exported by {library}: {text}")
    for name in REQUIRED:
        if name not in defined:
            failures.append(f"the objects do not define {name}")
    for failure in failures:
        print(f"check-host-sdk: {failure}")
    return checked, not failures


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    count, ok = main(sys.argv[1], sys.argv[2:])
    if ok:
        print(f"check-host-sdk: {count} imported SDK functions, all exported by the SDK library; "
              f"the objects define {', '.join(REQUIRED)}")
    sys.exit(0 if ok else 1)
