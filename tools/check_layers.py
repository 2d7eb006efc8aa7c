#!/usr/bin/env python3
"""Checks that every #include in src/ follows the layering of the core.

    python3 tools/check_layers.py [SRC_DIR]

Each folder of src/ may include its own headers and those of the folders it
stands on (LAYERS below, the same order as src/CMakeLists.txt).  Prints every
include against it and exits 1 when there is one.
"""
import pathlib
import re
import sys

# Each folder and the folders it may use.
LAYERS = {
    "common": [],
    "platform": ["common"],
    "codec": ["platform", "common"],
    "form": ["codec", "platform", "common"],
    "settings": ["codec", "platform", "common"],
    "external": ["codec", "platform", "common"],
    "workspace": ["external", "form", "settings", "codec", "platform", "common"],
    "ui": ["workspace", "external", "form", "settings", "codec", "platform", "common"],
    "app": ["ui", "workspace", "external", "form", "settings", "codec", "platform", "common"],
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/')


def violations(src):
    for folder, uses in LAYERS.items():
        allowed = set(uses) | {folder}
        for path in sorted((src / folder).glob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            for number, line in enumerate(path.read_text(encoding="latin-1").splitlines(), 1):
                match = INCLUDE.match(line)
                if match and match.group(1) in LAYERS and match.group(1) not in allowed:
                    yield f"{path}:{number}: {folder}/ may not include {match.group(1)}/"


def main():
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent / "src")
    found = list(violations(src))
    for line in found:
        print(line)
    unknown = sorted(p.name for p in src.iterdir() if p.is_dir() and p.name not in LAYERS)
    for name in unknown:
        print(f"{src / name}: a folder of no layer; add it to LAYERS")
    return 1 if found or unknown else 0


if __name__ == "__main__":
    sys.exit(main())
