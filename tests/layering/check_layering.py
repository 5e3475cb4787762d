#!/usr/bin/env python3
"""Fails when portable code reaches a device library or a backend directly.

The portable folders (core, data, graphics, sound, ui, debug under the source root) may
include the platform's interfaces (platform/*.h) but no header of SDL, ALSA, libcdio,
FluidSynth, fontconfig or FreeType, however it is spelt, nothing from a backend folder
(platform/sdl, platform/linux, ...) and nothing from the composition root (app/).

Usage: check_layering.py SOURCE_ROOT   (exit status 1 and one line per fault when any)
"""

import os
import posixpath
import re
import sys

PORTABLE_FOLDERS = ("core", "data", "graphics", "sound", "ui", "debug")
BACKEND_FOLDERS = ("sdl", "alsa", "cdio", "fluidsynth", "freetype", "headless", "linux")
SOURCE_SUFFIXES = (".h", ".hh", ".hpp", ".hxx", ".inl", ".ipp", ".c", ".cc", ".cpp", ".cxx")

# Each device library by the path components its headers are reached through.
DEVICE_HEADERS = [
    ("SDL", re.compile(r"(^|/)sdl[^/]*($|/)", re.IGNORECASE)),
    ("ALSA", re.compile(r"(^|/)(alsa($|/)|asound[^/]*$)", re.IGNORECASE)),
    ("libcdio", re.compile(r"(^|/)cdio[^/]*($|/)", re.IGNORECASE)),
    ("FluidSynth", re.compile(r"(^|/)fluidsynth[^/]*($|/)", re.IGNORECASE)),
    ("fontconfig", re.compile(r"(^|/)fontconfig[^/]*($|/)", re.IGNORECASE)),
    ("FreeType", re.compile(r"(^|/)(ft2build\.h$|freetype[^/]*($|/))", re.IGNORECASE)),
]

# A preprocessor line that names a header: #include, #include_next, __has_include, or a
# #define that some later #include expands.
NAMED_HEADER = re.compile(r"""<([^<>\n]+)>|"([^"\n]+)\"""")
# A #define's quoted text counts only when it names a header: other strings are no includes.
HEADER_FILE = re.compile(r"\.(h|hh|hpp|hxx|inl)$", re.IGNORECASE)
DIRECTIVE = re.compile(r"^\s*#\s*(include_next|include|define|if|elif)\b(.*)$")
MACRO_INCLUDE = re.compile(r"^\s*#\s*include(_next)?\s+([A-Za-z_]\w*)")
HEADER_UNIT = re.compile(r"^\s*(export\s+)?import\s*[<\"]([^>\"]+)[>\"]")


def logical_lines(text):
    """The file's lines with comments removed and continued lines joined, numbered as
    where each begins."""
    text = re.sub(r"/\*.*?\*/", lambda m: " " + "\n" * m.group(0).count("\n"), text, flags=re.DOTALL)
    lines = []
    pending, start = "", 0
    for number, line in enumerate(text.split("\n"), 1):
        line = re.sub(r"//.*", "", line)
        if not pending:
            start = number
        if line.endswith("\\"):
            pending += line[:-1]
            continue
        lines.append((start, pending + line))
        pending = ""
    if pending:
        lines.append((start, pending))
    return lines


def header_faults(header, including_folder, root):
    """What is wrong with including `header` from a file in `including_folder`."""
    faults = []
    for name, pattern in DEVICE_HEADERS:
        if pattern.search(header):
            faults.append("a header of %s" % name)
    # Relative spellings ("../platform/sdl/x.h") count where they lead.
    for base in (including_folder, root):
        target = posixpath.relpath(posixpath.normpath(posixpath.join(base, header)), root)
        parts = target.split("/")
        if len(parts) >= 3 and parts[0] == "platform" and parts[1] in BACKEND_FOLDERS:
            faults.append("the backend folder platform/%s" % parts[1])
            break
        if len(parts) >= 2 and parts[0] == "app":
            faults.append("the composition root app/")
            break
    return faults


def check_file(path, root):
    with open(path, encoding="utf-8", errors="replace") as source:
        text = source.read()
    folder = posixpath.dirname(path)
    faults = []
    for number, line in logical_lines(text):
        named = []
        directive = DIRECTIVE.match(line)
        if directive:
            kind, rest = directive.groups()
            if kind in ("if", "elif") and "__has_include" not in rest:
                continue
            named = [angled or quoted for angled, quoted in NAMED_HEADER.findall(rest)
                     if angled or kind != "define" or HEADER_FILE.search(quoted)]
            macro = MACRO_INCLUDE.match(line)
            if macro and not named:
                faults.append("%s:%d: includes through the macro %s; name the header so it can be checked"
                              % (path, number, macro.group(2)))
        unit = HEADER_UNIT.match(line)
        if unit:
            named.append(unit.group(2))
        for header in named:
            for fault in header_faults(header, folder, root):
                faults.append("%s:%d: %s names %s" % (path, number, header, fault))
    return faults


def check_tree(root):
    root = posixpath.normpath(root)
    faults = []
    for portable in PORTABLE_FOLDERS:
        top = posixpath.join(root, portable)
        for folder, _, files in sorted(os.walk(top)):
            for name in sorted(files):
                if name.endswith(SOURCE_SUFFIXES):
                    faults += check_file(posixpath.join(folder, name), root)
    return faults


def main(argv):
    if len(argv) != 2 or not os.path.isdir(argv[1]):
        print("usage: check_layering.py SOURCE_ROOT", file=sys.stderr)
        return 2
    faults = check_tree(argv[1])
    for fault in faults:
        print(fault)
    if faults:
        print("portable code reaches devices only through the interfaces in platform/*.h", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
