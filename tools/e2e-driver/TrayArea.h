// The notification area, played by the driver: Wine runs no taskbar without a desktop, so
// the driver's window of the taskbar's class receives what Shell_NotifyIcon hands over
// (the icon added with its tip, balloons, the icon removed) and writes the `tray` and
// `balloon` lines. Where a desktop's own taskbar exists (Windows), it is left alone and
// those lines cannot be seen.
#pragma once
#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "tools/e2e-driver/Recorder.h"

namespace e2e {

class TrayArea {
public:
    explicit TrayArea(Recorder& recorder) : recorder_(recorder) {}
    ~TrayArea();
    TrayArea(const TrayArea&) = delete;
    TrayArea& operator=(const TrayArea&) = delete;

    // Takes the taskbar's place unless one exists; before the bridge starts.
    void Open();
    bool Ours() const { return window_ != nullptr; }
    // The bridge asked for today's callback (version 4) and got it: its menu then opens on
    // WM_CONTEXTMENU. A desktop's own taskbar grants it.
    bool Version4() const { return !Ours() || version4_; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    void OnRecord(ULONG_PTR action, const void* data, DWORD size);

    Recorder& recorder_;
    HWND window_ = nullptr;
    bool version4_ = false;
};

}  // namespace e2e
