#include "tools/e2e-driver/StatusWatch.h"

#include <algorithm>

#include "app/StatusStrings.h"
#include "tools/e2e-driver/WindowText.h"

namespace e2e {

bool StatusWatch::Load(const std::string& exe, std::string& error) {
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        error = "cannot read " + exe + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    for (int code : kStatusCodes) {
        const wchar_t* text = nullptr;
        const int length = LoadStringW(module, StatusStringId(code), reinterpret_cast<LPWSTR>(&text), 0);
        if (length > 0) reading_.SetText(code, Utf8(text, length));
    }
    FreeLibrary(module);
    return true;
}

void StatusWatch::Look(HWND info, double nowMs) {
    open_ = info != nullptr;
    if (!info) return;
    seen_ = true;
    const int code = reading_.Observe(TextOf(GetDlgItem(info, IDC_INFO_STATUS)), keepAlives_.load());
    if (!code) return;
    // The box is redrawn at the bridge's next refresh of the window, which can come after
    // the rest of the work that changed the code (the commands it sent, the reports it
    // wrote): the new text is only known to follow the previous one.
    const double seen = std::max(nowMs, recorder_.NowMs());  // the box answered just now
    recorder_.AddBetween(lastSeen_, seen, "status", std::to_string(code) + " " + reading_.TextOf(code));
    lastSeen_ = seen;
}

}  // namespace e2e
