// Framework threads: created suspended, resumed once, suspended at exit.
#pragma once
#include "platform/Types.h"

namespace plat {

class WinThread;

class Threads {
public:
    virtual ~Threads() = default;
    // Creates the thread suspended, normal priority, default stack; kNullHandle on failure.
    virtual Handle CreateSuspended(WinThread& thread) = 0;
    // Resumes the thread and returns once its InitInstance has finished, so that start-up
    // work on the new thread never overlaps the caller's next steps.
    virtual void Resume(Handle thread) = 0;
    virtual void Suspend(Handle thread) = 0;
    // The calling thread's ordinary message loop, until it is told to quit.
    virtual int RunMessageLoop() = 0;
};

}  // namespace plat
