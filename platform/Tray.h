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
    // NIM_SETVERSION with NOTIFYICON_VERSION_4, after each add: the callback then carries the
    // event in the low word of its lparam (mouse messages, WM_CONTEXTMENU, NIN_SELECT,
    // NIN_KEYSELECT) and the icon id in the high word, and its wparam holds the point on the
    // screen (x low, y high) where a menu for the event belongs. False: a shell older than
    // Windows Vista, which goes on sending the mouse message alone.
    virtual bool SetVersion4(WindowHandle owner, unsigned iconId) = 0;
    // NIM_MODIFY with NIF_INFO only; an empty text removes the balloon.
    virtual bool ShowBalloon(WindowHandle owner, unsigned iconId, const std::string& text, unsigned timeoutMs) = 0;

    // Menus: load a menu resource, take a popup, delete by position, track at the mouse.
    virtual Handle LoadMenu(int menuResource) = 0;
    virtual Handle SubMenu(Handle menu, int position) = 0;
    virtual void DeleteMenuItem(Handle menu, int position) = 0;
    // Tracks the popup at the cursor with the right-button flag; the command chosen reaches
    // owner as a command message after this returns.
    virtual void TrackPopupMenu(Handle popup, WindowHandle owner) = 0;
    // The same at a point on the screen (the icon's, for a menu the keyboard asked for).
    virtual void TrackPopupMenuAt(Handle popup, WindowHandle owner, int x, int y) = 0;
    virtual void DestroyMenu(Handle menu) = 0;
};

}  // namespace plat
