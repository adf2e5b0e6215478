#!/usr/bin/env python3
"""Builds Bridger's resources from res/resources.py.

Writes into OUT_DIR:
  ResourceTables.cpp  the tables behind res/ResourceTables.h (headless backend)
  Bridger.rc          the resource script for windres, one LANGUAGE block per language
  Bridger.manifest    the application manifest the script builds in
  *.ico               the icons, drawn here

Usage: resgen.py SOURCE_DIR OUT_DIR
"""
import importlib.util
import math
import os
import re
import struct
import sys
import zlib

LANGS = ("en", "zh")
CPP_LANG = {"en": "Lang::English", "zh": "Lang::TraditionalChinese"}
RC_LANG = {"en": "LANG_ENGLISH, SUBLANG_ENGLISH_US",
           "zh": "LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL"}

CPP_KIND = {
    "static": "Static", "static-noprefix": "StaticNoPrefix", "edit": "Edit",
    "listbox": "ListBox", "dropdownlist": "DropDownList", "dropdowncombo": "DropDownCombo",
    "pushbutton": "PushButton", "defpushbutton": "DefPushButton", "autoradio": "AutoRadio",
    "groupbox": "GroupBox", "icon": "Icon",
}
CPP_CONTROL_FLAG = {"hidden": "kHidden", "disabled": "kDisabled", "readonly": "kReadOnly",
                    "border": "kBorder", "group": "kGroup"}
CPP_DIALOG_FLAG = {"popup": "kPopup", "caption": "kCaption", "sysmenu": "kSysMenu",
                   "modalframe": "kModalFrame", "minimizebox": "kMinimizeBox",
                   "visible": "kVisible", "child": "kChild", "disabled": "kWindowDisabled",
                   "appwindow": "kAppWindow"}

# Window class and base styles of each kind in the resource script.
RC_KIND = {
    "static": ("Static", "SS_LEFT"),
    "static-noprefix": ("Static", "SS_LEFT | SS_NOPREFIX"),
    "edit": ("Edit", "ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP"),
    "listbox": ("ListBox", "LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP"),
    "dropdownlist": ("ComboBox", "CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP"),
    "dropdowncombo": ("ComboBox", "CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP"),
    "pushbutton": ("Button", "BS_PUSHBUTTON | WS_TABSTOP"),
    "defpushbutton": ("Button", "BS_DEFPUSHBUTTON | WS_TABSTOP"),
    "autoradio": ("Button", "BS_AUTORADIOBUTTON | WS_TABSTOP"),
    "groupbox": ("Button", "BS_GROUPBOX"),
    "icon": ("Static", "SS_ICON"),
}
RC_CONTROL_FLAG = {"hidden": "NOT WS_VISIBLE", "disabled": "WS_DISABLED",
                   "readonly": "ES_READONLY", "border": "WS_BORDER", "group": "WS_GROUP"}
RC_DIALOG_FLAG = {"popup": "WS_POPUP", "caption": "WS_CAPTION", "sysmenu": "WS_SYSMENU",
                  "modalframe": "DS_MODALFRAME", "minimizebox": "WS_MINIMIZEBOX",
                  "visible": "WS_VISIBLE", "child": "WS_CHILD", "disabled": "WS_DISABLED"}
RC_DIALOG_EXFLAG = {"appwindow": "WS_EX_APPWINDOW"}


def load_data(source_dir):
    path = os.path.join(source_dir, "res", "resources.py")
    loader = importlib.util.spec_from_file_location("bridger_resources", path)
    module = importlib.util.module_from_spec(loader)
    loader.loader.exec_module(module)
    return module


def load_ids(source_dir):
    ids = {}
    with open(os.path.join(source_dir, "res", "resource.h"), encoding="utf-8") as f:
        for line in f:
            m = re.match(r"\s*#define\s+(\w+)\s+\(?(-?\d+)\)?\s*$", line)
            if m:
                ids[m.group(1)] = int(m.group(2))
    return ids


class Resources:
    """The data with every name resolved and every text given per language."""

    def __init__(self, data, ids):
        self.ids = ids
        self.strings = {lang: [] for lang in LANGS}  # [(name, id, text)]
        for name, texts in data.STRINGS:
            for lang in LANGS:
                self.strings[lang].append((name, self.id(name), texts.get(lang, texts["en"])))
        self.dialogs = []  # [(lang, dialog dict with resolved texts)]
        for d in data.DIALOGS:
            for lang in d["langs"]:
                self.dialogs.append((lang, self.resolve_dialog(d, lang)))
        self.menus = []  # [(lang, name, id, items)]
        for m in data.MENUS:
            for lang in LANGS:
                self.menus.append((lang, m["id"], self.id(m["id"]), self.resolve_menu(m["items"], lang)))
        self.icons = [(name, self.id(name), icon) for name, icon in data.ICONS]
        self.icon_sizes = tuple(data.ICON_SIZES)
        self.manifest = data.MANIFEST

    def id(self, name):
        if name not in self.ids:
            raise SystemExit("resgen: %s is not defined in res/resource.h" % name)
        return self.ids[name]

    @staticmethod
    def text(value, lang):
        if isinstance(value, dict):
            return value.get(lang, value.get("en"))
        return value

    def resolve_dialog(self, d, lang):
        controls = []
        for name, kind, text, rect, flags in d["controls"]:
            if kind not in CPP_KIND:
                raise SystemExit("resgen: unknown control kind %s" % kind)
            for flag in flags:
                if flag not in CPP_CONTROL_FLAG:
                    raise SystemExit("resgen: unknown control flag %s" % flag)
            icon_name = text["icon"] if isinstance(text, dict) and "icon" in text else None
            controls.append({
                "name": name, "id": self.id(name), "kind": kind,
                "text": "" if icon_name else self.text(text, lang),
                "rect": rect, "flags": flags,
                "icon_name": icon_name, "icon": self.id(icon_name) if icon_name else 0,
            })
        for flag in d["style"]:
            if flag not in CPP_DIALOG_FLAG:
                raise SystemExit("resgen: unknown dialog style %s" % flag)
        return {"name": d["id"], "id": self.id(d["id"]), "caption": self.text(d["caption"], lang),
                "rect": d["rect"], "font": d["font"], "style": d["style"], "controls": controls}

    def resolve_menu(self, items, lang):
        out = []
        for text, target in items:
            if isinstance(target, list):
                out.append((self.text(text, lang), None, 0, self.resolve_menu(target, lang)))
            else:
                out.append((self.text(text, lang), target, self.id(target), []))
        return out


# ---- C++ tables ----

def cpp_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def cpp_flags(flags, table):
    return " | ".join(table[f] for f in flags) if flags else "0u"


def cpp_menu(items, indent):
    lines = []
    for text, _, ident, popup in items:
        if popup:
            lines.append("%s{%s, 0, {\n%s\n%s}}," % (indent, cpp_string(text), cpp_menu(popup, indent + "    "), indent))
        else:
            lines.append("%s{%s, %d, {}}," % (indent, cpp_string(text), ident))
    return "\n".join(lines)


def write_cpp(r):
    out = ["// Generated by tools/resgen.py from res/resources.py. Do not edit.",
           '#include "res/ResourceTables.h"', "", "#include <algorithm>", "",
           "namespace res {", "", "namespace {", "",
           "struct StringEntry {", "    int id;", "    Lang lang;", "    const char* text;", "};", "",
           "const StringEntry kStrings[] = {"]
    for lang in LANGS:
        for name, ident, text in r.strings[lang]:
            out.append("    {%d, %s, %s},  // %s" % (ident, CPP_LANG[lang], cpp_string(text), name))
    out += ["};", "", "const std::vector<DialogTemplate>& Dialogs() {",
            "    static const std::vector<DialogTemplate> dialogs = {"]
    for lang, d in r.dialogs:
        x, y, w, h = d["rect"]
        out.append("        {%d, %s, %s, %d, %d, %d, %d, %s, %d, %s, {  // %s" % (
            d["id"], CPP_LANG[lang], cpp_string(d["caption"] or ""), x, y, w, h,
            cpp_string(d["font"][0]), d["font"][1], cpp_flags(d["style"] + ["setfont"], dict(CPP_DIALOG_FLAG, setfont="kSetFont")),
            d["name"]))
        for c in d["controls"]:
            cx, cy, cw, ch = c["rect"]
            out.append("             {%d, ControlKind::%s, %s, %d, %d, %d, %d, %s, %d},  // %s" % (
                c["id"], CPP_KIND[c["kind"]], cpp_string(c["text"]), cx, cy, cw, ch,
                cpp_flags(c["flags"], CPP_CONTROL_FLAG), c["icon"], c["name"]))
        out.append("         }},")
    out += ["    };", "    return dialogs;", "}", "",
            "struct MenuEntry {", "    int id;", "    Lang lang;", "    std::vector<MenuItem> items;", "};", "",
            "const std::vector<MenuEntry>& Menus() {", "    static const std::vector<MenuEntry> menus = {"]
    for lang, name, ident, items in r.menus:
        out.append("        {%d, %s, {  // %s" % (ident, CPP_LANG[lang], name))
        out.append(cpp_menu(items, "            "))
        out.append("        }},")
    out += ["    };", "    return menus;", "}", "", "}  // namespace", "",
            "const DialogTemplate* FindDialog(int id, Lang lang) {",
            "    const DialogTemplate* other = nullptr;",
            "    for (const DialogTemplate& d : Dialogs()) {",
            "        if (d.id != id) continue;",
            "        if (d.lang == lang) return &d;",
            "        other = &d;",
            "    }",
            "    return other;",
            "}", "",
            "std::string FindString(int id, Lang lang) {",
            "    for (const StringEntry& s : kStrings)",
            "        if (s.id == id && s.lang == lang) return s.text;",
            "    return std::string();",
            "}", "",
            "const std::vector<MenuItem>* FindMenu(int id, Lang lang) {",
            "    for (const MenuEntry& m : Menus())",
            "        if (m.id == id && m.lang == lang) return &m.items;",
            "    return nullptr;",
            "}", "",
            "std::vector<int> DialogIds() {",
            "    std::vector<int> ids;",
            "    for (const DialogTemplate& d : Dialogs())",
            "        if (std::find(ids.begin(), ids.end(), d.id) == ids.end()) ids.push_back(d.id);",
            "    std::sort(ids.begin(), ids.end());",
            "    return ids;",
            "}", "", "}  // namespace res", ""]
    return "\n".join(out)


# ---- application manifest ----

def write_manifest(m):
    supported = ["      <supportedOS Id=\"%s\"/><!-- %s -->" % (guid, name) for name, guid in m["supported_os"]]
    return "\n".join([
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>',
        "<!-- Generated by tools/resgen.py from res/resources.py. Do not edit. -->",
        '<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">',
        "  <dependency>",
        "    <dependentAssembly>",
        '      <assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" version="%s"'
        % m["common_controls"],
        '                        processorArchitecture="*" publicKeyToken="6595b64144ccf1df" language="*"/>',
        "    </dependentAssembly>",
        "  </dependency>",
        '  <trustInfo xmlns="urn:schemas-microsoft-com:asm.v3">',
        "    <security>",
        "      <requestedPrivileges>",
        '        <requestedExecutionLevel level="%s" uiAccess="false"/>' % m["execution_level"],
        "      </requestedPrivileges>",
        "    </security>",
        "  </trustInfo>",
        '  <compatibility xmlns="urn:schemas-microsoft-com:compatibility.v1">',
        "    <application>",
    ] + supported + [
        "    </application>",
        "  </compatibility>",
        '  <application xmlns="urn:schemas-microsoft-com:asm.v3">',
        "    <windowsSettings>",
        '      <dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">%s</dpiAware>'
        % m["dpi_aware"],
        '      <dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">%s</dpiAwareness>'
        % m["dpi_awareness"],
        "    </windowsSettings>",
        "  </application>",
        "</assembly>",
        ""])


# ---- resource script ----

def rc_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '""') + '"'


def rc_dialog(d):
    x, y, w, h = d["rect"]
    style = ["DS_SETFONT"] + [RC_DIALOG_FLAG[s] for s in d["style"] if s in RC_DIALOG_FLAG]
    exstyle = [RC_DIALOG_EXFLAG[s] for s in d["style"] if s in RC_DIALOG_EXFLAG]
    lines = ["%s DIALOG %d, %d, %d, %d" % (d["name"], x, y, w, h),
             "STYLE " + " | ".join(style)]
    if exstyle:
        lines.append("EXSTYLE " + " | ".join(exstyle))
    if d["caption"] is not None:
        lines.append("CAPTION " + rc_string(d["caption"]))
    lines.append("FONT %d, %s" % (d["font"][1], rc_string(d["font"][0])))
    lines.append("BEGIN")
    for c in d["controls"]:
        cls, base = RC_KIND[c["kind"]]
        styles = [base] + [RC_CONTROL_FLAG[f] for f in c["flags"]]
        text = c["icon_name"] if c["icon_name"] else rc_string(c["text"])
        cx, cy, cw, ch = c["rect"]
        lines.append("    CONTROL %s, %s, \"%s\", %s, %d, %d, %d, %d" % (
            text, c["name"], cls, " | ".join(styles), cx, cy, cw, ch))
    lines.append("END")
    return lines


def rc_menu(items, indent):
    lines = []
    for text, name, _, popup in items:
        if popup:
            lines += [indent + "POPUP " + rc_string(text), indent + "BEGIN"]
            lines += rc_menu(popup, indent + "    ")
            lines.append(indent + "END")
        else:
            lines.append("%sMENUITEM %s, %s" % (indent, rc_string(text), name))
    return lines


def write_rc(r, out_dir):
    out = ["// Generated by tools/resgen.py from res/resources.py. Do not edit.",
           "// UTF-8 throughout: the Chinese texts reach the binary as UTF-16.",
           "#pragma code_page(65001)",
           "#include <windows.h>",
           '#include "resource.h"', "",
           "// The icons and the manifest have no language: every UI language finds them.",
           "LANGUAGE LANG_NEUTRAL, SUBLANG_NEUTRAL"]
    manifest = os.path.abspath(os.path.join(out_dir, "Bridger.manifest")).replace("\\", "/")
    # Resource 1 of type 24 (RT_MANIFEST): the manifest Windows reads when the process starts.
    out.append("1 24 %s" % rc_string(manifest))
    for name, _, icon in r.icons:
        path = os.path.abspath(os.path.join(out_dir, icon["file"])).replace("\\", "/")
        out.append("%s ICON %s" % (name, rc_string(path)))
    for lang in LANGS:
        out += ["", "LANGUAGE " + RC_LANG[lang], "", "STRINGTABLE", "BEGIN"]
        for name, _, text in r.strings[lang]:
            out.append("    %s %s" % (name, rc_string(text)))
        out.append("END")
        for dlang, d in r.dialogs:
            if dlang == lang:
                out.append("")
                out += rc_dialog(d)
        for mlang, name, _, items in r.menus:
            if mlang == lang:
                out += ["", name + " MENU", "BEGIN"] + rc_menu(items, "    ") + ["END"]
    out.append("")
    return "\n".join(out)


# ---- icons ----

# Images this large are stored as PNG: a 256-pixel bitmap would add a quarter megabyte.
PNG_FROM = 256

def shade(colour, factor):
    return tuple(max(0, min(255, int(round(c * factor)))) for c in colour)


def icon_sample(u, v, icon):
    """Colour (r, g, b, a) at point (u, v) of the square [-1, 1]^2, y down."""
    r = math.hypot(u, v)
    if r > 0.92:
        return None
    colour = icon["colour"]
    if r > 0.80:
        rgb = shade(colour, 0.55)  # rim
    else:
        # A soft highlight toward the upper left makes the disc read as a lamp.
        light = max(0.0, 1.0 - math.hypot(u + 0.3, v + 0.3) / 0.9)
        rgb = tuple(int(c + (255 - c) * 0.6 * light) for c in colour)
    if icon.get("handset"):
        # A handset across the disc, tilted: grip plus ear and mouth pieces.
        a = math.radians(-35)
        x = u * math.cos(a) - v * math.sin(a)
        y = u * math.sin(a) + v * math.cos(a)
        grip = abs(x) < 0.50 and -0.22 < y < -0.06
        pieces = 0.30 < abs(x) < 0.58 and -0.22 < y < 0.18
        if grip or pieces:
            rgb = (255, 255, 255)
    return rgb + (255,)


def icon_pixels(size, icon):
    """Rows of (r, g, b, a), top row first, drawn at this size (not scaled from another)."""
    # Each pixel averages a grid of samples; the large image needs fewer for smooth edges.
    grid = 4 if size <= 64 else 2
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(grid):
                for sx in range(grid):
                    u = ((px + (sx + 0.5) / grid) / size) * 2 - 1
                    v = ((py + (sy + 0.5) / grid) / size) * 2 - 1
                    s = icon_sample(u, v, icon)
                    if s:
                        for i in range(3):
                            acc[i] += s[i]
                        acc[3] += 255
            n = grid * grid
            covered = acc[3] // 255
            if covered:
                row.append((acc[0] // covered, acc[1] // covered, acc[2] // covered, acc[3] // n))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def bmp_image(size, pixels):
    """The 32-bit image of one size: BITMAPINFOHEADER, BGRA rows bottom-up, AND mask."""
    xor = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for px, (r, g, b, a) in enumerate(row):
            xor += bytes((b, g, r, a))
            if a == 0:
                bits[px // 8] |= 0x80 >> (px % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def png_image(size, pixels):
    """The image as PNG (8-bit RGBA), as icons keep their largest size since Windows Vista."""
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    raw = b"".join(b"\x00" + bytes(c for pixel in row for c in pixel) for row in pixels)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write_ico(icon, sizes):
    images = []
    for size in sizes:
        pixels = icon_pixels(size, icon)
        images.append(png_image(size, pixels) if size >= PNG_FROM else bmp_image(size, pixels))
    out = bytearray(struct.pack("<HHH", 0, 1, len(sizes)))
    offset = 6 + 16 * len(sizes)
    for size, image in zip(sizes, images):
        side = size if size < 256 else 0  # the directory writes 256 as 0
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    return bytes(out)


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
