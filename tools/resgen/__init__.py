"""The parts of tools/resgen.py: the resolved resources (model), the C++ tables of the
headless backend (cpp_tables), the resource script and manifest (rc_script), the icons."""

# Every text is given in these languages (English where a translation is missing).
LANGS = ("en", "zh")
