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
