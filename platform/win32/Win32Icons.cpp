#include "platform/win32/Win32Icons.h"

#include <map>
#include <utility>

namespace win32 {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);

// Looked up at run time: Windows 7 to 10 1511 have neither.
template <typename Fn>
Fn User32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

}  // namespace

int IconPixels(HWND window, IconSize size) {
    const int metric = size == IconSize::Small ? SM_CXSMICON : SM_CXICON;
    static const GetDpiForWindowFn dpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    static const GetSystemMetricsForDpiFn metricsForDpi =
        User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    if (window && dpiForWindow && metricsForDpi) {
        if (const UINT dpi = dpiForWindow(window)) return metricsForDpi(metric, dpi);
    }
    return GetSystemMetrics(metric);
}

HICON LoadIconAt(HINSTANCE instance, int iconId, int pixels) {
    // Not LR_SHARED: a shared icon is handed out at whatever size it was first loaded.
    static std::map<std::pair<int, int>, HICON> loaded;
    const std::pair<int, int> key(iconId, pixels);
    auto it = loaded.find(key);
    if (it != loaded.end()) return it->second;
    HICON icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, pixels, pixels, 0));
    if (icon) loaded[key] = icon;
    return icon;
}

}  // namespace win32
