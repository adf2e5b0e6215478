#include "app/BridgeDlg.h"

void CBridgeDlg::LogClientLine(const std::string&) {}
void CBridgeDlg::LogDeviceLine(const std::string&) {}
void CBridgeDlg::TraceRawSend(const std::uint8_t*, int) {}
