#include "tools/e2e-driver/WindowsVersion.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace e2e {

namespace {

// Wine's names for the versions a scenario may ask for.
const char* WineName(const plat::OsVersion& os) {
    const unsigned v = os.major * 100 + os.minor;
    switch (v) {
    case 500: return "win2k";
    case 501: return "winxp";
    case 502: return "win2003";
    case 600: return "vista";
    case 601: return "win7";
    case 602: return "win8";
    case 603: return "win81";
    case 1000: return "win10";
    default: return nullptr;
    }
}

}  // namespace

bool SetReportedVersion(const std::string& exe, const plat::OsVersion& os, std::string& error) {
    const char* name = WineName(os);
    if (!name) {
        error = "no Windows version " + std::to_string(os.major) + "." + std::to_string(os.minor) + " to report";
        return false;
    }
    const std::size_t slash = exe.find_last_of("\\/");
    const std::string base = slash == std::string::npos ? exe : exe.substr(slash + 1);
    const std::string key = "Software\\Wine\\AppDefaults\\" + base;
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS) {
        error = "cannot write HKCU\\" + key;
        return false;
    }
    const LONG set = RegSetValueExA(handle, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                                    static_cast<DWORD>(lstrlenA(name) + 1));
    RegCloseKey(handle);
    if (set != ERROR_SUCCESS) {
        error = "cannot write the Version value of HKCU\\" + key;
        return false;
    }
    return true;
}

}  // namespace e2e
