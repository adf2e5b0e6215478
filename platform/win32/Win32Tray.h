// The notification-area icon through Shell_NotifyIconW, and the popup menu shown from it.
#pragma once
#include "platform/Tray.h"
#include "platform/win32/Win32Api.h"

namespace win32 {

class Win32Tray : public plat::Tray {
public:
    explicit Win32Tray(HINSTANCE instance) : instance_(instance) {}

    bool AddIcon(plat::WindowHandle owner, unsigned iconId, unsigned callbackMessage, int iconResource,
                 const std::string& tip) override;
    bool RemoveIcon(plat::WindowHandle owner, unsigned iconId) override;
    bool SetVersion4(plat::WindowHandle owner, unsigned iconId) override;
    bool ShowBalloon(plat::WindowHandle owner, unsigned iconId, const std::string& text, unsigned timeoutMs) override;

    plat::Handle LoadMenu(int menuResource) override;
    plat::Handle SubMenu(plat::Handle menu, int position) override;
    void DeleteMenuItem(plat::Handle menu, int position) override;
    void TrackPopupMenu(plat::Handle popup, plat::WindowHandle owner) override;
    void TrackPopupMenuAt(plat::Handle popup, plat::WindowHandle owner, int x, int y) override;
    void DestroyMenu(plat::Handle menu) override;

private:
    HINSTANCE instance_;
};

}  // namespace win32
