"""res/resources.py read, and every name in it resolved against res/resource.h."""
import importlib.util
import os
import re

from . import LANGS
from .cpp_tables import CPP_CONTROL_FLAG, CPP_DIALOG_FLAG, CPP_KIND


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
