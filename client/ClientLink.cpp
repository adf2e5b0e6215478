#include "app/BridgeDlg.h"

plat::WindowHandle g_hClientWnd = 0;
unsigned g_uAttachMsg = 0;
unsigned g_uDiscoverMsg = 0;

void CBridgeDlg::DiscoverClient() {}
void CBridgeDlg::StepClientLink() {}
std::intptr_t CBridgeDlg::OnClientAttach(std::uintptr_t, std::intptr_t) { return 0; }
void CBridgeDlg::OnClientAttached() {}
void CBridgeDlg::OnClientRefused() {}
void CBridgeDlg::ResetClientLink() {}
std::intptr_t CBridgeDlg::SendClientCommand(const char*, std::uint32_t) { return 0; }
bool CBridgeDlg::OnCopyData(plat::WindowHandle, const plat::CopyData&) { return false; }
void CBridgeDlg::PollConnStatus() {}
void CBridgeDlg::ShowBalloon(int) {}
