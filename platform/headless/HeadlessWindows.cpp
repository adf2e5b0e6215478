#include "platform/headless/HeadlessWindows.h"

#include <algorithm>

#include "platform/Dialog.h"
#include "res/resource.h"

namespace sim {

namespace {

struct NamedTemplate {
    int templateId;
    const char* name;
};
const NamedTemplate kWindowNames[] = {
    {155, "main"}, {144, "info"}, {102, "debug"}, {163, "options"}, {160, "setup"}, {100, "about"},
};

constexpr int kDebugTemplate = 102;
constexpr int kDeviceLogList = 1000;
constexpr int kVoipLogList = 1010;

}  // namespace

std::string WindowName(int templateId) {
    for (const NamedTemplate& n : kWindowNames)
        if (n.templateId == templateId) return n.name;
    return "dialog" + std::to_string(templateId);
}

int TemplateOfName(const std::string& name) {
    for (const NamedTemplate& n : kWindowNames)
        if (name == n.name) return n.templateId;
    return 0;
}

HeadlessWindows::HeadlessWindows(EventLoop& loop, EffectLog& transcript, res::Lang lang)
    : loop_(loop), transcript_(transcript), lang_(lang) {
    loop_.SetTimerSink([this](plat::WindowHandle window, unsigned id) {
        if (plat::Dialog* sink = Sink(window)) sink->OnTimer(id);
    });
    loop_.SetSignals([this] { return DeliverWatched(); });
}

bool HeadlessWindows::RunLoop(bool own, const std::function<bool()>& done) {
    loops_.push_back(own);
    const bool finished = loop_.RunUntil(done);
    loops_.pop_back();
    return finished;
}

bool HeadlessWindows::RunSystemLoop(const std::function<bool()>& done) { return RunLoop(false, done); }

bool HeadlessWindows::DeliverWatched() {
    if (serviceEvents_) serviceEvents_();
    if (loops_.empty() || !loops_.back() || !takeEvent_) return false;
    const std::vector<Watch> watches = watches_;  // a handler may change them
    for (const Watch& w : watches) {
        if (!Exists(w.window) || !takeEvent_(w.event)) continue;
        SendNow(w.window, w.message, 0, 0);
        return true;
    }
    return false;
}

std::intptr_t HeadlessWindows::SendNow(plat::WindowHandle window, unsigned message, std::uintptr_t wparam,
                                       std::intptr_t lparam) {
    plat::Dialog* sink = Sink(window);
    if (!sink) return 0;
    std::intptr_t result = 0;
    if (sink->OnMessage(message, wparam, lparam, result)) return result;
    return DefaultProc(window, message, wparam, lparam);
}

void HeadlessWindows::PostCommand(plat::WindowHandle window, int commandId) {
    loop_.Post([this, window, commandId] {
        if (plat::Dialog* sink = Sink(window)) sink->OnCommand(commandId);
    });
}

void HeadlessWindows::WatchEvent(plat::WindowHandle window, plat::Handle event, unsigned message) {
    UnwatchEvent(window, event);
    if (Exists(window) && event != plat::kNullHandle) watches_.push_back(Watch{window, event, message});
}

void HeadlessWindows::UnwatchEvent(plat::WindowHandle window, plat::Handle event) {
    watches_.erase(std::remove_if(watches_.begin(), watches_.end(),
                                  [&](const Watch& w) { return w.window == window && w.event == event; }),
                   watches_.end());
}

WindowState* HeadlessWindows::Get(plat::WindowHandle window) {
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : &it->second;
}

const WindowState* HeadlessWindows::Get(plat::WindowHandle window) const {
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : &it->second;
}

const WindowState* HeadlessWindows::Find(plat::WindowHandle window) const { return Get(window); }

const WindowState* HeadlessWindows::FindByTemplate(int templateId) const {
    const WindowState* found = nullptr;
    for (const auto& entry : windows_)
        if (entry.second.templateId == templateId) found = &entry.second;  // handles grow: the last is newest
    return found;
}

plat::Dialog* HeadlessWindows::Sink(plat::WindowHandle window) const {
    const WindowState* w = Get(window);
    return w ? w->sink : nullptr;
}

std::vector<plat::WindowHandle> HeadlessWindows::TopLevelWindows() const {
    std::vector<plat::WindowHandle> out;
    for (const auto& entry : windows_) out.push_back(entry.first);
    return out;
}

ControlState* HeadlessWindows::Control(plat::WindowHandle window, int id) {
    WindowState* w = Get(window);
    if (!w) return nullptr;
    for (ControlState& c : w->controls)
        if (c.id == id) return &c;
    return nullptr;
}

const ControlState* HeadlessWindows::Control(plat::WindowHandle window, int id) const {
    return const_cast<HeadlessWindows*>(this)->Control(window, id);
}

plat::WindowHandle HeadlessWindows::Make(int templateId, plat::Dialog& sink, plat::WindowHandle parent,
                                         bool modal) {
    WindowState w;
    w.handle = AllocateHandle();
    w.templateId = templateId;
    w.sink = &sink;
    w.parent = parent;
    w.modal = modal;
    // An unknown template still gives a window, only without controls.
    if (const res::DialogTemplate* t = res::FindDialog(templateId, lang_)) {
        w.caption = t->caption;
        w.visible = (t->style & res::kVisible) != 0;
        w.systemMenu = (t->style & res::kSysMenu) != 0;
        for (const res::ControlTemplate& ct : t->controls) {
            ControlState c;
            c.id = ct.id;
            c.kind = ct.kind;
            c.text = ct.text;
            c.enabled = (ct.flags & res::kDisabled) == 0;
            c.visible = (ct.flags & res::kHidden) == 0;
            c.icon = ct.icon;
            w.controls.push_back(c);
        }
    }
    const plat::WindowHandle handle = w.handle;
    windows_[handle] = std::move(w);
    sink.AttachHandle(handle);
    transcript_.Add("window", "created " + WindowName(templateId));
    if (templateId == IDD_BRIDGE && mainCreated_) mainCreated_(sink);
    sink.OnInitDialog();
    return handle;
}

plat::WindowHandle HeadlessWindows::CreateModeless(int templateId, plat::Dialog& sink, plat::WindowHandle parent) {
    return Make(templateId, sink, parent, false);
}

int HeadlessWindows::RunModal(int templateId, plat::Dialog& sink, plat::WindowHandle parent) {
    if (loop_.Aborting()) return -1;
    const plat::WindowHandle handle = Make(templateId, sink, parent, true);
    const bool finished = RunLoop(true, [&] {
        const WindowState* w = Get(handle);
        return !w || w->ended;
    });
    if (!finished) return -1;
    const WindowState* w = Get(handle);
    const int result = w ? w->result : -1;
    Destroy(handle);
    if (templateId == IDD_BRIDGE) transcript_.Add("exit", std::to_string(result));
    return result;
}

void HeadlessWindows::EndDialog(plat::WindowHandle window, int result) {
    if (WindowState* w = Get(window)) {
        w->ended = true;
        w->result = result;
    }
}

void HeadlessWindows::Destroy(plat::WindowHandle window) {
    if (!Get(window)) return;
    // Owned windows go first, as DestroyWindow does.
    std::vector<plat::WindowHandle> owned;
    for (const auto& entry : windows_)
        if (entry.second.parent == window) owned.push_back(entry.first);
    for (plat::WindowHandle h : owned) Destroy(h);
    WindowState* w = Get(window);
    if (!w) return;
    transcript_.Add("window", "destroyed " + WindowName(w->templateId));
    loop_.KillTimers(window);
    watches_.erase(std::remove_if(watches_.begin(), watches_.end(), [&](const Watch& x) { return x.window == window; }),
                   watches_.end());
    windows_.erase(window);
}

bool HeadlessWindows::Exists(plat::WindowHandle window) const { return Get(window) != nullptr; }

void HeadlessWindows::Show(plat::WindowHandle window, bool show) {
    if (WindowState* w = Get(window)) w->visible = show;
}

void HeadlessWindows::ToForeground(plat::WindowHandle window) { (void)window; }

void HeadlessWindows::SetCaption(plat::WindowHandle window, const std::string& text) {
    if (WindowState* w = Get(window)) w->caption = text;
}

std::string HeadlessWindows::Caption(plat::WindowHandle window) const {
    const WindowState* w = Get(window);
    return w ? w->caption : std::string();
}

void HeadlessWindows::SetWindowIcon(plat::WindowHandle window, int iconId, bool big) {
    (void)window;
    (void)iconId;
    (void)big;
}

bool HeadlessWindows::HasSystemMenu(plat::WindowHandle window) const {
    const WindowState* w = Get(window);
    return w && w->systemMenu;
}

void HeadlessWindows::AppendSystemMenuItem(plat::WindowHandle window, unsigned commandId, const std::string& text) {
    (void)commandId;
    if (WindowState* w = Get(window)) {
        w->systemMenuItems.push_back("-");
        w->systemMenuItems.push_back(text);
    }
}

bool HeadlessWindows::HasControl(plat::WindowHandle window, int id) const { return Control(window, id) != nullptr; }

void HeadlessWindows::SetText(plat::WindowHandle window, int id, const std::string& text) {
    if (ControlState* c = Control(window, id)) c->text = text;
}

std::string HeadlessWindows::Text(plat::WindowHandle window, int id) const {
    const ControlState* c = Control(window, id);
    return c ? c->text : std::string();
}

void HeadlessWindows::Enable(plat::WindowHandle window, int id, bool enable) {
    if (ControlState* c = Control(window, id)) c->enabled = enable;
}

bool HeadlessWindows::IsEnabled(plat::WindowHandle window, int id) const {
    const ControlState* c = Control(window, id);
    return c && c->enabled;
}

void HeadlessWindows::ShowControl(plat::WindowHandle window, int id, bool show) {
    if (ControlState* c = Control(window, id)) c->visible = show;
}

bool HeadlessWindows::IsVisible(plat::WindowHandle window, int id) const {
    const ControlState* c = Control(window, id);
    return c && c->visible;
}

void HeadlessWindows::Check(plat::WindowHandle window, int id, bool check) {
    ControlState* c = Control(window, id);
    if (!c) return;
    if (check && c->kind == res::ControlKind::AutoRadio) {
        CheckRadio(window, id);
        return;
    }
    c->checked = check;
}

void HeadlessWindows::CheckRadio(plat::WindowHandle window, int id) {
    WindowState* w = Get(window);
    if (!w) return;
    // The dialog's auto radios form one group.
    for (ControlState& c : w->controls)
        if (c.kind == res::ControlKind::AutoRadio) c.checked = (c.id == id);
    if (ControlState* c = Control(window, id)) c->checked = true;
}

bool HeadlessWindows::IsChecked(plat::WindowHandle window, int id) const {
    const ControlState* c = Control(window, id);
    return c && c->checked;
}

void HeadlessWindows::AddItem(plat::WindowHandle window, int id, const std::string& text) {
    InsertItem(window, id, -1, text);
}

void HeadlessWindows::InsertItem(plat::WindowHandle window, int id, int index, const std::string& text) {
    ControlState* c = Control(window, id);
    if (!c) return;
    const int count = static_cast<int>(c->items.size());
    if (index > count) return;  // LB_ERR: nothing inserted
    if (index < 0) index = count;
    c->items.insert(c->items.begin() + index, text);
    if (c->selection >= index) ++c->selection;
    const WindowState* w = Get(window);
    if (w && w->templateId == kDebugTemplate) {
        if (id == kDeviceLogList) transcript_.Add("device-log", text);
        if (id == kVoipLogList) transcript_.Add("voip-log", text);
    }
}

int HeadlessWindows::ItemCount(plat::WindowHandle window, int id) const {
    const ControlState* c = Control(window, id);
    return c ? static_cast<int>(c->items.size()) : 0;
}

std::string HeadlessWindows::ItemText(plat::WindowHandle window, int id, int index) const {
    const ControlState* c = Control(window, id);
    if (!c || index < 0 || index >= static_cast<int>(c->items.size())) return std::string();
    return c->items[static_cast<std::size_t>(index)];
}

void HeadlessWindows::SetSelection(plat::WindowHandle window, int id, int index) {
    ControlState* c = Control(window, id);
    if (!c) return;
    c->selection = (index >= 0 && index < static_cast<int>(c->items.size())) ? index : -1;
}

int HeadlessWindows::Selection(plat::WindowHandle window, int id) const {
    const ControlState* c = Control(window, id);
    return c ? c->selection : -1;
}

void HeadlessWindows::SetIcon(plat::WindowHandle window, int id, int iconId) {
    if (ControlState* c = Control(window, id)) c->icon = iconId;
}

void HeadlessWindows::SetTimer(plat::WindowHandle window, unsigned id, unsigned periodMs) {
    if (Exists(window)) loop_.SetTimer(window, id, periodMs);
}

void HeadlessWindows::KillTimer(plat::WindowHandle window, unsigned id) { loop_.KillTimer(window, id); }

void HeadlessWindows::MessageBox(plat::WindowHandle owner, const std::string& text) {
    (void)owner;
    RunBox(text);
}

void HeadlessWindows::MessageBoxNoOwner(const std::string& text) { RunBox(text); }

void HeadlessWindows::RunBox(const std::string& text) {
    if (loop_.Aborting()) return;
    if (boxObserver_) boxObserver_(text);
    transcript_.Add("msgbox", text);
    if (autoBoxes_) return;
    boxes_.push_back(Box{text, false});
    const std::size_t mine = boxes_.size() - 1;
    RunSystemLoop([&] { return boxes_[mine].confirmed; });
    boxes_.erase(boxes_.begin() + static_cast<std::ptrdiff_t>(mine), boxes_.end());
}

bool HeadlessWindows::ConfirmMessageBox() {
    for (auto it = boxes_.rbegin(); it != boxes_.rend(); ++it) {
        if (!it->confirmed) {
            it->confirmed = true;
            return true;
        }
    }
    return false;
}

std::intptr_t HeadlessWindows::DefaultProc(plat::WindowHandle window, unsigned message, std::uintptr_t wparam,
                                           std::intptr_t lparam) {
    (void)window;
    (void)wparam;
    (void)lparam;
    // As DefWindowProc: a window that does not say otherwise lets the session end.
    constexpr unsigned kQueryEndSession = 0x0011;
    return message == kQueryEndSession ? 1 : 0;
}

}  // namespace sim
