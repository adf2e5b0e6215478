#include "app/BridgeDlg.h"

void CBridgeDlg::OnClientNotification(const char*) {}
int CBridgeDlg::ReadToken(const char*, std::string&, int) { return 0; }
void CBridgeDlg::OnCallNotification(const char*) {}
void CBridgeDlg::RequestCallPartner() {}
void CBridgeDlg::CopyCallPartner(char* buffer) { buffer[0] = 0; }
void CBridgeDlg::EndCallLocally() {}
void CBridgeDlg::PlaceCallToSelected() {}
void CBridgeDlg::PlaceCall(const std::string&) {}
void CBridgeDlg::OnClientDetached() {}
