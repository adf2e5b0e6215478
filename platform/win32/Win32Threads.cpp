#include "platform/WinThread.h"
#include "platform/win32/Win32Threads.h"

namespace win32 {

DWORD WINAPI Win32Threads::Entry(LPVOID parameter) {
    Start* start = static_cast<Start*>(parameter);
    MSG msg;
    PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // the thread's queue exists from here on
    const bool ok = start->thread->InitInstance();
    SetEvent(start->initialised);
    if (!ok) return static_cast<DWORD>(start->thread->ExitInstance());
    return static_cast<DWORD>(start->thread->Run());
}

plat::Handle Win32Threads::CreateSuspended(plat::WinThread& thread) {
    HANDLE initialised = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!initialised) return plat::kNullHandle;
    Start* start = new Start{&thread, initialised};
    DWORD id = 0;
    HANDLE handle = CreateThread(nullptr, 0, &Entry, start, CREATE_SUSPENDED, &id);
    if (!handle) {
        CloseHandle(initialised);
        delete start;
        return plat::kNullHandle;
    }
    starts_[handle] = start;
    return reinterpret_cast<plat::Handle>(handle);
}

void Win32Threads::Resume(plat::Handle thread) {
    HANDLE handle = reinterpret_cast<HANDLE>(thread);
    if (ResumeThread(handle) != 1) return;  // still suspended, or failed
    auto it = starts_.find(handle);
    if (it == starts_.end()) return;
    HANDLE initialised = it->second->initialised;
    // Wait for InitInstance, but keep answering messages sent to this thread's windows,
    // so a start-up that sends one cannot deadlock.
    while (MsgWaitForMultipleObjects(1, &initialised, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void Win32Threads::Suspend(plat::Handle thread) { SuspendThread(reinterpret_cast<HANDLE>(thread)); }

int Win32Threads::RunMessageLoop() {
    MSG msg;
    while (true) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return -1;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace win32
