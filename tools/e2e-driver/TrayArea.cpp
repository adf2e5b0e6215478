#include "tools/e2e-driver/TrayArea.h"

#include <shellapi.h>

#include "tools/e2e-driver/WindowText.h"

namespace e2e {

namespace {

constexpr const char* kTaskbarClass = "Shell_TrayWnd";

// The record Wine's shell32 sends the taskbar as WM_COPYDATA (dwData is the NIM_ action):
// NOTIFYICONDATA's fields in a fixed layout, texts in UTF-16, then the icon's bitmap.
struct WineTrayRecord {
    LONG owner;
    UINT id;
    UINT flags;
    UINT callbackMessage;
    WCHAR tip[128];
    DWORD state;
    DWORD stateMask;
    WCHAR info[256];
    UINT timeoutOrVersion;
    WCHAR infoTitle[64];
    DWORD infoFlags;
    GUID item;
    UINT iconWidth, iconHeight, iconPlanes, iconBpp;
};

TrayArea* g_area = nullptr;

// A UTF-16 field of the record; never past the field.
template <std::size_t N>
std::string Text(const WCHAR (&field)[N]) {
    std::size_t length = 0;
    while (length < N && field[length]) ++length;
    return Utf8(field, static_cast<int>(length));
}

}  // namespace

TrayArea::~TrayArea() {
    if (window_) DestroyWindow(window_);
    g_area = nullptr;
}

void TrayArea::Open() {
    if (FindWindowA(kTaskbarClass, nullptr)) return;
    g_area = this;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kTaskbarClass;
    if (!RegisterClassA(&wc)) return;
    window_ = CreateWindowA(kTaskbarClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
}

LRESULT CALLBACK TrayArea::Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_COPYDATA && g_area) {
        const COPYDATASTRUCT* block = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
        if (block) g_area->OnRecord(block->dwData, block->lpData, block->cbData);
        return TRUE;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

void TrayArea::OnRecord(ULONG_PTR action, const void* data, DWORD size) {
    if (!data || size < sizeof(WineTrayRecord)) return;
    WineTrayRecord record;
    CopyMemory(&record, data, sizeof record);
    switch (action) {
    case NIM_ADD: recorder_.Add("tray", "add " + ((record.flags & NIF_TIP) ? Text(record.tip) : std::string())); break;
    case NIM_DELETE: recorder_.Add("tray", "remove"); break;
    case NIM_SETVERSION: version4_ = record.timeoutOrVersion >= NOTIFYICON_VERSION_4; break;
    case NIM_MODIFY:
        if (record.flags & NIF_INFO) recorder_.Add("balloon", Text(record.info));
        break;
    default: break;
    }
}

}  // namespace e2e
