// What the bridge asks the shell to open: for the run, the driver is the Wine prefix's
// handler of web addresses (`e2e-driver --shell-open URL`, which hands the address to the
// running driver's window and ends), and each address becomes a `shell` line. The old
// handlers come back at the end. Only under Wine: a user's Windows keeps its browser.
#pragma once
#include <string>
#include <vector>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "tools/e2e-driver/Recorder.h"

namespace e2e {

class ShellWatch {
public:
    explicit ShellWatch(Recorder& recorder) : recorder_(recorder) {}
    ~ShellWatch();
    ShellWatch(const ShellWatch&) = delete;
    ShellWatch& operator=(const ShellWatch&) = delete;

    // Makes `driverExe` the handler of web addresses; false where it is not ours to change.
    bool Open(const std::string& driverExe);
    bool Ours() const { return window_ != nullptr; }
    // The `--shell-open URL` side: hands the address to the running driver; the exit status.
    static int Report(const std::string& url);

private:
    struct Saved {
        std::string key;
        std::string command;
        bool existed;
    };
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    void Restore();

    Recorder& recorder_;
    HWND window_ = nullptr;
    std::vector<Saved> saved_;
};

}  // namespace e2e
