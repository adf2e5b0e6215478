// window-probe templates: every dialog template of an executable, made in this process in
// each of its languages, checked for controls inside it and texts that fit them.
#include "LayoutCheck.h"
#include "Probe.h"

#include <cstdio>
#include <sstream>

namespace probe {

namespace {

INT_PTR CALLBACK QuietProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// String id of the table in that language, or empty.
std::wstring TableString(HMODULE module, int id, WORD lang) {
    HRSRC found = FindResourceExW(module, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(id / 16 + 1), lang);
    if (!found) return std::wstring();
    const WORD* entry = static_cast<const WORD*>(LockResource(LoadResource(module, found)));
    if (!entry) return std::wstring();
    for (int i = 0; i < id % 16; ++i) entry += 1 + *entry;
    return std::wstring(reinterpret_cast<const wchar_t*>(entry + 1), *entry);
}

// DIALOG:CONTROL=STRING[,STRING...]: the control shows one of these strings at run time.
struct Relabel {
    int dialog = 0, control = 0;
    std::vector<int> strings;
};

std::vector<Relabel> Relabels(const std::string& list) {
    std::vector<Relabel> out;
    std::stringstream in(list);
    std::string item;
    while (std::getline(in, item, ';')) {
        Relabel r;
        int used = 0;
        if (std::sscanf(item.c_str(), "%d:%d=%n", &r.dialog, &r.control, &used) != 2 || used == 0) continue;
        std::stringstream ids(item.substr(static_cast<std::size_t>(used)));
        std::string id;
        while (std::getline(ids, id, ',')) r.strings.push_back(std::atoi(id.c_str()));
        if (!r.strings.empty()) out.push_back(r);
    }
    return out;
}

// The widest of the texts in the control's font.
std::wstring Widest(HWND control, const std::vector<std::wstring>& texts) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    std::wstring widest;
    LONG best = -1;
    for (const std::wstring& text : texts) {
        SIZE size = {};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        if (size.cx > best) {
            best = size.cx;
            widest = text;
        }
    }
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return widest;
}

}  // namespace

int TemplatesVerb(const Options& o) {
    if (!o.Has("exe")) return 2;
    HMODULE module = LoadLibraryExA(o.Get("exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        Say("templates: cannot load %s\n", o.Get("exe"));
        return 1;
    }
    struct Found {
        std::vector<std::pair<int, WORD>> dialogs;
    } found;
    EnumResourceNamesW(
        module, MAKEINTRESOURCEW(5),
        [](HMODULE m, LPCWSTR, LPWSTR name, LONG_PTR param) -> BOOL {
            if (!IS_INTRESOURCE(name)) return TRUE;
            struct Ctx {
                Found* found;
                int id;
            } ctx = {reinterpret_cast<Found*>(param), static_cast<int>(reinterpret_cast<ULONG_PTR>(name))};
            EnumResourceLanguagesW(
                m, MAKEINTRESOURCEW(5), name,
                [](HMODULE, LPCWSTR, LPCWSTR, WORD lang, LONG_PTR p) -> BOOL {
                    Ctx* c = reinterpret_cast<Ctx*>(p);
                    c->found->dialogs.push_back({c->id, lang});
                    return TRUE;
                },
                reinterpret_cast<LONG_PTR>(&ctx));
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&found));
    const std::vector<Relabel> relabels = Relabels(o.Get("relabel"));
    // A frame for the templates that are pages (child windows).
    HWND host = CreateWindowExW(0, L"#32770", L"host", WS_POPUP, 0, 0, 2000, 2000, nullptr, nullptr, nullptr, nullptr);
    std::vector<std::string> problems;
    for (const auto& d : found.dialogs) {
        HRSRC res = FindResourceExW(module, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(d.first), d.second);
        const DLGTEMPLATE* templ = res ? static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(module, res))) : nullptr;
        if (!templ) continue;
        HWND dialog = CreateDialogIndirectParamW(module, templ, host, &QuietProc, 0);
        char name[48];
        std::snprintf(name, sizeof name, "dialog %d lang %04x", d.first, d.second);
        if (!dialog) {
            problems.push_back(std::string(name) + ": cannot be made");
            continue;
        }
        for (const Relabel& r : relabels) {
            HWND control = r.dialog == d.first ? GetDlgItem(dialog, r.control) : nullptr;
            if (!control) continue;
            std::vector<std::wstring> texts;
            for (int id : r.strings) texts.push_back(TableString(module, id, d.second));
            SetWindowTextW(control, Widest(control, texts).c_str());
        }
        Say("checked %s\n", name);
        probe::CheckPlacement(dialog, name, false, problems);
        probe::CheckTextFits(dialog, name, problems);
        DestroyWindow(dialog);
    }
    if (host) DestroyWindow(host);
    for (const std::string& p : problems) Say("templates: %s\n", p);
    if (found.dialogs.empty()) Say("templates: no dialog in %s\n", o.Get("exe"));
    return found.dialogs.empty() || !problems.empty() ? 1 : 0;
}

}  // namespace probe
