// The notification-area icon, balloons and popup menus, recorded. A popup menu closes at
// once without a choice, or, with manual menus, runs a loop of the system's (timers and
// messages go on underneath, watched events do not) until the harness chooses an item or
// closes it; a chosen item's command reaches the owner afterwards, as a posted message.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/Tray.h"
#include "platform/headless/HeadlessWindows.h"
#include "platform/headless/Peers.h"
#include "res/ResourceTables.h"

namespace sim {

class HeadlessTray : public plat::Tray {
public:
    HeadlessTray(EffectLog& transcript, res::Lang lang, HeadlessWindows& windows)
        : transcript_(transcript), lang_(lang), windows_(windows) {}

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

    struct Icon {
        plat::WindowHandle owner = 0;
        unsigned id = 0;
        unsigned callbackMessage = 0;
        int iconResource = 0;
        std::string tip;
        std::string balloon;
        bool version4 = false;  // the owner asked for today's callback, and got it
    };
    // Where the icon sits on the screen: the point a keyboard's menu is anchored at.
    static constexpr int kIconX = 1800;
    static constexpr int kIconY = 1060;
    // The icon on show, if any.
    const Icon* Shown() const { return shown_ ? &icon_ : nullptr; }
    // The items of the last menu shown ("-" for a separator).
    const std::vector<std::string>& LastMenu() const { return lastMenu_; }
    // Whether the last menu was placed at a given point (else at the mouse), and where.
    bool LastMenuPlaced() const { return lastMenuPlaced_; }
    int LastMenuX() const { return lastMenuX_; }
    int LastMenuY() const { return lastMenuY_; }
    // A shell from before Windows Vista refuses version 4 (today's accepts it).
    void SetVersion4Refused(bool refused) { version4Refused_ = refused; }
    // Explorer starts again: its new notification area holds no icon.
    void Restart();

    void SetManualMenus(bool manual) { manual_ = manual; }
    bool MenuOpen() const { return open_; }
    // Chooses the open menu's item with this command; false when no menu is open or it has
    // no such item.
    bool ChooseMenuItem(int commandId);
    // Closes the open menu without a choice (a click elsewhere); false when none is open.
    bool CloseMenu();

private:
    EffectLog& transcript_;
    res::Lang lang_;
    HeadlessWindows& windows_;
    Icon icon_;
    bool shown_ = false;
    std::map<plat::Handle, std::vector<res::MenuItem>> menus_;
    std::map<plat::Handle, std::vector<plat::Handle>> popups_;  // a menu's popups die with it
    plat::Handle nextMenu_ = 0x2000;
    std::vector<std::string> lastMenu_;
    bool lastMenuPlaced_ = false;
    int lastMenuX_ = 0;
    int lastMenuY_ = 0;
    bool version4Refused_ = false;

    void RecordMenu(plat::Handle popup, plat::WindowHandle owner);
    bool manual_ = false;
    bool open_ = false;
    std::vector<res::MenuItem> openItems_;
    int chosen_ = 0;
};

}  // namespace sim
