#include "tools/e2e-driver/ShellWatch.h"

namespace e2e {

namespace {

constexpr const char* kClass = "BridgerE2eShell";
constexpr const char* kSchemes[] = {"http", "https"};
constexpr DWORD kReportTimeoutMs = 5000;
ShellWatch* g_watch = nullptr;

bool UnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

bool ReadDefault(const std::string& key, std::string& value) {
    char buffer[1024] = {};
    LONG size = sizeof buffer;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), buffer, &size) != ERROR_SUCCESS) return false;
    value = buffer;
    return true;
}

bool WriteDefault(const std::string& key, const std::string& value) {
    return RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, value.c_str(), static_cast<DWORD>(value.size())) ==
           ERROR_SUCCESS;
}

}  // namespace

ShellWatch::~ShellWatch() {
    Restore();
    if (window_) DestroyWindow(window_);
    g_watch = nullptr;
}

bool ShellWatch::Open(const std::string& driverExe) {
    if (!UnderWine()) return false;
    g_watch = this;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClass;
    if (!RegisterClassA(&wc)) return false;
    window_ = CreateWindowA(kClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
    if (!window_) return false;
    const std::string command = "\"" + driverExe + "\" --shell-open \"%1\"";
    for (const char* scheme : kSchemes) {
        Saved saved{std::string(scheme) + "\\shell\\open\\command", std::string(), false};
        saved.existed = ReadDefault(saved.key, saved.command);
        if (!WriteDefault(saved.key, command)) {
            Restore();
            DestroyWindow(window_);
            window_ = nullptr;
            return false;
        }
        saved_.push_back(saved);
    }
    return true;
}

void ShellWatch::Restore() {
    for (const Saved& saved : saved_) {
        if (saved.existed)
            WriteDefault(saved.key, saved.command);
        else
            RegDeleteKeyA(HKEY_CLASSES_ROOT, saved.key.c_str());
    }
    saved_.clear();
}

LRESULT CALLBACK ShellWatch::Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_COPYDATA && g_watch) {
        const COPYDATASTRUCT* block = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
        if (block && block->lpData)
            g_watch->recorder_.Add("shell", std::string(static_cast<const char*>(block->lpData), block->cbData));
        return TRUE;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

int ShellWatch::Report(const std::string& url) {
    HWND driver = FindWindowA(kClass, nullptr);
    if (!driver) return 1;
    COPYDATASTRUCT block = {};
    block.cbData = static_cast<DWORD>(url.size());
    block.lpData = const_cast<char*>(url.data());
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(driver, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&block), SMTO_ABORTIFHUNG,
                               kReportTimeoutMs, &result) ? 0 : 1;
}

}  // namespace e2e
