#!/usr/bin/env python3
"""Builds Bridger's resources from res/resources.py.

Writes into OUT_DIR:
  ResourceTables.cpp  the tables behind res/ResourceTables.h (headless backend)
  Bridger.rc          the resource script for windres, one LANGUAGE block per language
  Bridger.manifest    the application manifest the script builds in
  *.ico               the icons, drawn here

Usage: resgen.py SOURCE_DIR OUT_DIR
"""
import os
import sys

# The parts live in tools/resgen/ beside this script; the build runs it from the source
# tree, which is kept free of compiled caches.
sys.dont_write_bytecode = True

from resgen.cpp_tables import write_cpp
from resgen.icons import write_ico
from resgen.model import Resources, load_data, load_ids
from resgen.rc_script import write_manifest, write_rc


def write(path, data):
    # Always written, so that the build sees every output as newer than its inputs.
    if isinstance(data, str):
        data = data.encode("utf-8")
    with open(path, "wb") as f:
        f.write(data)


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    source_dir, out_dir = argv[1], argv[2]
    os.makedirs(out_dir, exist_ok=True)
    r = Resources(load_data(source_dir), load_ids(source_dir))
    write(os.path.join(out_dir, "ResourceTables.cpp"), write_cpp(r))
    write(os.path.join(out_dir, "Bridger.rc"), write_rc(r, out_dir))
    write(os.path.join(out_dir, "Bridger.manifest"), write_manifest(r.manifest))
    for _, _, icon in r.icons:
        write(os.path.join(out_dir, icon["file"]), write_ico(icon, r.icon_sizes))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
