// The base of a framework thread object (the device link's thread).
#pragma once
#include "platform/Types.h"

namespace plat {

class WinThread {
public:
    virtual ~WinThread() = default;

    // Runs on the new thread first; false ends the thread.
    virtual bool InitInstance() { return true; }
    // Runs on the new thread after InitInstance: an idle message loop.
    virtual int Run();
    virtual int ExitInstance() { return 0; }

    // Creates the thread suspended (normal priority, default stack).
    bool CreateThreadSuspended();
    // Resumes it; returns once InitInstance has run on it.
    void ResumeThread();
    void SuspendThread();
    Handle ThreadHandle() const { return handle_; }

private:
    Handle handle_ = kNullHandle;
};

}  // namespace plat
