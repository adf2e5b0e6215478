// Dialog windows, their controls by id, window timers and message boxes.
//
// Two kinds of text reach the windows: the program's own (string-table texts and the
// constants of the code) in UTF-8, and the texts of the client and the base, single bytes
// in the PC's ANSI code page. SetPeerText and the list items take the second kind; every
// other call that shows a text takes the first.
#pragma once
#include <string>

#include "platform/Types.h"

namespace plat {

class Dialog;

class Windows {
public:
    virtual ~Windows() = default;

    // Creates the dialog's window from its template and delivers WM_INITDIALOG to it
    // before returning; 0 when the window could not be created.
    virtual WindowHandle CreateModeless(int templateId, Dialog& sink, WindowHandle parent) = 0;
    // Creates the window and runs a modal loop until EndDialog; returns its result (-1 on failure).
    virtual int RunModal(int templateId, Dialog& sink, WindowHandle parent) = 0;
    // A modeless property sheet with this caption, owned by parent, holding one page made
    // from the template; the page's OnInitDialog runs before it returns. The sheet's window
    // (0 on failure); destroying it destroys the page's window too.
    virtual WindowHandle CreateModelessSheet(const std::string& caption, int pageTemplateId, Dialog& page,
                                             WindowHandle parent) = 0;
    virtual void EndDialog(WindowHandle window, int result) = 0;
    virtual void Destroy(WindowHandle window) = 0;
    virtual bool Exists(WindowHandle window) const = 0;

    virtual void Show(WindowHandle window, bool show) = 0;
    virtual void ToForeground(WindowHandle window) = 0;
    virtual void SetCaption(WindowHandle window, const std::string& text) = 0;
    virtual std::string Caption(WindowHandle window) const = 0;
    virtual void SetWindowIcon(WindowHandle window, int iconId, bool big) = 0;
    virtual bool HasSystemMenu(WindowHandle window) const = 0;
    // Appends a separator and then the item to the window's system menu.
    virtual void AppendSystemMenuItem(WindowHandle window, unsigned commandId, const std::string& text) = 0;

    // Controls by id. Lists and combos share the item calls; -1 is "no selection".
    virtual bool HasControl(WindowHandle window, int id) const = 0;
    virtual void SetText(WindowHandle window, int id, const std::string& text) = 0;
    // A text of the client or the base, shown in a control.
    virtual void SetPeerText(WindowHandle window, int id, const std::string& text) { SetText(window, id, text); }
    // What a control holds, in the ANSI code page: what the user types there is for the client.
    virtual std::string Text(WindowHandle window, int id) const = 0;
    virtual void Enable(WindowHandle window, int id, bool enable) = 0;
    virtual bool IsEnabled(WindowHandle window, int id) const = 0;
    virtual void ShowControl(WindowHandle window, int id, bool show) = 0;
    virtual bool IsVisible(WindowHandle window, int id) const = 0;
    virtual void Check(WindowHandle window, int id, bool check) = 0;
    virtual bool IsChecked(WindowHandle window, int id) const = 0;
    virtual void AddItem(WindowHandle window, int id, const std::string& text) = 0;
    virtual void InsertItem(WindowHandle window, int id, int index, const std::string& text) = 0;
    virtual int ItemCount(WindowHandle window, int id) const = 0;
    virtual std::string ItemText(WindowHandle window, int id, int index) const = 0;
    virtual void SetSelection(WindowHandle window, int id, int index) = 0;
    virtual int Selection(WindowHandle window, int id) const = 0;
    virtual void SetIcon(WindowHandle window, int id, int iconId) = 0;

    // Periodic window timers, delivered to the sink's OnTimer.
    virtual void SetTimer(WindowHandle window, unsigned id, unsigned periodMs) = 0;
    virtual void KillTimer(WindowHandle window, unsigned id) = 0;

    // While a modal loop of this process's own (RunModal) waits for messages, it waits for
    // the event too; once the event is set, the window's sink gets `message` from that loop.
    // Message boxes and menus run the system's loops, which watch no events. One watch per
    // window and event; a destroyed window's watches go with it.
    virtual void WatchEvent(WindowHandle window, Handle event, unsigned message) = 0;
    virtual void UnwatchEvent(WindowHandle window, Handle event) = 0;
    // For the next ms the modal loop need not wake for timers: it sleeps until a message or
    // a watched event comes, or the time is up, and then delivers the timers that fell due
    // (one WM_TIMER each, as always). 0 ends it early. Only wake-ups change, so a backend
    // may ignore it.
    virtual void DeferTimers(WindowHandle window, unsigned ms) = 0;

    // OK-only box owned by the window, captioned with the application's title. It runs a
    // nested message loop, so timers keep firing until the user confirms it.
    virtual void MessageBox(WindowHandle owner, const std::string& text) = 0;
    // A message box without an owner window (used before any dialog exists).
    virtual void MessageBoxNoOwner(const std::string& text) = 0;
    // The default window procedure for a message the sink did not handle.
    virtual std::intptr_t DefaultProc(WindowHandle window, unsigned message, std::uintptr_t wparam,
                                      std::intptr_t lparam) = 0;
};

}  // namespace plat
