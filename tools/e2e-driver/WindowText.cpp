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

std::string TextOf(HWND window) {
    if (lstrcmpiA(ClassOf(window).c_str(), "Edit") != 0) {
        WCHAR wide[1024] = {};
        const int length = InternalGetWindowText(window, wide, 1024);
        char narrow[4096] = {};
        const int bytes = length > 0 ? WideCharToMultiByte(CP_ACP, 0, wide, length, narrow, sizeof narrow - 1, nullptr, nullptr) : 0;
        return std::string(narrow, bytes > 0 ? static_cast<std::size_t>(bytes) : 0);
    }
    char buffer[1024] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &length))
        return std::string();
    return std::string(buffer, length < sizeof buffer ? length : sizeof buffer - 1);
}

bool Ask(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &answer)) return false;
    result = static_cast<LRESULT>(answer);
    return true;
}

}  // namespace e2e
