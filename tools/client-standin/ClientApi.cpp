#include "tools/client-standin/ClientApi.h"

#include "client/ClientTexts.h"

namespace clientapi {

bool ApiWindows::Open(const char* className, Listener& listener, std::string& error) {
    className_ = className;
    listener_ = &listener;
    for (int kind = 0; kind < kKinds; ++kind) {
        discover_[kind] = RegisterWindowMessageA(client::kDiscoverNames[kind]);
        attach_[kind] = RegisterWindowMessageA(client::kAttachNames[kind]);
        if (!discover_[kind] || !attach_[kind]) {
            error = "cannot register the client's messages";
            return false;
        }
    }
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className_.c_str();
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        error = "cannot register the client's window class";
        return false;
    }
    return true;
}

HWND ApiWindows::Create(const char* title) const {
    return CreateWindowA(className_.c_str(), title, WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                         GetModuleHandleA(nullptr), const_cast<ApiWindows*>(this));
}

void ApiWindows::PostAttach(HWND bridge, int kind, HWND from, long status) const {
    PostMessageA(bridge, attach_[kind], reinterpret_cast<WPARAM>(from), static_cast<LPARAM>(status));
}

LRESULT CALLBACK ApiWindows::Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    const auto* self = reinterpret_cast<const ApiWindows*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self || !self->listener_) return DefWindowProcA(window, message, wparam, lparam);
    for (int kind = 0; kind < kKinds; ++kind) {
        if (message == 0 || message != self->discover_[kind]) continue;
        self->listener_->OnDiscover(window, kind, reinterpret_cast<HWND>(wparam));
        return 0;
    }
    if (message == WM_COPYDATA)
        return self->listener_->OnCopyData(window, reinterpret_cast<HWND>(wparam),
                                           reinterpret_cast<const COPYDATASTRUCT*>(lparam));
    if (self->listener_->OnOther(window, message, wparam, lparam)) return 0;
    return DefWindowProcA(window, message, wparam, lparam);
}

std::string CopyDataText(const COPYDATASTRUCT* block) {
    const char* bytes = block ? static_cast<const char*>(block->lpData) : nullptr;
    std::size_t length = 0;
    while (bytes && length < block->cbData && bytes[length] != '\0') ++length;
    return std::string(bytes ? bytes : "", length);
}

bool SendCopyData(HWND bridge, HWND from, const void* bytes, DWORD size, UINT timeoutMs) {
    COPYDATASTRUCT block;
    block.dwData = 0;
    block.cbData = size;
    block.lpData = const_cast<void*>(bytes);
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(bridge, WM_COPYDATA, reinterpret_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&block),
                               SMTO_NORMAL, timeoutMs, &result) != 0;
}

}  // namespace clientapi
