// The two log-line writers and the raw-data trace.
#include <cstdio>

#include "app/BridgeDlg.h"
#include "client/ClientTexts.h"
#include "device/Packet.h"
#include "platform/Platform.h"
#include "ui/DebugDlg.h"

namespace {

// "%02d:%02d %s" with the local minute and second (not the hour).
std::string Stamped(const std::string& text) {
    const plat::TimeOfDay now = plat::system().LocalTime();
    char stamp[16];
    std::snprintf(stamp, sizeof stamp, "%02d:%02d ", now.minute % 100, now.second % 100);
    return stamp + text;
}

void WriteLine(CDebugDlg* debug, int kind, const std::string& text) {
    if (!debug || !debug->IsWindow()) return;
    debug->AddLogLine(kind, Stamped(text).c_str());
}

}  // namespace

void CBridgeDlg::LogClientLine(const std::string& text) {
    if (m_bDebugMode) return;
    WriteLine(m_pDebugDlg, LOG_VOIP, text);
}

void CBridgeDlg::LogDeviceLine(const std::string& text) {
    if (m_bDebugMode) return;
    WriteLine(m_pDebugDlg, LOG_DEVICE, text);
}

void CBridgeDlg::TraceRawSend(const std::uint8_t* bytes, int length) {
    std::string line = client::kTraceSendPrefix;
    if (bytes && length > 0) line += pkt::Hex(bytes, static_cast<std::size_t>(length));
    // The raw trace is written even in the muted debug mode.
    WriteLine(m_pDebugDlg, LOG_DEVICE, line);
}
