// The debug window's two logs as a user sees them: its lists, newest line on top, read at
// every look while the window is open; each new line becomes a `device-log` or `voip-log`
// line.
#pragma once
#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "tools/e2e-driver/Transcript.h"

namespace e2e {

class LogWatch {
public:
    explicit LogWatch(Transcript& transcript) : transcript_(transcript) {}
    // One look at `debug` (null: not open), found at nowMs after a look at sinceMs.
    void Look(HWND debug, double sinceMs, double nowMs);

private:
    struct List {
        int id;
        const char* kind;
        LRESULT known;  // lines already written
    };
    void Read(HWND list, List& log, double sinceMs, double nowMs);

    Transcript& transcript_;
    HWND window_ = nullptr;
    List logs_[2];
};

}  // namespace e2e
