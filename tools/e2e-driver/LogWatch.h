// The debug window's two logs as a user sees them: its lists, newest line on top, read at
// every look while the window is open; each new line becomes a `device-log` or `voip-log`
// line.
#pragma once
#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "tools/e2e-driver/Recorder.h"

namespace e2e {

class LogWatch {
public:
    explicit LogWatch(Recorder& recorder) : recorder_(recorder) {}
    // One look at `debug` (null: not open) after a look at sinceMs.
    void Look(HWND debug, double sinceMs);

private:
    struct List {
        int id;
        const char* kind;
        LRESULT known;     // lines already written
        double askedMs;    // when the count those lines were read at was asked for
    };
    void Read(HWND list, List& log);

    Recorder& recorder_;
    HWND window_ = nullptr;
    List logs_[2];
};

}  // namespace e2e
