#!/usr/bin/env python3
"""Checks what tools/resgen.py writes for Windows: the resource script with its two
LANGUAGE blocks, the manifest and the icons; where mingw's windres is installed, also the compiled
resources as Windows reads them (UTF-16 texts, languages, styles, ids).

Usage: resgen_test.py [SOURCE_DIR]
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

SOURCE_DIR = os.path.abspath(sys.argv.pop(1) if len(sys.argv) > 1 else
                             os.path.join(os.path.dirname(__file__), ".."))
WINDRES = shutil.which("x86_64-w64-mingw32-windres")

EN = 0x0409  # LANG_ENGLISH, SUBLANG_ENGLISH_US
ZH = 0x0404  # LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL
NEUTRAL = 0
RT_ICON, RT_MENU, RT_DIALOG, RT_STRING, RT_GROUP_ICON, RT_MANIFEST = 3, 4, 5, 6, 14, 24
WS_VISIBLE, WS_DISABLED, WS_GROUP, WS_BORDER = 0x10000000, 0x08000000, 0x00020000, 0x00800000
WS_CHILD, WS_POPUP, WS_CAPTION, DS_SETFONT = 0x40000000, 0x80000000, 0x00C00000, 0x40
WS_EX_APPWINDOW = 0x00040000
BS_AUTORADIOBUTTON = 9
# windres keeps the class names of CONTROL lines as text; Windows takes either form.
CLASS_ORDINALS = {"BUTTON": 0x80, "EDIT": 0x81, "STATIC": 0x82, "LISTBOX": 0x83, "COMBOBOX": 0x85}


def ids():
    out = {}
    with open(os.path.join(SOURCE_DIR, "res", "resource.h"), encoding="utf-8") as f:
        for line in f:
            parts = line.split()
            if len(parts) == 3 and parts[0] == "#define" and parts[2].lstrip("-").isdigit():
                out[parts[1]] = int(parts[2])
    return out


ID = ids()


def sz_or_ord(data, pos):
    """A name or an ordinal in a resource header or a template; (value, new position)."""
    (first,) = struct.unpack_from("<H", data, pos)
    if first == 0xFFFF:
        return struct.unpack_from("<H", data, pos + 2)[0], pos + 4
    end = pos
    while struct.unpack_from("<H", data, end)[0] != 0:
        end += 2
    return data[pos:end].decode("utf-16-le"), end + 2


def parse_res(data):
    """{(type, name, language): bytes} from a .res file."""
    out = {}
    pos = 0
    while pos < len(data):
        size, header = struct.unpack_from("<II", data, pos)
        rtype, p = sz_or_ord(data, pos + 8)
        name, p = sz_or_ord(data, p)
        p = (p + 3) & ~3
        _, _, lang = struct.unpack_from("<IHH", data, p)
        body = data[pos + header:pos + header + size]
        if size:
            out[(rtype, name, lang)] = body
        pos = (pos + header + size + 3) & ~3
    return out


def string_of(res, ident, lang):
    block = res.get((RT_STRING, ident // 16 + 1, lang))
    if block is None:
        return None
    pos = 0
    for i in range(16):
        (n,) = struct.unpack_from("<H", block, pos)
        text = block[pos + 2:pos + 2 + 2 * n].decode("utf-16-le")
        pos += 2 + 2 * n
        if i == ident % 16:
            return text
    return None


def parse_dialog(body):
    style, exstyle, count, x, y, cx, cy = struct.unpack_from("<IIHhhhh", body, 0)
    p = 18
    _, p = sz_or_ord(body, p)  # menu
    _, p = sz_or_ord(body, p)  # class
    caption, p = sz_or_ord(body, p)
    font = None
    if style & DS_SETFONT:
        (points,) = struct.unpack_from("<H", body, p)
        face, p = sz_or_ord(body, p + 2)
        font = (face, points)
    controls = []
    for _ in range(count):
        p = (p + 3) & ~3
        cstyle, _, x, y, w, h, cid = struct.unpack_from("<IIhhhhH", body, p)
        p += 18
        cls, p = sz_or_ord(body, p)
        cls = CLASS_ORDINALS.get(cls.upper(), cls) if isinstance(cls, str) else cls
        text, p = sz_or_ord(body, p)
        (extra,) = struct.unpack_from("<H", body, p)
        p += 2 + extra
        controls.append({"style": cstyle, "rect": (x, y, w, h), "id": struct.unpack("<h", struct.pack("<H", cid))[0],
                         "class": cls, "text": text})
    return {"style": style, "exstyle": exstyle, "size": (cx, cy), "caption": caption, "font": font,
            "controls": controls}


def parse_menu(body):
    """[(text, id or None, [children])] of a MENU template."""
    pos = 4  # version and header size

    def items():
        nonlocal pos
        out = []
        while True:
            (flags,) = struct.unpack_from("<H", body, pos)
            pos += 2
            ident = None
            if not flags & 0x10:  # MF_POPUP
                (ident,) = struct.unpack_from("<H", body, pos)
                pos += 2
            end = pos
            while struct.unpack_from("<H", body, end)[0]:
                end += 2
            text = body[pos:end].decode("utf-16-le")
            pos = end + 2
            children = items() if flags & 0x10 else []
            out.append((text, ident, children))
            if flags & 0x80:  # MF_END
                return out

    return items()


class Generated(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="resgen-")
        subprocess.run([sys.executable, os.path.join(SOURCE_DIR, "tools", "resgen.py"), SOURCE_DIR, cls.dir],
                       check=True)
        with open(os.path.join(cls.dir, "Bridger.rc"), encoding="utf-8") as f:
            cls.rc = f.read()

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir, ignore_errors=True)

    def test_the_script_is_utf8_with_both_language_blocks(self):
        self.assertIn("#pragma code_page(65001)", self.rc)
        lines = self.rc.splitlines()
        self.assertIn("LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US", lines)
        self.assertIn("LANGUAGE LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL", lines)
        zh = self.rc.index("LANGUAGE LANG_CHINESE")
        self.assertIn('"清除所有註冊話機"', self.rc[zh:])
        self.assertNotIn('"清除所有註冊話機"', self.rc[:zh])

    def test_the_icons_hold_every_size_windows_asks_for(self):
        sizes = [16, 20, 24, 32, 40, 48, 64, 256]
        for name in ("app.ico", "light_off.ico", "about.ico", "light_on.ico"):
            with open(os.path.join(self.dir, name), "rb") as f:
                data = f.read()
            reserved, kind, count = struct.unpack_from("<HHH", data, 0)
            self.assertEqual((reserved, kind, count), (0, 1, len(sizes)), name)
            seen = []
            for i in range(count):
                w, h, _, _, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
                side = w or 256  # the directory writes 256 as 0
                seen.append(side)
                self.assertEqual((w, planes, bits), (h, 1, 32))
                self.assertLessEqual(offset + size, len(data))
                image = data[offset:offset + size]
                if side == 256:
                    # PNG, 256 x 256, 8-bit RGBA
                    self.assertEqual(image[:8], b"\x89PNG\r\n\x1a\n", name)
                    self.assertEqual(struct.unpack_from(">4sIIBB", image, 12), (b"IHDR", 256, 256, 8, 6))
                else:
                    header = struct.unpack_from("<IiiHH", image, 0)
                    self.assertEqual(header, (40, side, 2 * side, 1, 32))
            self.assertEqual(seen, sizes, name)
        with open(os.path.join(self.dir, "light_on.ico"), "rb") as f:
            on = f.read()
        with open(os.path.join(self.dir, "light_off.ico"), "rb") as f:
            off = f.read()
        self.assertNotEqual(on, off)

    def test_the_manifest(self):
        from xml.etree import ElementTree
        self.assertIn('1 24 "', self.rc)
        tree = ElementTree.parse(os.path.join(self.dir, "Bridger.manifest")).getroot()
        asm1, asm3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
        comp = "{urn:schemas-microsoft-com:compatibility.v1}"
        ident = tree.find("%sdependency/%sdependentAssembly/%sassemblyIdentity" % (asm1, asm1, asm1))
        self.assertEqual((ident.get("name"), ident.get("version"), ident.get("publicKeyToken")),
                         ("Microsoft.Windows.Common-Controls", "6.0.0.0", "6595b64144ccf1df"))
        level = tree.find(".//%srequestedExecutionLevel" % asm3)
        self.assertEqual((level.get("level"), level.get("uiAccess")), ("asInvoker", "false"))
        supported = [e.get("Id") for e in tree.iter(comp + "supportedOS")]
        self.assertEqual(supported, ["{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                                     "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"])
        aware = tree.find(".//{http://schemas.microsoft.com/SMI/2005/WindowsSettings}dpiAware")
        awareness = tree.find(".//{http://schemas.microsoft.com/SMI/2016/WindowsSettings}dpiAwareness")
        self.assertEqual(aware.text, "true")  # system-aware where nothing newer is known
        self.assertEqual(awareness.text, "PerMonitorV2, System")


@unittest.skipUnless(WINDRES, "x86_64-w64-mingw32-windres is not installed")
class Compiled(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="resgen-")
        subprocess.run([sys.executable, os.path.join(SOURCE_DIR, "tools", "resgen.py"), SOURCE_DIR, cls.dir],
                       check=True)
        out = os.path.join(cls.dir, "Bridger.res")
        subprocess.run([WINDRES, "-I", os.path.join(SOURCE_DIR, "res"), "-i", os.path.join(cls.dir, "Bridger.rc"),
                        "-O", "res", "-o", out], check=True)
        with open(out, "rb") as f:
            cls.res = parse_res(f.read())

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir, ignore_errors=True)

    def dialog(self, name, lang):
        body = self.res.get((RT_DIALOG, ID[name], lang))
        self.assertIsNotNone(body, "%s in language %04x" % (name, lang))
        return parse_dialog(body)

    def test_strings_load_in_each_language(self):
        self.assertEqual(string_of(self.res, ID["IDS_INCOMMING"], EN), "INCOMMING")
        self.assertEqual(string_of(self.res, ID["IDS_OFF_HOOK"], ZH), "摘機")
        self.assertEqual(string_of(self.res, ID["IDS_OPTIONS"], ZH), "選項")
        # English only, yet in the Chinese block too: a block has no per-string fallback.
        self.assertEqual(string_of(self.res, ID["IDS_ABOUTBOX"], EN), "&About Bridger...")
        self.assertEqual(string_of(self.res, ID["IDS_ABOUTBOX"], ZH), "&About Bridger...")
        for name, ident in ID.items():
            if name.startswith("IDS_"):
                self.assertTrue(string_of(self.res, ident, EN), name)
                self.assertTrue(string_of(self.res, ident, ZH), name)

    def test_each_dialog_exists_in_its_languages_only(self):
        langs = {}
        for (rtype, name, lang) in self.res:
            if rtype == RT_DIALOG:
                langs.setdefault(name, set()).add(lang)
        self.assertEqual(langs, {
            ID["IDD_ABOUTBOX"]: {EN}, ID["IDD_DEBUG"]: {EN}, ID["IDD_BRIDGE"]: {EN},
            ID["IDD_INFO"]: {EN, ZH}, ID["IDD_SETTING"]: {EN, ZH}, ID["IDD_SETUP"]: {ZH},
        })

    def test_the_chinese_settings_page(self):
        d = self.dialog("IDD_SETTING", ZH)
        self.assertEqual(d["caption"], "設定")
        self.assertEqual(d["font"], ("System", 10))
        self.assertEqual(d["size"], (365, 185))
        self.assertTrue(d["style"] & WS_CHILD)
        self.assertFalse(d["style"] & WS_POPUP)
        by_id = {c["id"]: c for c in d["controls"]}
        self.assertEqual(by_id[ID["IDC_DELETE_ALL"]]["text"], "清除所有註冊話機")
        self.assertEqual(by_id[ID["IDC_REGISTER"]]["text"], "註冊")
        self.assertFalse(by_id[ID["IDC_ALL_RESET"]]["style"] & WS_VISIBLE)
        self.assertTrue(by_id[ID["IDC_EXECUTE"]]["style"] & WS_VISIBLE)
        self.assertTrue(by_id[ID["IDC_VERSION_TEXT"]]["style"] & WS_DISABLED)
        self.assertEqual(by_id[ID["IDC_LIGHT"]]["text"], ID["IDI_LIGHT_OFF"])  # the icon by ordinal
        self.assertEqual(by_id[ID["IDC_LIGHT"]]["rect"], (256, 70, 20, 20))
        # One radio group: the flag on the first radio and next on the OK button.
        group = [c["id"] for c in d["controls"] if c["style"] & WS_GROUP]
        self.assertEqual(group, [ID["IDC_DELETE_ALL"], ID["IDC_EXECUTE"]])
        radios = [c["id"] for c in d["controls"] if c["class"] == 0x80 and c["style"] & 0xF == BS_AUTORADIOBUTTON]
        self.assertEqual(len(radios), 7)

    def test_the_hidden_main_dialog_and_the_info_window(self):
        d = self.dialog("IDD_BRIDGE", EN)
        self.assertEqual(d["size"], (2, 2))
        self.assertFalse(d["style"] & WS_VISIBLE)
        self.assertFalse(d["style"] & WS_CAPTION)
        self.assertEqual(d["controls"], [])
        info = self.dialog("IDD_INFO", ZH)
        self.assertEqual([c["text"] for c in info["controls"] if c["class"] == 0x82],
                         ["網路電話", "狀態", "名字"])
        # Its own taskbar button (minimised it goes there), and the keys of its labels.
        for lang in (EN, ZH):
            self.assertEqual(self.dialog("IDD_INFO", lang)["exstyle"], WS_EX_APPWINDOW)
        self.assertEqual([c["text"] for c in self.dialog("IDD_INFO", EN)["controls"] if c["class"] == 0x82],
                         ["&VOIP", "&STATUS", "&NAME"])
        self.assertEqual(d["exstyle"], 0)
        about = self.dialog("IDD_ABOUTBOX", EN)
        self.assertEqual(about["font"], ("MS Sans Serif", 8))
        self.assertEqual(about["controls"][0]["text"], ID["IDI_ABOUT"])

    def test_the_tray_menu(self):
        for lang, texts in ((EN, ["&Info", "Connect", "&Options", "E&xit"]), (ZH, ["資訊", "連線", "選項", "離開"])):
            menu = parse_menu(self.res[(RT_MENU, ID["IDR_TRAY_MENU"], lang)])
            self.assertEqual(len(menu), 1)
            self.assertEqual(menu[0][0], "_TRSY_")
            items = menu[0][2]
            self.assertEqual([i[0] for i in items], texts)
            self.assertEqual([i[1] for i in items], [ID["ID_TRAY_INFO"], None, ID["ID_TRAY_OPTIONS"], ID["ID_TRAY_EXIT"]])
            self.assertEqual([(i[0], i[1]) for i in items[1][2]],
                             [("SKYPE", ID["ID_CONNECT_SKYPE"]), ("SOPHONE", ID["ID_CONNECT_SOPHONE"])])

    def test_the_icons_have_no_language(self):
        for name in ("IDI_APP", "IDI_LIGHT_OFF", "IDI_ABOUT", "IDI_LIGHT_ON"):
            self.assertIn((RT_GROUP_ICON, ID[name], NEUTRAL), self.res, name)

    def test_the_manifest_is_the_one_windows_reads_at_start(self):
        body = self.res.get((RT_MANIFEST, 1, NEUTRAL))
        self.assertIsNotNone(body)
        self.assertIn(b"Microsoft.Windows.Common-Controls", body)
        self.assertEqual([k for k in self.res if k[0] == RT_MANIFEST], [(RT_MANIFEST, 1, NEUTRAL)])


if __name__ == "__main__":
    unittest.main(verbosity=2)
