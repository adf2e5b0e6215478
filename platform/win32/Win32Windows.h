// Dialogs from the executable's resource templates, one dialog procedure for all of them,
// their controls by id, window timers and message boxes.
#pragma once
#include <map>
#include <vector>

#include "platform/Windows.h"
#include "platform/win32/Win32Api.h"

namespace win32 {

inline HWND ToHwnd(plat::WindowHandle window) { return reinterpret_cast<HWND>(window); }
inline plat::WindowHandle FromHwnd(HWND window) { return reinterpret_cast<plat::WindowHandle>(window); }
// The window's class is name (case-insensitive); false for no window.
bool HasClass(HWND window, const char* name);

class Win32Windows : public plat::Windows {
public:
    explicit Win32Windows(HINSTANCE instance) : instance_(instance) {}

    plat::WindowHandle CreateModeless(int templateId, plat::Dialog& sink, plat::WindowHandle parent) override;
    int RunModal(int templateId, plat::Dialog& sink, plat::WindowHandle parent) override;
    // Win32PropertySheet.cpp: PropertySheetA, modeless, one page routed to its plat::Dialog.
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
    void SetPeerText(plat::WindowHandle window, int id, const std::string& text) override;
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
    // Win32Loop.cpp: the events the modal loop waits on besides messages, and its timers.
    void WatchEvent(plat::WindowHandle window, plat::Handle event, unsigned message) override;
    void UnwatchEvent(plat::WindowHandle window, plat::Handle event) override;
    void DeferTimers(plat::WindowHandle window, unsigned ms) override;

    void MessageBox(plat::WindowHandle owner, const std::string& text) override;
    void MessageBoxNoOwner(const std::string& text) override;
    std::intptr_t DefaultProc(plat::WindowHandle window, unsigned message, std::uintptr_t wparam,
                              std::intptr_t lparam) override;

    // Hands a message of the thread's queue to the dialog manager of the dialog it is for.
    bool TranslateDialogMessage(MSG& msg);
    // Keyboard handling of the open property sheets; a sheet closed by its buttons goes away.
    bool TranslateSheetMessage(MSG& msg);

private:
    struct ModalState {
        bool ended = false;
        int result = 0;
    };
    struct Watch {
        HWND window;
        HANDLE event;
        UINT message;
    };

    // Win32Loop.cpp: GetMessage for the modal loop, which also hands a watched event that is
    // set to its window; false for WM_QUIT (msg holds it) or an error.
    bool NextMessage(MSG& msg, bool& quit);
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    static INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    INT_PTR Dispatch(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    // The steps of Dispatch for the messages that take more than a line.
    INT_PTR OnInitDialogMessage(HWND window, LPARAM lparam);
    INT_PTR OnCommandMessage(plat::Dialog& sink, WPARAM wparam, LPARAM lparam);
    INT_PTR OnPaintMessage(HWND window, plat::Dialog& sink);
    INT_PTR OnCopyDataMessage(HWND window, plat::Dialog& sink, WPARAM wparam, LPARAM lparam);
    INT_PTR Handled(HWND window, UINT message, std::intptr_t result);
    void PaintMinimisedIcon(HWND window, HDC dc, int iconId);
    plat::Dialog* Sink(HWND window) const;
    HWND Item(plat::WindowHandle window, int id) const;
    static void ShowText(HWND control, const std::wstring& text);

    HINSTANCE instance_;
    std::map<HWND, plat::Dialog*> sinks_;
    std::map<HWND, ModalState> modal_;
    std::vector<Watch> watches_;
    // DeferTimers: until this GetTickCount the modal loop does not wake for timers.
    bool timersDeferred_ = false;
    DWORD timersDueBy_ = 0;
    // The dialog whose modal window is being created.
    plat::Dialog* startingModal_ = nullptr;
    // The window whose next message to the dialog procedure comes from DefaultProc.
    HWND defaulting_ = nullptr;
};

}  // namespace win32
