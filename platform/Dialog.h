// The base of every dialog of the bridge: a window made from a template, its controls by
// id, its timers, and the handlers the backend calls when messages arrive.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Types.h"

namespace plat {

class Dialog {
public:
    explicit Dialog(int templateId);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    int TemplateId() const { return templateId_; }
    WindowHandle Handle() const { return handle_; }
    Dialog* Parent() const { return parent_; }

    // Modeless window with parent as owner; false when it could not be created.
    bool Create(Dialog* parent);
    // Modal loop; the result given to EndDialog.
    int DoModal(Dialog* parent = nullptr);
    void EndDialog(int result);
    void DestroyWindow();
    // The object has a window and that window still exists.
    bool IsWindow() const;

    void ShowWindow(bool show);
    void SetForegroundWindow();
    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;
    void SetWindowIcon(int iconId, bool big);
    bool HasSystemMenu() const;
    void AppendSystemMenuItem(unsigned commandId, const std::string& text);

    bool HasItem(int id) const;
    void SetDlgItemText(int id, const std::string& text);
    // A text of the client or the base (see platform/Windows.h).
    void SetDlgItemPeerText(int id, const std::string& text);
    std::string GetDlgItemText(int id) const;
    void EnableItem(int id, bool enable);
    bool IsItemEnabled(int id) const;
    void ShowItem(int id, bool show);
    bool IsItemVisible(int id) const;
    void CheckItem(int id, bool check);
    bool IsItemChecked(int id) const;
    void AddItemString(int id, const std::string& text);
    void InsertItemString(int id, int index, const std::string& text);
    int GetItemCount(int id) const;
    std::string GetItemString(int id, int index) const;
    void SetCurSel(int id, int index);
    int GetCurSel(int id) const;
    void SetItemIcon(int id, int iconId);

    void SetTimer(unsigned id, unsigned periodMs);
    void KillTimer(unsigned id);
    // OK-only, owned by this window, the application's title as caption.
    void MessageBox(const std::string& text);
    std::intptr_t Default(unsigned message, std::uintptr_t wparam, std::intptr_t lparam);

    // ---- handlers, called by the backend on the UI thread ----
    virtual bool OnInitDialog() { return true; }
    virtual void OnTimer(unsigned id) { (void)id; }
    // A menu command, a button click or a radio click; false passes it on.
    virtual bool OnCommand(int id) { (void)id; return false; }
    // The close box. The default ends a modal dialog with 2 (cancel); modeless windows
    // decide for themselves.
    virtual void OnClose();
    virtual void OnPaint() {}
    // The icon resource a minimised window paints centred in its client area and hands out
    // as its drag image; 0 leaves both to the default handling.
    virtual int MinimisedIcon() const { return 0; }
    // WM_SYSCOMMAND; false for the default handling.
    virtual bool OnSysCommand(unsigned id) { (void)id; return false; }
    // WM_COPYDATA; true when processed (TRUE to the sender).
    virtual bool OnCopyData(WindowHandle from, const CopyData& data) { (void)from; (void)data; return false; }
    // Any other message (registered ones, the tray callback); false for the default procedure.
    virtual bool OnMessage(unsigned message, std::uintptr_t wparam, std::intptr_t lparam, std::intptr_t& result) {
        (void)message; (void)wparam; (void)lparam; (void)result;
        return false;
    }

    // ---- backend bookkeeping ----
    void AttachHandle(WindowHandle handle) { handle_ = handle; }
    void DetachHandle() { handle_ = 0; }

private:
    int templateId_;
    WindowHandle handle_ = 0;
    Dialog* parent_ = nullptr;
};

}  // namespace plat
