// The user's actions on the real bridge: what the shell and the window manager would send
// it for a click, a menu or a key.
#include <cstdio>

#include "app/BridgeDlg.h"
#include "tools/e2e-driver/Driver.h"
#include "tools/e2e-driver/WindowText.h"

namespace e2e {

HWND Driver::Window(const std::string& name) const {
    return name == "main" ? watch_.MainDialog() : watch_.WindowNamed(name);
}

HWND Driver::OpenWindow(const std::string& name, std::string& error) {
    HWND window = nullptr;
    WaitFor([&] { return (window = Window(name)) != nullptr; });
    if (!window) error = "the window '" + name + "' is not open";
    return window;
}

HWND Driver::Control(const std::string& window, int id, std::string& error) {
    HWND top = Window(window);
    if (!top) {
        error = "the window '" + window + "' is not open";
        return nullptr;
    }
    // The settings page is a child of the options sheet: look through every descendant.
    const HWND found = Descendant(top, id);
    if (!found) error = "the window '" + window + "' has no control " + std::to_string(id);
    return found;
}

void Driver::PostTrayEvent(UINT event) {
    const HWND main = watch_.MainDialog();
    if (!tray_.Version4()) {
        PostMessageA(main, WM_TRAY_CALLBACK, kTrayIconId, static_cast<LPARAM>(event));
        return;
    }
    auto post = [main](UINT what) {
        PostMessageA(main, WM_TRAY_CALLBACK, MAKEWPARAM(0, 0), MAKELPARAM(what, kTrayIconId));
    };
    post(event);
    if (event == kTrayRightDown) {
        post(WM_RBUTTONUP);
        post(kTrayContextMenu);
    }
}

bool Driver::CloseMenu() {
    if (!watch_.MenuOpen() || !watch_.MainDialog()) return true;
    // As a click elsewhere: the menu's loop ends on the owner's cancel.
    PostMessageA(watch_.MainDialog(), WM_CANCELMODE, 0, 0);
    return WaitFor([this] { return !watch_.MenuOpen(); });
}

bool Driver::WaitForMainDialog(std::string& error) {
    if (WaitFor([this] { return watch_.MainDialog() != nullptr; })) return true;
    error = "the main dialog is not there";
    return false;
}

bool Driver::Command(int commandId, std::string& error) {
    if (!WaitForMainDialog(error)) return false;
    PostMessageA(watch_.MainDialog(), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(commandId), 0), 0);
    return true;
}

bool Driver::Tray(unsigned mouseMessage, std::string& error) {
    if (!WaitForMainDialog(error)) return false;
    PostTrayEvent(mouseMessage);
    // The menu is up before the user does anything else, as in the simulation.
    if (mouseMessage == kTrayRightDown) WaitFor([this] { return watch_.MenuOpen(); });
    return true;
}

bool Driver::Click(const std::string& window, int controlId, std::string& error) {
    HWND control = nullptr;
    WaitFor([&] { return (control = Control(window, controlId, error)) != nullptr; });
    if (!control) return false;
    // A click as the button itself takes one: an auto radio checks itself and clears its
    // group, then the owner hears BN_CLICKED.
    PostMessageA(control, BM_CLICK, 0, 0);
    return true;
}

bool Driver::CheckRadio(const std::string& window, int controlId, std::string& error) {
    return Click(window, controlId, error);
}

bool Driver::Select(const std::string& window, int controlId, int index, std::string& error) {
    HWND control = nullptr;
    WaitFor([&] { return (control = Control(window, controlId, error)) != nullptr; });
    if (!control) return false;
    char cls[32] = {};
    GetClassNameA(control, cls, sizeof cls);
    const bool combo = lstrcmpiA(cls, "ComboBox") == 0;
    SendMessageA(control, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    PostMessageA(GetParent(control), WM_COMMAND,
                 MAKEWPARAM(static_cast<WORD>(controlId), combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control));
    return true;
}

bool Driver::Close(const std::string& window, std::string& error) {
    const HWND open = OpenWindow(window, error);
    if (!open) return false;
    PostMessageA(open, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
}

bool Driver::Show(const std::string& window, std::string& error) {
    const HWND open = OpenWindow(window, error);
    if (!open) return false;
    reader_.Show(window, open);
    return true;
}

void Driver::AutoMessageBoxes(bool on) {
    watch_.SetAutoBoxes(on);
    if (on) watch_.ConfirmBox();
}

bool Driver::ConfirmMessageBox() {
    WaitFor([this] { return watch_.BoxOpen(); });
    return watch_.ConfirmBox();
}

}  // namespace e2e
