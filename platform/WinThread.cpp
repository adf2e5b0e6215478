#include "platform/WinThread.h"

#include "platform/Platform.h"

namespace plat {

int WinThread::Run() {
    const int code = threads().RunMessageLoop();
    ExitInstance();
    return code;
}

bool WinThread::CreateThreadSuspended() {
    handle_ = threads().CreateSuspended(*this);
    return handle_ != kNullHandle;
}

void WinThread::ResumeThread() {
    if (handle_ != kNullHandle) threads().Resume(handle_);
}

void WinThread::SuspendThread() {
    if (handle_ != kNullHandle) threads().Suspend(handle_);
}

}  // namespace plat
