// Kernel and shell services: local time, the Windows version, the command line, the named
// mutex and the shell's "open".
#pragma once
#include "platform/System.h"

namespace win32 {

class Win32System : public plat::System {
public:
    plat::TimeOfDay LocalTime() override;
    plat::OsVersion Version() override;
    std::string CommandLine() override;
    void InitCommonControls() override;

    plat::Handle CreateMutex(const std::string& name, bool initiallyOwned, bool& alreadyExists) override;
    void ReleaseMutex(plat::Handle mutex) override;
    void CloseHandle(plat::Handle handle) override;

    void ShellOpen(plat::WindowHandle owner, const std::string& target) override;
};

// The command line without the program name, as WinMain receives it.
std::string ArgumentsOf(const char* commandLine);

}  // namespace win32
