#include "platform/win32/Win32System.h"

#include "platform/win32/Win32Api.h"

#if defined(_MSC_VER)
#pragma warning(disable : 4996)  // GetVersionExA: the version the program is told is the one wanted
#endif

namespace win32 {

plat::TimeOfDay Win32System::LocalTime() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    plat::TimeOfDay t;
    t.hour = now.wHour;
    t.minute = now.wMinute;
    t.second = now.wSecond;
    return t;
}

plat::OsVersion Win32System::Version() {
    // The version the system reports to this program: up to 10.0, which its manifest declares.
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    plat::OsVersion v;
    if (GetVersionExA(&info)) {
        v.major = info.dwMajorVersion;
        v.minor = info.dwMinorVersion;
    }
    return v;
}

std::string ArgumentsOf(const char* commandLine) {
    if (!commandLine) return std::string();
    const char* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t') ++p;
    }
    while (*p == ' ' || *p == '\t') ++p;
    return std::string(p);
}

std::string Win32System::CommandLine() { return ArgumentsOf(GetCommandLineA()); }

void Win32System::InitCommonControls() { ::InitCommonControls(); }

plat::Handle Win32System::CreateMutex(const std::string& name, bool initiallyOwned, bool& alreadyExists) {
    // Only what holding and releasing it takes: full access to the mutex of an elevated
    // bridge is refused, where these rights may still be.
    const DWORD access = SYNCHRONIZE | MUTEX_MODIFY_STATE;
    HANDLE mutex = CreateMutexExA(nullptr, name.c_str(), initiallyOwned ? CREATE_MUTEX_INITIAL_OWNER : 0, access);
    const DWORD error = GetLastError();
    alreadyExists = mutex ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
    return reinterpret_cast<plat::Handle>(mutex);
}

void Win32System::ReleaseMutex(plat::Handle mutex) {
    if (mutex != plat::kNullHandle) ::ReleaseMutex(reinterpret_cast<HANDLE>(mutex));
}

void Win32System::CloseHandle(plat::Handle handle) {
    if (handle != plat::kNullHandle && handle != plat::kInvalidHandle) ::CloseHandle(reinterpret_cast<HANDLE>(handle));
}

void Win32System::ShellOpen(plat::WindowHandle owner, const std::string& target) {
    ShellExecuteA(reinterpret_cast<HWND>(owner), "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace win32
