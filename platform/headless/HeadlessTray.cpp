#include "platform/headless/HeadlessTray.h"

namespace sim {

bool HeadlessTray::AddIcon(plat::WindowHandle owner, unsigned iconId, unsigned callbackMessage, int iconResource,
                           const std::string& tip) {
    if (shown_ && icon_.owner == owner && icon_.id == iconId) return false;  // NIM_ADD of an icon already there
    icon_ = Icon{owner, iconId, callbackMessage, iconResource, tip, std::string()};
    shown_ = true;
    transcript_.Add("tray", "add " + tip);
    return true;
}

bool HeadlessTray::RemoveIcon(plat::WindowHandle owner, unsigned iconId) {
    if (!shown_ || icon_.owner != owner || icon_.id != iconId) return false;
    shown_ = false;
    transcript_.Add("tray", "remove");
    return true;
}

bool HeadlessTray::SetVersion4(plat::WindowHandle owner, unsigned iconId) {
    if (version4Refused_ || !shown_ || icon_.owner != owner || icon_.id != iconId) return false;
    icon_.version4 = true;
    return true;
}

void HeadlessTray::Restart() {
    shown_ = false;
    transcript_.Add("tray", "restart");
}

bool HeadlessTray::ShowBalloon(plat::WindowHandle owner, unsigned iconId, const std::string& text,
                               unsigned timeoutMs) {
    (void)timeoutMs;
    if (!shown_ || icon_.owner != owner || icon_.id != iconId) return false;
    icon_.balloon = text;
    transcript_.Add("balloon", text);
    return true;
}

plat::Handle HeadlessTray::LoadMenu(int menuResource) {
    const std::vector<res::MenuItem>* items = res::FindMenu(menuResource, lang_);
    if (!items) return plat::kNullHandle;
    const plat::Handle handle = ++nextMenu_;
    menus_[handle] = *items;
    return handle;
}

plat::Handle HeadlessTray::SubMenu(plat::Handle menu, int position) {
    auto it = menus_.find(menu);
    if (it == menus_.end() || position < 0 || position >= static_cast<int>(it->second.size())) return plat::kNullHandle;
    const res::MenuItem& item = it->second[static_cast<std::size_t>(position)];
    if (item.popup.empty()) return plat::kNullHandle;
    // The popup is a menu of its own from here on (as its HMENU is on Windows).
    const plat::Handle handle = ++nextMenu_;
    menus_[handle] = item.popup;
    popups_[menu].push_back(handle);
    return handle;
}

void HeadlessTray::DeleteMenuItem(plat::Handle menu, int position) {
    auto it = menus_.find(menu);
    if (it == menus_.end() || position < 0 || position >= static_cast<int>(it->second.size())) return;
    it->second.erase(it->second.begin() + position);
}

void HeadlessTray::TrackPopupMenu(plat::Handle popup, plat::WindowHandle owner) {
    (void)owner;
    lastMenuPlaced_ = false;
    RecordMenu(popup);
}

void HeadlessTray::TrackPopupMenuAt(plat::Handle popup, plat::WindowHandle owner, int x, int y) {
    (void)owner;
    lastMenuPlaced_ = true;
    lastMenuX_ = x;
    lastMenuY_ = y;
    RecordMenu(popup);
}

void HeadlessTray::RecordMenu(plat::Handle popup) {
    auto it = menus_.find(popup);
    if (it == menus_.end()) return;
    lastMenu_.clear();
    std::string shown;
    for (const res::MenuItem& item : it->second) {
        // As the user reads it: the key's "&" shows as an underline.
        const std::string text =
            (item.text.empty() && item.id == 0 && item.popup.empty()) ? "-" : res::VisibleText(item.text);
        lastMenu_.push_back(text);
        if (!shown.empty()) shown += "|";
        shown += text;
    }
    transcript_.Add("tray", "menu " + shown);
}

void HeadlessTray::DestroyMenu(plat::Handle menu) {
    auto it = popups_.find(menu);
    if (it != popups_.end()) {
        const std::vector<plat::Handle> popups = it->second;
        popups_.erase(it);
        for (plat::Handle popup : popups) DestroyMenu(popup);
    }
    menus_.erase(menu);
}

}  // namespace sim
