// Dialog windows as data: made from the resource templates, their controls as plain
// values, their timers on the event loop, and message boxes as nested loops.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Windows.h"
#include "platform/headless/EventLoop.h"
#include "platform/headless/Peers.h"
#include "res/ResourceTables.h"

namespace sim {

struct ControlState {
    int id = 0;
    res::ControlKind kind = res::ControlKind::Static;
    std::string text;
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    std::vector<std::string> items;
    int selection = -1;
    int icon = 0;
};

struct WindowState {
    plat::WindowHandle handle = 0;
    int templateId = 0;
    plat::Dialog* sink = nullptr;
    plat::WindowHandle parent = 0;
    std::string caption;
    bool visible = false;
    bool systemMenu = false;
    std::vector<std::string> systemMenuItems;
    std::vector<ControlState> controls;  // in template order
    bool modal = false;
    bool ended = false;
    int result = 0;
};

// "main", "info", ... for the templates the bridge uses.
std::string WindowName(int templateId);
// The template of a window name; 0 when the name is unknown.
int TemplateOfName(const std::string& name);

class HeadlessWindows : public plat::Windows {
public:
    HeadlessWindows(EventLoop& loop, EffectLog& transcript, res::Lang lang);

    plat::WindowHandle CreateModeless(int templateId, plat::Dialog& sink, plat::WindowHandle parent) override;
    int RunModal(int templateId, plat::Dialog& sink, plat::WindowHandle parent) override;
    // The sheet is its page's window (named after the page's template) under the sheet's caption.
    plat::WindowHandle CreateModelessSheet(const std::string& caption, int pageTemplateId, plat::Dialog& page,
                                           plat::WindowHandle parent) override;
    void EndDialog(plat::WindowHandle window, int result) override;
    void Destroy(plat::WindowHandle window) override;
    bool Exists(plat::WindowHandle window) const override;

    void Show(plat::WindowHandle window, bool show) override;
    void ToForeground(plat::WindowHandle window) override;
    void SetCaption(plat::WindowHandle window, const std::string& text) override;
    std::string Caption(plat::WindowHandle window) const override;
    void SetWindowIcon(plat::WindowHandle window, int iconId, bool big) override;
    bool HasSystemMenu(plat::WindowHandle window) const override;
    void AppendSystemMenuItem(plat::WindowHandle window, unsigned commandId, const std::string& text) override;

    bool HasControl(plat::WindowHandle window, int id) const override;
    void SetText(plat::WindowHandle window, int id, const std::string& text) override;
    std::string Text(plat::WindowHandle window, int id) const override;
    void Enable(plat::WindowHandle window, int id, bool enable) override;
    bool IsEnabled(plat::WindowHandle window, int id) const override;
    void ShowControl(plat::WindowHandle window, int id, bool show) override;
    bool IsVisible(plat::WindowHandle window, int id) const override;
    void Check(plat::WindowHandle window, int id, bool check) override;
    bool IsChecked(plat::WindowHandle window, int id) const override;
    void AddItem(plat::WindowHandle window, int id, const std::string& text) override;
    void InsertItem(plat::WindowHandle window, int id, int index, const std::string& text) override;
    int ItemCount(plat::WindowHandle window, int id) const override;
    std::string ItemText(plat::WindowHandle window, int id, int index) const override;
    void SetSelection(plat::WindowHandle window, int id, int index) override;
    int Selection(plat::WindowHandle window, int id) const override;
    void SetIcon(plat::WindowHandle window, int id, int iconId) override;

    void SetTimer(plat::WindowHandle window, unsigned id, unsigned periodMs) override;
    void KillTimer(plat::WindowHandle window, unsigned id) override;
    void WatchEvent(plat::WindowHandle window, plat::Handle event, unsigned message) override;
    void UnwatchEvent(plat::WindowHandle window, plat::Handle event) override;
    // Virtual time costs nothing to wake for: timers stay on time.
    void DeferTimers(plat::WindowHandle window, unsigned ms) override {
        (void)window;
        (void)ms;
    }

    void MessageBox(plat::WindowHandle owner, const std::string& text) override;
    void MessageBoxNoOwner(const std::string& text) override;
    std::intptr_t DefaultProc(plat::WindowHandle window, unsigned message, std::uintptr_t wparam,
                              std::intptr_t lparam) override;

    // ---- for the rest of the backend and the harness ----
    // Window handles are unique for the life of the machine; other processes' windows
    // (the simulated client's) take theirs from here too.
    plat::WindowHandle AllocateHandle() { return nextHandle_ += 0x10; }
    const WindowState* Find(plat::WindowHandle window) const;
    // The newest existing window of the template; nullptr if none.
    const WindowState* FindByTemplate(int templateId) const;
    plat::Dialog* Sink(plat::WindowHandle window) const;
    std::vector<plat::WindowHandle> TopLevelWindows() const;
    ControlState* Control(plat::WindowHandle window, int id);
    const ControlState* Control(plat::WindowHandle window, int id) const;
    // Checks a radio as a click does: the other auto radios of the dialog go off.
    void CheckRadio(plat::WindowHandle window, int id);

    void SetAutoMessageBoxes(bool autoClose) { autoBoxes_ = autoClose; }
    // Told the text of every message box as it opens (also while the transcript is muted).
    void SetBoxObserver(std::function<void(const std::string&)> observer) { boxObserver_ = std::move(observer); }
    bool ConfirmMessageBox();
    int OpenMessageBoxes() const { return static_cast<int>(boxes_.size()); }
    // The events behind the watches: service() lets the HID bus complete what it can, take()
    // resets an event and says whether it was set.
    void SetEvents(std::function<void()> service, std::function<bool(plat::Handle)> take) {
        serviceEvents_ = std::move(service);
        takeEvent_ = std::move(take);
    }
    // A loop of the system's (a message box's, a menu's): it delivers messages and timers
    // but watches no events. Runs until done() holds; false when the process is torn down.
    bool RunSystemLoop(const std::function<bool()>& done);
    // A menu command, as WM_COMMAND posted to the window arrives.
    void PostCommand(plat::WindowHandle window, int commandId);
    // A message as a sent message arrives: straight into the window's procedure.
    std::intptr_t SendNow(plat::WindowHandle window, unsigned message, std::uintptr_t wparam, std::intptr_t lparam);
    // A new main dialog (template 155) got its window.
    void SetMainCreatedHook(std::function<void(plat::Dialog&)> hook) { mainCreated_ = std::move(hook); }

private:
    struct Box {
        std::string text;
        bool confirmed = false;
    };
    struct Watch {
        plat::WindowHandle window;
        plat::Handle event;
        unsigned message;
    };
    // Lets the bus complete what it can, then, while the innermost loop is the process's
    // own, hands a set watched event's message to its window; true when it did.
    bool DeliverWatched();
    bool RunLoop(bool own, const std::function<bool()>& done);
    WindowState* Get(plat::WindowHandle window);
    const WindowState* Get(plat::WindowHandle window) const;
    plat::WindowHandle Make(int templateId, plat::Dialog& sink, plat::WindowHandle parent, bool modal);
    void RunBox(const std::string& text);

    EventLoop& loop_;
    EffectLog& transcript_;
    res::Lang lang_;
    plat::WindowHandle nextHandle_ = 0x10000;
    std::map<plat::WindowHandle, WindowState> windows_;
    std::vector<Box> boxes_;  // open boxes, innermost last
    bool autoBoxes_ = true;
    std::function<void(plat::Dialog&)> mainCreated_;
    std::vector<Watch> watches_;
    std::vector<bool> loops_;  // running loops, innermost last: true for the process's own
    std::function<void()> serviceEvents_;
    std::function<bool(plat::Handle)> takeEvent_;
    std::function<void(const std::string&)> boxObserver_;
};

}  // namespace sim
