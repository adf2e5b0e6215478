// Framework threads on CreateThread.
#pragma once
#include <map>

#include "platform/Threads.h"
#include "platform/win32/Win32Api.h"

namespace win32 {

// A thread object lives until the process ends (the bridge never deletes its one thread),
// so its start block is never freed either.
class Win32Threads : public plat::Threads {
public:
    plat::Handle CreateSuspended(plat::WinThread& thread) override;
    void Resume(plat::Handle thread) override;
    void Suspend(plat::Handle thread) override;
    int RunMessageLoop() override;

private:
    struct Start {
        plat::WinThread* thread;
        HANDLE initialised;  // manual-reset: set once InitInstance has returned
    };
    static DWORD WINAPI Entry(LPVOID start);
    std::map<HANDLE, Start*> starts_;
};

}  // namespace win32
