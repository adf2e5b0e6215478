#include "tools/e2e-driver/StatusWatch.h"

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
        char text[256] = {};
        if (LoadStringA(module, StatusStringId(code), text, sizeof text) > 0) reading_.SetText(code, text);
    }
    FreeLibrary(module);
    return true;
}

void StatusWatch::Look(HWND info, double sinceMs, double nowMs) {
    open_ = info != nullptr;
    if (!info) return;
    seen_ = true;
    const int previous = reading_.Code();
    const int code = reading_.Observe(TextOf(GetDlgItem(info, IDC_INFO_STATUS)), keepAlives_.load());
    if (!code) return;
    // The keep-alive tells 2 from 8 late: the change may lie anywhere since 8 was seen.
    const double since = previous == STATUS_BASE_FOUND && code == STATUS_READY ? lastSince_ : sinceMs;
    transcript_.AddBetween(since, nowMs, "status", std::to_string(code) + " " + reading_.TextOf(code));
    lastSince_ = since;
}

}  // namespace e2e
