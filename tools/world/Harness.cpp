#include "tools/world/Harness.h"

#include <algorithm>

#include "app/BridgeApp.h"
#include "app/BridgeDlg.h"
#include "app/StatusStrings.h"
#include "tools/world/HeadlessPlatform.h"
#include "tools/sim/Checker.h"

namespace sim {

namespace {

constexpr int kMainTemplate = 155;
constexpr unsigned kRightButtonDown = 0x0204;  // WM_RBUTTONDOWN
constexpr unsigned kRightButtonUp = 0x0205;    // WM_RBUTTONUP
constexpr unsigned kContextMenu = 0x007B;      // WM_CONTEXTMENU
constexpr const char* kTaskbarCreated = "TaskbarCreated";
constexpr unsigned kSessionChangeMessage = 0x02B1;  // WM_WTSSESSION_CHANGE
constexpr unsigned kConsoleConnect = 1;              // WTS_CONSOLE_CONNECT
constexpr unsigned kRemoteDisconnect = 4;            // WTS_REMOTE_DISCONNECT
const char* const kSettingsPage = "options";

// The string-table text the information window shows for a status code.
int StatusStringId(int status) {
    switch (status) {
        case 1: return 3;
        case 2: case 8: return 4;
        case 3: return 5;
        case 4: return 6;
        case 5: return 7;
        case 6: return 120;
        case 7: return 123;
        case 11: return 132;
        default: return 0;
    }
}

bool IsList(res::ControlKind kind) {
    return kind == res::ControlKind::ListBox || kind == res::ControlKind::DropDownList ||
           kind == res::ControlKind::DropDownCombo;
}

void SetError(std::string* error, const std::string& text) {
    if (error) *error = text;
}

}  // namespace

struct Harness::Impl {
    // What the user sees, for the rule checkers.
    struct View : UserView {
        explicit View(const Impl& i) : impl(i) {}
        const Impl& impl;
        const ControlState* Page(int control) const {
            const WindowState* page = impl.platform.windows.FindByTemplate(TemplateOfName(kSettingsPage));
            return page ? impl.platform.windows.Control(page->handle, control) : nullptr;
        }
        bool BridgeRunning() const override { return impl.Bridge() != nullptr; }
        bool SettingsOpen() const override {
            return impl.platform.windows.FindByTemplate(TemplateOfName(kSettingsPage)) != nullptr;
        }
        bool Usable(int control) const override {
            const ControlState* c = Page(control);
            return c && c->enabled && c->visible;
        }
        bool Checked(int control) const override {
            const ControlState* c = Page(control);
            return c && c->checked;
        }
        int Selection(int control) const override {
            const ControlState* c = Page(control);
            return c ? c->selection : -1;
        }
        int Icon(int control) const override {
            const ControlState* c = Page(control);
            return c ? c->icon : 0;
        }
        std::string Text(int stringId) const override { return res::FindString(stringId, impl.platform.Lang()); }
    };

    explicit Impl(const Options& o) : options(o), platform(LangOf(o.lang), o.clock, o.os), view(*this) {
        platform.session.SetAtConsole(o.atConsole);
        platform.client.SetBridgeProbe([this] { return BridgeListensToClient(); });
        if (!o.checkRules) return;
        checkers = MakeCheckers(platform.base, platform.client, view, [this] { return platform.loop.Now(); },
                                violations);
        for (const auto& checker : checkers) {
            platform.base.AddObserver(checker.get());
            platform.client.AddObserver(checker.get());
        }
        platform.windows.SetBoxObserver([this](const std::string& text) {
            for (const auto& checker : checkers) checker->OnMessageBox(text);
        });
    }

    Options options;
    HeadlessPlatform platform;
    View view;
    bool runsBridge = false;
    plat::Dialog* main = nullptr;
    plat::WindowHandle mainHandle = 0;  // tested before main is touched: the object may be gone
    int lastStatus = 0;
    bool observing = false;
    int exitCode = -1;
    std::vector<Violation> violations;
    std::vector<std::unique_ptr<Checker>> checkers;

    CBridgeDlg* Bridge() const {
        if (!runsBridge || !main || platform.windows.Sink(mainHandle) != main) return nullptr;
        return static_cast<CBridgeDlg*>(main);
    }

    // Runs before every transcript line and after every event: a changed status is
    // recorded as soon as anything else happens.
    void ObserveStatus() {
        if (observing) return;
        CBridgeDlg* dlg = Bridge();
        if (!dlg || dlg->m_nStatus == lastStatus) {
            for (const auto& checker : checkers) checker->Check();
        }
        if (!dlg || dlg->m_nStatus == lastStatus) return;
        observing = true;
        lastStatus = dlg->m_nStatus;
        for (const auto& checker : checkers) checker->OnStatus(lastStatus);
        const int stringId = StatusStringId(lastStatus);
        const std::string text = stringId ? res::FindString(stringId, platform.Lang()) : std::string();
        platform.transcript.Add("status", std::to_string(lastStatus) + " " + text);
        observing = false;
    }

    // Whether the bridge listens to the simulated client now (what the information window
    // shows as VOIP READY, and whose window it reads): the client keeps its phone book by it.
    bool BridgeListensToClient() const {
        const CBridgeDlg* dlg = Bridge();
        return dlg && dlg->m_bClientAttached && g_hClientWnd != 0 && g_hClientWnd == platform.messages.ClientWindow();
    }

    const WindowState* Window(const std::string& name, std::string* error) const {
        const int templateId = TemplateOfName(name);
        if (!templateId) {
            SetError(error, "unknown window '" + name + "'");
            return nullptr;
        }
        const WindowState* w = platform.windows.FindByTemplate(templateId);
        if (!w) SetError(error, "window '" + name + "' is not open");
        return w;
    }

    const ControlState* UsableControl(const std::string& name, int id, std::string* error,
                                      const WindowState** window) const {
        const WindowState* w = Window(name, error);
        if (!w) return nullptr;
        const ControlState* c = platform.windows.Control(w->handle, id);
        if (!c) {
            SetError(error, "window '" + name + "' has no control " + std::to_string(id));
            return nullptr;
        }
        if (!c->enabled || !c->visible) {
            SetError(error, "control " + std::to_string(id) + " of '" + name + "' is " +
                                (c->enabled ? "hidden" : "disabled"));
            return nullptr;
        }
        *window = w;
        return c;
    }

    // Hands a user action to the process as a message and lets it run.
    void Deliver(plat::WindowHandle window, std::function<void(plat::Dialog&)> action) {
        platform.loop.Post([this, window, action = std::move(action)] {
            if (plat::Dialog* sink = platform.windows.Sink(window)) action(*sink);
        });
        platform.loop.Pump();
    }

    void StartProcess(std::function<int()> processMain, const std::string& commandLine, bool bridge) {
        if (platform.loop.Started()) return;
        runsBridge = bridge;
        platform.system.SetCommandLine(commandLine);
        platform.windows.SetMainCreatedHook([this](plat::Dialog& dlg) {
            main = &dlg;
            mainHandle = dlg.Handle();
            if (runsBridge) lastStatus = static_cast<CBridgeDlg&>(dlg).m_nStatus;
        });
        platform.transcript.SetObserver([this] { ObserveStatus(); });
        platform.loop.SetAfterEvent([this] { ObserveStatus(); });
        platform.loop.SetBeforeHandOver([this] { platform.Install(); });
        platform.loop.Start([this, processMain = std::move(processMain)] { exitCode = processMain(); });
        ObserveStatus();
    }
};

Harness::Harness(Options options) : impl_(std::make_unique<Impl>(options)) {
    impl_->platform.windows.SetAutoMessageBoxes(options.autoMessageBoxes);
}

Harness::~Harness() {
    // Whatever the process still does while it unwinds is no longer observable.
    impl_->platform.transcript.Mute();
    impl_->platform.loop.Abort();
}

void Harness::Start(const std::string& commandLine) {
    impl_->StartProcess([] { return BridgerMain(); }, commandLine, true);
}

void Harness::StartWith(std::function<int()> processMain, const std::string& commandLine) {
    impl_->StartProcess(std::move(processMain), commandLine, false);
}

bool Harness::Ended() const { return impl_->platform.loop.Ended(); }
int Harness::ExitCode() const { return Ended() ? impl_->exitCode : -1; }

void Harness::Run(std::uint64_t ms) {
    impl_->platform.loop.Advance(ms);
    impl_->ObserveStatus();
}

void Harness::DriveInline(bool on) { impl_->platform.loop.SetInline(on); }

std::uint64_t Harness::Now() const { return impl_->platform.loop.Now(); }

CBridgeDlg* Harness::Bridge() const { return impl_->Bridge(); }

SimBase& Harness::Base() { return impl_->platform.base; }
SimClient& Harness::Client() { return impl_->platform.client; }
void Harness::PlugBase() { impl_->platform.PlugBase(); }
void Harness::UnplugBase() { impl_->platform.UnplugBase(); }
bool Harness::BasePlugged() const { return impl_->platform.BasePlugged(); }

void Harness::StartClient(ClientKindSim kind) { impl_->platform.StartClient(kind); }
void Harness::StopClient() { impl_->platform.messages.StopClient(); }
bool Harness::ClientRunning() const { return impl_->platform.messages.ClientRunning(); }
plat::WindowHandle Harness::ClientWindow() const { return impl_->platform.messages.ClientWindow(); }

void Harness::ClientAttach(int status) {
    impl_->platform.messages.PostAttach(status);
    impl_->platform.loop.Pump();
}

void Harness::ClientSay(const std::string& text) {
    impl_->platform.messages.PostNotification(text);
    impl_->platform.loop.Pump();
}

void Harness::ClientSendRaw(const std::vector<std::uint8_t>& bytes) {
    impl_->platform.messages.PostRaw(bytes);
    impl_->platform.loop.Pump();
}

bool Harness::Command(int commandId, std::string* error) {
    const WindowState* main = impl_->platform.windows.FindByTemplate(kMainTemplate);
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
    impl_->platform.transcript.Add("session", std::to_string(change));
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
    sim::Transcript& t = impl_->platform.transcript;
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

void Harness::LiveReads(bool on) { impl_->platform.hid.SetLiveReads(on); }

void Harness::DuringClientCommand(std::function<void(const std::string& command)> during) {
    impl_->platform.messages.SetCommandHook(std::move(during));
}

void Harness::ClientSayNow(const std::string& text) { impl_->platform.messages.SendNotificationNow(text); }

void Harness::SendNow(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
    const WindowState* main = impl_->platform.windows.FindByTemplate(kMainTemplate);
    if (main) impl_->platform.windows.SendNow(main->handle, message, wparam, lparam);
}

bool Harness::ConfirmMessageBox() {
    if (!impl_->platform.windows.ConfirmMessageBox()) return false;
    impl_->platform.loop.Pump();
    return true;
}

int Harness::OpenMessageBoxes() const { return impl_->platform.windows.OpenMessageBoxes(); }

const std::vector<Line>& Harness::Transcript() const { return impl_->platform.transcript.Lines(); }

std::vector<Line> Harness::Find(const std::string& kind, const std::string& fragment) const {
    std::vector<Line> out;
    for (const Line& l : Transcript())
        if (l.kind == kind && l.text.find(fragment) != std::string::npos) out.push_back(l);
    return out;
}

int Harness::IndexOf(const std::string& kind, const std::string& fragment, int from) const {
    const std::vector<Line>& lines = Transcript();
    for (int i = std::max(from, 0); i < static_cast<int>(lines.size()); ++i) {
        const Line& l = lines[static_cast<std::size_t>(i)];
        if (l.kind == kind && l.text.find(fragment) != std::string::npos) return i;
    }
    return -1;
}

HeadlessPlatform& Harness::Platform() { return impl_->platform; }

const std::vector<Violation>& Harness::Violations() const { return impl_->violations; }
const UserView& Harness::View() const { return impl_->view; }

}  // namespace sim
