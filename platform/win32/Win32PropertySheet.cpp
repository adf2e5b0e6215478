// Modeless property sheets: PropertySheetW with one page from a dialog template, the page's
// messages routed to its plat::Dialog through the common dispatch.
#include <algorithm>
#include <vector>

#include "platform/Dialog.h"
#include "platform/win32/Win32Text.h"
#include "platform/win32/Win32Windows.h"

namespace win32 {

namespace {

Win32Windows* g_sheetWindows = nullptr;
// Open modeless sheets: their keyboard handling needs the sheet's own dialog check.
std::vector<HWND> g_sheets;

// The template's width and height in its own dialog units; false when it cannot be read.
bool TemplateSize(HINSTANCE instance, int templateId, int& width, int& height) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5));  // RT_DIALOG
    const WORD* words = found ? static_cast<const WORD*>(LockResource(LoadResource(instance, found))) : nullptr;
    if (!words) return false;
    // DLGTEMPLATEEX starts with version 1 and signature 0xFFFF; its size sits 8 bytes later.
    const bool extended = words[0] == 1 && words[1] == 0xFFFF;
    const WORD* size = words + (extended ? 11 : 7);
    width = static_cast<short>(size[0]);
    height = static_cast<short>(size[1]);
    return width > 0 && height > 0;
}

// The sheet measures its pages in its own font, the page lays out its controls in the font
// its template names; a page whose font is larger would be cut off at the sheet's edge. The
// page, its tab and the sheet grow by what the page lacks, the sheet's buttons move along.
void FitSheetToPage(HWND sheet, HINSTANCE instance, int pageTemplateId) {
    HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    HWND tab = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
    int width = 0, height = 0;
    if (!page || !tab || !TemplateSize(instance, pageTemplateId, width, height)) return;
    RECT needed = {0, 0, width, height};
    MapDialogRect(page, &needed);
    RECT has;
    GetClientRect(page, &has);
    const int dx = std::max(0L, needed.right - has.right);
    const int dy = std::max(0L, needed.bottom - has.bottom);
    if (dx == 0 && dy == 0) return;

    auto grow = [dx, dy](HWND window) {
        RECT r;
        GetWindowRect(window, &r);
        SetWindowPos(window, nullptr, 0, 0, r.right - r.left + dx, r.bottom - r.top + dy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    for (HWND child = GetWindow(sheet, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (child == tab || child == page) continue;
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(child, nullptr, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    grow(tab);
    grow(page);
    grow(sheet);
}

}  // namespace

INT_PTR CALLBACK Win32Windows::PageProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (!g_sheetWindows) return FALSE;
    if (message == WM_INITDIALOG) {
        // A page is initialised with its PROPSHEETPAGEW; the dialog rides in its lParam.
        const PROPSHEETPAGEW* page = reinterpret_cast<const PROPSHEETPAGEW*>(lparam);
        lparam = page ? page->lParam : 0;
    }
    return g_sheetWindows->Dispatch(window, message, wparam, lparam);
}

plat::WindowHandle Win32Windows::CreateModelessSheet(const std::string& caption, int pageTemplateId,
                                                     plat::Dialog& page, plat::WindowHandle parent) {
    g_sheetWindows = this;
    PROPSHEETPAGEW sheetPage = {};
    sheetPage.dwSize = sizeof sheetPage;
    sheetPage.dwFlags = PSP_DEFAULT;
    sheetPage.hInstance = instance_;
    sheetPage.pszTemplate = MAKEINTRESOURCEW(pageTemplateId);
    sheetPage.pfnDlgProc = &Win32Windows::PageProc;
    sheetPage.lParam = reinterpret_cast<LPARAM>(&page);

    const std::wstring title = FromUtf8(caption);
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS | PSH_PROPSHEETPAGE;
    header.hwndParent = reinterpret_cast<HWND>(parent);
    header.hInstance = instance_;
    header.pszCaption = title.c_str();
    header.nPages = 1;
    header.nStartPage = 0;
    header.ppsp = &sheetPage;

    const INT_PTR created = PropertySheetW(&header);
    if (created == 0 || created == -1) return 0;
    HWND sheet = reinterpret_cast<HWND>(created);
    FitSheetToPage(sheet, instance_, pageTemplateId);
    g_sheets.push_back(sheet);
    ShowWindow(sheet, SW_SHOW);
    return reinterpret_cast<plat::WindowHandle>(sheet);
}

bool Win32Windows::TranslateSheetMessage(MSG& msg) {
    g_sheets.erase(std::remove_if(g_sheets.begin(), g_sheets.end(), [](HWND sheet) { return !IsWindow(sheet); }),
                   g_sheets.end());
    for (HWND sheet : g_sheets) {
        if (msg.hwnd != sheet && !IsChild(sheet, msg.hwnd)) continue;
        if (!SendMessageA(sheet, PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(&msg))) return false;
        // OK, Cancel and the close box leave a modeless sheet without a current page: it is
        // done, and its page's window goes with it.
        if (!SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)) DestroyWindow(sheet);
        return true;
    }
    return false;
}

}  // namespace win32
