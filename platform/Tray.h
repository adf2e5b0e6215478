// The notification-area icon, its balloons and the popup menu shown from it.
#pragma once
#include <string>

#include "platform/Types.h"

namespace plat {

class Tray {
public:
    virtual ~Tray() = default;
    // NIM_ADD with message, icon and tip; the callback message reaches owner's OnMessage.
    virtual bool AddIcon(WindowHandle owner, unsigned iconId, unsigned callbackMessage, int iconResource,
                         const std::string& tip) = 0;
    virtual bool RemoveIcon(WindowHandle owner, unsigned iconId) = 0;
    // NIM_MODIFY with NIF_INFO only; an empty text removes the balloon.
    virtual bool ShowBalloon(WindowHandle owner, unsigned iconId, const std::string& text, unsigned timeoutMs) = 0;

    // Menus: load a menu resource, take a popup, delete by position, track at the mouse.
    virtual Handle LoadMenu(int menuResource) = 0;
    virtual Handle SubMenu(Handle menu, int position) = 0;
    virtual void DeleteMenuItem(Handle menu, int position) = 0;
    // Tracks the popup at the cursor with the right-button flag; the command chosen reaches
    // owner as a command message after this returns.
    virtual void TrackPopupMenu(Handle popup, WindowHandle owner) = 0;
    virtual void DestroyMenu(Handle menu) = 0;
};

}  // namespace plat
