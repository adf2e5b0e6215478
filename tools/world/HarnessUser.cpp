// The user's actions on the headless bridge, and what the system sends its windows.
#include <algorithm>

#include "tools/world/Harness.h"
#include "tools/world/HarnessImpl.h"

namespace sim {

namespace {

constexpr unsigned kRightButtonDown = 0x0204;  // WM_RBUTTONDOWN
constexpr unsigned kRightButtonUp = 0x0205;    // WM_RBUTTONUP
constexpr unsigned kContextMenu = 0x007B;      // WM_CONTEXTMENU
constexpr const char* kTaskbarCreated = "TaskbarCreated";
constexpr unsigned kSessionChangeMessage = 0x02B1;  // WM_WTSSESSION_CHANGE
constexpr unsigned kConsoleConnect = 1;              // WTS_CONSOLE_CONNECT
constexpr unsigned kRemoteDisconnect = 4;            // WTS_REMOTE_DISCONNECT

bool IsList(res::ControlKind kind) {
    return kind == res::ControlKind::ListBox || kind == res::ControlKind::DropDownList ||
           kind == res::ControlKind::DropDownCombo;
}

}  // namespace

bool Harness::Command(int commandId, std::string* error) {
    const WindowState* main = impl_->platform.windows.FindByTemplate(IDD_BRIDGE);
    if (!main) {
        SetError(error, "window 'main' is not open");
        return false;
    }
    impl_->Deliver(main->handle, [commandId](plat::Dialog& dlg) { dlg.OnCommand(commandId); });
    return true;
}

bool Harness::TrayCallback(unsigned mouseMessage, std::string* error) {
    const HeadlessTray::Icon* icon = impl_->platform.tray.Shown();
    if (!icon) {
        SetError(error, "no tray icon is shown");
        return false;
    }
    const unsigned message = icon->callbackMessage;
    const unsigned iconId = icon->id;
    const plat::WindowHandle owner = icon->owner;
    const bool version4 = icon->version4;
    // What the shell sends: the mouse message alone, or with today's callback the event with
    // the icon's id, and the icon's place on the screen as the point for a menu.
    auto send = [this, owner, message, iconId, version4](unsigned event) {
        std::uintptr_t wparam = iconId;
        std::intptr_t lparam = static_cast<std::intptr_t>(event);
        if (version4) {
            wparam = (static_cast<std::uintptr_t>(HeadlessTray::kIconY) << 16) |
                     static_cast<std::uintptr_t>(HeadlessTray::kIconX);
            lparam = static_cast<std::intptr_t>((static_cast<std::uintptr_t>(iconId) << 16) | event);
        }
        impl_->Deliver(owner, [this, owner, message, wparam, lparam](plat::Dialog& dlg) {
            std::intptr_t result = 0;
            if (!dlg.OnMessage(message, wparam, lparam, result))
                impl_->platform.windows.DefaultProc(owner, message, wparam, lparam);
        });
    };
    send(mouseMessage);
    // Today's shell follows a right press with its release and WM_CONTEXTMENU.
    if (version4 && mouseMessage == kRightButtonDown) {
        send(kRightButtonUp);
        send(kContextMenu);
    }
    return true;
}

void Harness::RestartShell() {
    impl_->platform.tray.Restart();
    SendToTopLevel(impl_->platform.messages.Register(kTaskbarCreated), 0, 0);
}

void Harness::SessionChange(unsigned change) {
    HeadlessSession& session = impl_->platform.session;
    if (change == kConsoleConnect)
        session.SetAtConsole(true);
    else if (change > kConsoleConnect && change <= kRemoteDisconnect)
        session.SetAtConsole(false);
    impl_->platform.recorder.Add("session", std::to_string(change));
    const std::vector<plat::WindowHandle> watching = session.Watching();
    impl_->platform.loop.Post([this, watching, change] {
        for (plat::WindowHandle w : watching) {
            plat::Dialog* sink = impl_->platform.windows.Sink(w);
            std::intptr_t result = 0;
            if (sink && !sink->OnMessage(kSessionChangeMessage, change, 0, result))
                impl_->platform.windows.DefaultProc(w, kSessionChangeMessage, change, 0);
        }
    });
    impl_->platform.loop.Pump();
}

std::vector<std::intptr_t> Harness::SendToTopLevel(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
    std::vector<std::intptr_t> results;
    if (message == 0) return results;
    impl_->platform.loop.Post([this, message, wparam, lparam, &results] {
        for (plat::WindowHandle w : impl_->platform.windows.TopLevelWindows()) {
            plat::Dialog* sink = impl_->platform.windows.Sink(w);
            if (!sink) continue;
            std::intptr_t result = 0;
            if (!sink->OnMessage(message, wparam, lparam, result))
                result = impl_->platform.windows.DefaultProc(w, message, wparam, lparam);
            results.push_back(result);
        }
    });
    impl_->platform.loop.Pump();
    return results;
}

bool Harness::Click(const std::string& window, int controlId, std::string* error) {
    const WindowState* w = nullptr;
    if (!impl_->UsableControl(window, controlId, error, &w)) return false;
    for (const auto& checker : impl_->checkers) checker->OnUserClick(window, controlId);
    impl_->Deliver(w->handle, [controlId](plat::Dialog& dlg) { dlg.OnCommand(controlId); });
    return true;
}

bool Harness::CheckRadio(const std::string& window, int controlId, std::string* error) {
    const WindowState* w = nullptr;
    const ControlState* c = impl_->UsableControl(window, controlId, error, &w);
    if (!c) return false;
    if (c->kind != res::ControlKind::AutoRadio) {
        SetError(error, "control " + std::to_string(controlId) + " of '" + window + "' is no radio");
        return false;
    }
    const plat::WindowHandle handle = w->handle;
    impl_->Deliver(handle, [this, handle, controlId](plat::Dialog& dlg) {
        impl_->platform.windows.CheckRadio(handle, controlId);
        dlg.OnCommand(controlId);
    });
    return true;
}

bool Harness::Select(const std::string& window, int controlId, int index, std::string* error) {
    const WindowState* w = nullptr;
    const ControlState* c = impl_->UsableControl(window, controlId, error, &w);
    if (!c) return false;
    if (!IsList(c->kind)) {
        SetError(error, "control " + std::to_string(controlId) + " of '" + window + "' is no list");
        return false;
    }
    if (index < 0 || index >= static_cast<int>(c->items.size())) {
        SetError(error, "control " + std::to_string(controlId) + " of '" + window + "' has no item " +
                            std::to_string(index));
        return false;
    }
    // A selection change notifies nobody: the dialogs read the selection when they act.
    impl_->platform.windows.SetSelection(w->handle, controlId, index);
    return true;
}

bool Harness::Close(const std::string& window, std::string* error) {
    const WindowState* w = impl_->Window(window, error);
    if (!w) return false;
    impl_->Deliver(w->handle, [](plat::Dialog& dlg) { dlg.OnClose(); });
    return true;
}

bool Harness::Show(const std::string& window, std::string* error) {
    const WindowState* w = impl_->Window(window, error);
    if (!w) return false;
    Recorder& t = impl_->platform.recorder;
    t.Add("control", window + " caption \"" + w->caption + "\"");
    std::vector<ControlState> controls = w->controls;
    std::stable_sort(controls.begin(), controls.end(),
                     [](const ControlState& a, const ControlState& b) { return a.id < b.id; });
    for (const ControlState& c : controls) {
        // The text as the user reads it; the key's "&" is an underline.
        std::string line = window + " " + std::to_string(c.id) + " \"" + res::VisibleText(c.text) + "\"";
        line += c.enabled ? " enabled" : " disabled";
        line += c.visible ? " visible" : " hidden";
        if (c.kind == res::ControlKind::AutoRadio && c.checked) line += " checked";
        if (IsList(c.kind) && c.selection >= 0) line += " sel=" + std::to_string(c.selection);
        if (c.kind == res::ControlKind::Icon) line += " icon=" + std::to_string(c.icon);
        if (IsList(c.kind)) line += " items=" + std::to_string(c.items.size());
        t.Add("control", line);
    }
    return true;
}

void Harness::SetAutoMessageBoxes(bool autoClose) { impl_->platform.windows.SetAutoMessageBoxes(autoClose); }

void Harness::SetManualMenus(bool manual) { impl_->platform.tray.SetManualMenus(manual); }
bool Harness::MenuOpen() const { return impl_->platform.tray.MenuOpen(); }

bool Harness::ChooseMenuItem(int commandId) {
    if (!impl_->platform.tray.ChooseMenuItem(commandId)) return false;
    impl_->platform.loop.Pump();
    return true;
}

bool Harness::CloseMenu() {
    if (!impl_->platform.tray.CloseMenu()) return false;
    impl_->platform.loop.Pump();
    return true;
}

bool Harness::ConfirmMessageBox() {
    if (!impl_->platform.windows.ConfirmMessageBox()) return false;
    impl_->platform.loop.Pump();
    return true;
}

int Harness::OpenMessageBoxes() const { return impl_->platform.windows.OpenMessageBoxes(); }

}  // namespace sim
