#include "tools/e2e-driver/WindowText.h"

namespace e2e {

namespace {
constexpr DWORD kSendTimeoutMs = 2000;
}

std::string ClassOf(HWND window) {
    char buffer[64] = {};
    GetClassNameA(window, buffer, sizeof buffer);
    return buffer;
}

std::string Utf8(const wchar_t* text, int length) {
    if (!text || length <= 0) return std::string();
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, &out[0], bytes, nullptr, nullptr);
    return out;
}

std::string TextOf(HWND window) {
    wchar_t buffer[1024] = {};
    if (lstrcmpiA(ClassOf(window).c_str(), "Edit") != 0)
        return Utf8(buffer, InternalGetWindowText(window, buffer, 1024));
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &length))
        return std::string();
    return Utf8(buffer, static_cast<int>(length < 1024 ? length : 1023));
}

bool Ask(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &answer)) return false;
    result = static_cast<LRESULT>(answer);
    return true;
}

HWND Descendant(HWND window, int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM param) -> BOOL {
            Search* s = reinterpret_cast<Search*>(param);
            if (GetDlgCtrlID(child) != s->id) return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace e2e
