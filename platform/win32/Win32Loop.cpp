// The modal loop's wait, which takes the events the bridge watches as well as messages,
// and lets the timers sleep while nothing is due to happen.
#include <algorithm>

#include "platform/win32/Win32Windows.h"

namespace win32 {

namespace {
// PeekMessage's kinds without timers (PM_QS_POSTMESSAGE would take them along).
constexpr UINT kTakeAllButTimers = PM_QS_INPUT | PM_QS_PAINT | PM_QS_SENDMESSAGE | (QS_POSTMESSAGE << 16);
}  // namespace

void Win32Windows::DeferTimers(plat::WindowHandle window, unsigned ms) {
    (void)window;  // the loop's thread has one main dialog; its timers are the ones deferred
    timersDeferred_ = ms > 0;
    timersDueBy_ = GetTickCount() + ms;
}

void Win32Windows::WatchEvent(plat::WindowHandle window, plat::Handle event, unsigned message) {
    UnwatchEvent(window, event);
    if (!window || event == plat::kNullHandle) return;
    watches_.push_back(Watch{ToHwnd(window), reinterpret_cast<HANDLE>(event), message});
}

void Win32Windows::UnwatchEvent(plat::WindowHandle window, plat::Handle event) {
    const HWND hwnd = ToHwnd(window);
    const HANDLE handle = reinterpret_cast<HANDLE>(event);
    watches_.erase(std::remove_if(watches_.begin(), watches_.end(),
                                  [&](const Watch& w) { return w.window == hwnd && w.event == handle; }),
                   watches_.end());
}

// The one place the UI thread waits: for messages and the watched events together, so
// the base's report (its read's event), a client's SendMessage, a click or a timer is
// served as it comes and nothing waits for the base. A set event's message is handed to
// its window here, at the loop's top level, never inside a handler; message boxes and
// menus run the system's loops, which watch no events. Only the event is waited on, never
// the read's block, so the poll may take, free and restart its read at any time. While
// the timers are deferred (a poll waits and the ticks would find nothing to do) the thread
// sleeps until then, waking no more often than the old blocking wait did.
bool Win32Windows::NextMessage(MSG& msg, bool& quit) {
    quit = false;
    for (;;) {
        // A window gone takes its watches along; its events may be closed by now.
        watches_.erase(std::remove_if(watches_.begin(), watches_.end(), [](const Watch& w) { return !IsWindow(w.window); }),
                       watches_.end());
        HANDLE events[MAXIMUM_WAIT_OBJECTS - 1];
        const DWORD count = static_cast<DWORD>(std::min<std::size_t>(watches_.size(), MAXIMUM_WAIT_OBJECTS - 1));
        for (DWORD i = 0; i < count; ++i) events[i] = watches_[i].event;
        DWORD timeout = INFINITE;
        DWORD wakeFor = QS_ALLINPUT;
        UINT take = PM_REMOVE;
        const LONG deferredFor = static_cast<LONG>(timersDueBy_ - GetTickCount());
        if (timersDeferred_ && deferredFor > 0) {
            timeout = static_cast<DWORD>(deferredFor);
            wakeFor &= ~QS_TIMER;
            take |= kTakeAllButTimers;
        } else {
            timersDeferred_ = false;
        }
        // An event comes first when both are ready: it has the lower index.
        const DWORD woke = MsgWaitForMultipleObjectsEx(count, events, timeout, wakeFor, MWMO_INPUTAVAILABLE);
        if (woke < WAIT_OBJECT_0 + count) {
            const Watch set = watches_[woke - WAIT_OBJECT_0];
            SendMessageW(set.window, set.message, 0, 0);  // this thread's window: a direct call
            continue;
        }
        if (woke == WAIT_TIMEOUT) continue;  // the deferral is over: the due timers come now
        if (woke == WAIT_FAILED) {
            // A watched handle went bad: messages alone, as an ordinary loop waits.
            watches_.clear();
            timersDeferred_ = false;
            const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            quit = got == 0;
            return got > 0;
        }
        // Sent messages are handled inside PeekMessage; only a posted one comes back.
        if (PeekMessageW(&msg, nullptr, 0, 0, take)) {
            quit = msg.message == WM_QUIT;
            return !quit;
        }
    }
}

}  // namespace win32
