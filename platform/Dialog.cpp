#include "platform/Dialog.h"

#include "platform/Platform.h"

namespace plat {

Dialog::Dialog(int templateId) : templateId_(templateId) {}

Dialog::~Dialog() {
    if (IsWindow()) windows().Destroy(handle_);
    handle_ = 0;
}

bool Dialog::Create(Dialog* parent) {
    parent_ = parent;
    const WindowHandle owner = parent ? parent->Handle() : 0;
    return windows().CreateModeless(templateId_, *this, owner) != 0;
}

int Dialog::DoModal(Dialog* parent) {
    parent_ = parent;
    return windows().RunModal(templateId_, *this, parent ? parent->Handle() : 0);
}

void Dialog::EndDialog(int result) {
    if (handle_) windows().EndDialog(handle_, result);
}

void Dialog::DestroyWindow() {
    if (IsWindow()) windows().Destroy(handle_);
}

bool Dialog::IsWindow() const { return handle_ != 0 && windows().Exists(handle_); }

void Dialog::ShowWindow(bool show) { windows().Show(handle_, show); }
void Dialog::SetForegroundWindow() { windows().ToForeground(handle_); }
void Dialog::SetWindowText(const std::string& text) { windows().SetCaption(handle_, text); }
std::string Dialog::GetWindowText() const { return windows().Caption(handle_); }
void Dialog::SetWindowIcon(int iconId, bool big) { windows().SetWindowIcon(handle_, iconId, big); }
bool Dialog::HasSystemMenu() const { return windows().HasSystemMenu(handle_); }
void Dialog::AppendSystemMenuItem(unsigned commandId, const std::string& text) {
    windows().AppendSystemMenuItem(handle_, commandId, text);
}

bool Dialog::HasItem(int id) const { return windows().HasControl(handle_, id); }
void Dialog::SetDlgItemText(int id, const std::string& text) { windows().SetText(handle_, id, text); }
void Dialog::SetDlgItemPeerText(int id, const std::string& text) { windows().SetPeerText(handle_, id, text); }
std::string Dialog::GetDlgItemText(int id) const { return windows().Text(handle_, id); }
void Dialog::EnableItem(int id, bool enable) { windows().Enable(handle_, id, enable); }
bool Dialog::IsItemEnabled(int id) const { return windows().IsEnabled(handle_, id); }
void Dialog::ShowItem(int id, bool show) { windows().ShowControl(handle_, id, show); }
bool Dialog::IsItemVisible(int id) const { return windows().IsVisible(handle_, id); }
void Dialog::CheckItem(int id, bool check) { windows().Check(handle_, id, check); }
bool Dialog::IsItemChecked(int id) const { return windows().IsChecked(handle_, id); }
void Dialog::AddItemString(int id, const std::string& text) { windows().AddItem(handle_, id, text); }
void Dialog::InsertItemString(int id, int index, const std::string& text) {
    windows().InsertItem(handle_, id, index, text);
}
int Dialog::GetItemCount(int id) const { return windows().ItemCount(handle_, id); }
std::string Dialog::GetItemString(int id, int index) const { return windows().ItemText(handle_, id, index); }
void Dialog::SetCurSel(int id, int index) { windows().SetSelection(handle_, id, index); }
int Dialog::GetCurSel(int id) const { return windows().Selection(handle_, id); }
void Dialog::SetItemIcon(int id, int iconId) { windows().SetIcon(handle_, id, iconId); }

void Dialog::SetTimer(unsigned id, unsigned periodMs) { windows().SetTimer(handle_, id, periodMs); }
void Dialog::KillTimer(unsigned id) { windows().KillTimer(handle_, id); }
void Dialog::MessageBox(const std::string& text) { windows().MessageBox(handle_, text); }
std::intptr_t Dialog::Default(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
    return windows().DefaultProc(handle_, message, wparam, lparam);
}

void Dialog::OnClose() { EndDialog(2); }

}  // namespace plat
