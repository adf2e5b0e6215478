// The inside of a sim::Harness, shared by its files: the process and its platform, what
// the user sees for the rule checkers, and the status observer.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/BridgeDlg.h"
#include "app/StatusStrings.h"
#include "tools/world/Harness.h"
#include "tools/world/HeadlessPlatform.h"
#include "tools/sim/Checker.h"
#include "res/resource.h"

namespace sim {

const char* const kSettingsPage = "options";

// The string-table text the information window shows for a status code.
inline int StatusStringId(int status) {
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

inline void SetError(std::string* error, const std::string& text) {
    if (error) *error = text;
}

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
        platform.recorder.Add("status", std::to_string(lastStatus) + " " + text);
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
        platform.recorder.SetObserver([this] { ObserveStatus(); });
        platform.loop.SetAfterEvent([this] { ObserveStatus(); });
        platform.loop.SetBeforeHandOver([this] { platform.Install(); });
        platform.loop.Start([this, processMain = std::move(processMain)] { exitCode = processMain(); });
        ObserveStatus();
    }
};

}  // namespace sim
