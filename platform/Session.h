// The user session the process runs in. Several users may be logged in at once (fast user
// switching, remote desktop); only one session at a time has the physical console, the
// screen and keyboard of the machine the base station is plugged into.
#pragma once
#include "platform/Types.h"

namespace plat {

class Session {
public:
    virtual ~Session() = default;
    // Asks that the window get WM_WTSSESSION_CHANGE (0x02B1) when this session comes to the
    // console or leaves it (wparam: WTS_CONSOLE_CONNECT 1, WTS_CONSOLE_DISCONNECT 2,
    // WTS_REMOTE_CONNECT 3, WTS_REMOTE_DISCONNECT 4, and others). False when the system did
    // not take the request (its session service may not be up yet early in a log-in).
    virtual bool Watch(WindowHandle window) = 0;
    virtual void Unwatch(WindowHandle window) = 0;
    // This process's session is the one at the console now.
    virtual bool AtConsole() = 0;
};

}  // namespace plat
