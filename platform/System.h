// Kernel and shell services: time, version, the named mutex, shell open, the command line.
#pragma once
#include <string>

#include "platform/Types.h"

namespace plat {

class System {
public:
    virtual ~System() = default;
    virtual TimeOfDay LocalTime() = 0;
    virtual OsVersion Version() = 0;
    // The arguments after the program name, as one string.
    virtual std::string CommandLine() = 0;
    // Control containment and 3-D controls; nothing to do on most backends.
    virtual void InitCommonControls() = 0;

    // Creates the named mutex, or opens it when it exists (alreadyExists then says so, and
    // the initial ownership is not taken). A mutex that exists but may not be opened (one
    // made by an elevated process) counts as existing, with kNullHandle.
    virtual Handle CreateMutex(const std::string& name, bool initiallyOwned, bool& alreadyExists) = 0;
    virtual void ReleaseMutex(Handle mutex) = 0;
    virtual void CloseHandle(Handle handle) = 0;

    // ShellExecuteA(owner, "open", target, no parameters, no directory, SW_SHOWNORMAL).
    virtual void ShellOpen(WindowHandle owner, const std::string& target) = 0;
};

}  // namespace plat
