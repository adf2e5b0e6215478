#include "app/BridgeDlg.h"

void CBridgeDlg::OnUsersReply(const char*) {}
void CBridgeDlg::OnUserNotification(const char*) {}
void CBridgeDlg::OnMessageNotification(const char*) {}
void CBridgeDlg::InsertContact(const std::string&) {}
void CBridgeDlg::QueryNextContactStatus() {}
void CBridgeDlg::EndStatusSweep() {}
void CBridgeDlg::SelectContactText(int, char* buffer) { buffer[0] = 0; }
std::string CBridgeDlg::NextContact() { return {}; }
std::string CBridgeDlg::PrevContact() { return {}; }
std::string CBridgeDlg::FindContactByLetter(char) { return {}; }
void CBridgeDlg::CopyMessagePartner(char* buffer) { buffer[0] = 0; }
void CBridgeDlg::RequestMessagePartner() {}
