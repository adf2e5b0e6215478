// The bridge's status as a user sees it: the information window's STATUS box, read at
// every look while the window is open, written as `status N TEXT` when it changes.
#pragma once
#include <atomic>
#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "tools/e2e-driver/StatusReading.h"
#include "tools/e2e-driver/Recorder.h"

namespace e2e {

class StatusWatch {
public:
    // keepAlives: the keep-alive reports the virtual base has heard so far.
    StatusWatch(Recorder& recorder, const std::atomic<unsigned long>& keepAlives)
        : recorder_(recorder), keepAlives_(keepAlives) {}
    // The status texts from the executable's string table, in the session's language.
    bool Load(const std::string& exe, std::string& error);
    // One look at the box of `info` (null: the window is not open) at nowMs.
    void Look(HWND info, double nowMs);
    // The window was open once and is not now: the box cannot be read.
    bool Closed() const { return seen_ && !open_; }

private:
    Recorder& recorder_;
    const std::atomic<unsigned long>& keepAlives_;
    StatusReading reading_;
    double lastSeen_ = 0;  // when the last status line was seen
    bool seen_ = false;
    bool open_ = false;
};

}  // namespace e2e
