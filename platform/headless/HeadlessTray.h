// The notification-area icon, balloons and popup menus, recorded.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/Tray.h"
#include "platform/headless/Transcript.h"
#include "res/ResourceTables.h"

namespace sim {

class HeadlessTray : public plat::Tray {
public:
    HeadlessTray(Transcript& transcript, res::Lang lang) : transcript_(transcript), lang_(lang) {}

    bool AddIcon(plat::WindowHandle owner, unsigned iconId, unsigned callbackMessage, int iconResource,
                 const std::string& tip) override;
    bool RemoveIcon(plat::WindowHandle owner, unsigned iconId) override;
    bool ShowBalloon(plat::WindowHandle owner, unsigned iconId, const std::string& text, unsigned timeoutMs) override;
    plat::Handle LoadMenu(int menuResource) override;
    plat::Handle SubMenu(plat::Handle menu, int position) override;
    void DeleteMenuItem(plat::Handle menu, int position) override;
    void TrackPopupMenu(plat::Handle popup, plat::WindowHandle owner) override;
    void DestroyMenu(plat::Handle menu) override;

    struct Icon {
        plat::WindowHandle owner = 0;
        unsigned id = 0;
        unsigned callbackMessage = 0;
        int iconResource = 0;
        std::string tip;
        std::string balloon;
    };
    // The icon on show, if any.
    const Icon* Shown() const { return shown_ ? &icon_ : nullptr; }
    // The items of the last menu shown ("-" for a separator).
    const std::vector<std::string>& LastMenu() const { return lastMenu_; }

private:
    Transcript& transcript_;
    res::Lang lang_;
    Icon icon_;
    bool shown_ = false;
    std::map<plat::Handle, std::vector<res::MenuItem>> menus_;
    std::map<plat::Handle, std::vector<plat::Handle>> popups_;  // a menu's popups die with it
    plat::Handle nextMenu_ = 0x2000;
    std::vector<std::string> lastMenu_;
};

}  // namespace sim
