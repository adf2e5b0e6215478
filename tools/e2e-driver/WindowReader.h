// `ui show WINDOW` on the real build: the window's caption and every control of it (of its
// page, for the options sheet), read from outside and written as bridger-sim writes them:
// `WINDOW caption "TEXT"`, then `WINDOW ID "TEXT"` with enabled/disabled, visible/hidden,
// checked, sel=N and items=N where they apply. A list's text is its selection (sel=N) and an
// icon control's is its icon, as in the simulation; which icon cannot be read.
#pragma once
#include <map>
#include <string>
#include <vector>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "tools/e2e-driver/Recorder.h"

namespace e2e {

class WindowReader {
public:
    explicit WindowReader(Recorder& recorder) : recorder_(recorder) {}
    // Reads the window `name` whole and writes its lines.
    void Show(const std::string& name, HWND window);
    // Reads one control again ("caption", or its id) and writes its line if it changed
    // since it was last written. One control, not the window: a read that asks the
    // bridge waits for its message loop.
    void Refresh(const std::string& name, HWND window, const std::string& which);

private:
    Recorder& recorder_;
    std::map<std::string, std::string> last_;  // "WINDOW ID" or "WINDOW caption" -> line written
};

}  // namespace e2e
