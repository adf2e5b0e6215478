// libFuzzer target: input reports from a hostile or broken base station, fed through the
// device link of a running bridge at any point of its life. The first byte picks the state
// the bridge is brought to (before or during the start-up link test, ringing, in a call,
// with a second call, off hook, in the letter menu, while a base command or a loopback test
// waits for its reply); the rest is a sequence of steps: whole 48-byte reports, framed
// packets with any code and body, handset events with any bytes, time passing, client call
// notifications and the base going away. Dispatch, the handset logic and every packet the
// bridge writes back run under ASan and UBSan; afterwards every call is ended and the
// bridge must be back to a ready state or is rebuilt.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/BridgeDlg.h"
#include "device/Packet.h"
#include "device/Thread.h"
#include "tests/fuzz/FuzzBridge.h"

namespace {

constexpr int kMaxSteps = 48;
constexpr std::size_t kMaxBody = 43;
// Far beyond anything a session holds: a text or list this long has grown without bound.
constexpr std::size_t kGrowthLimit = 4096;

const std::uint8_t kEvents[] = {pkt::EVT_FUNC_KEY,     pkt::EVT_HANG_UP,  pkt::EVT_LINE_RELEASED, pkt::EVT_ANSWER,
                                pkt::EVT_REGISTER_END, pkt::EVT_KEY,      pkt::EVT_TEST_REPLY,    pkt::EVT_BASE_STATUS,
                                pkt::EVT_COMMAND_REPLY, pkt::EVT_DIAL_STRING, pkt::EVT_TUNNEL_DATA};
const char* const kStatuses[] = {"RINGING", "ROUTING", "INPROGRESS", "FINISHED", "MISSED",
                                 "REFUSED", "BUSY",    "FAILED",     "ONHOLD",   "CANCELLED"};

void CheckGrowth(CBridgeDlg& dlg) {
    const CThread& link = *dlg.m_pThread;
    const std::size_t sizes[] = {link.m_strDigits.size(), link.m_strTrace.size(), dlg.m_strDisplayName.size(),
                                 dlg.m_strCallId.size(),  dlg.m_strPeerHandle.size(), dlg.m_contacts.size()};
    for (std::size_t size : sizes) {
        if (size > kGrowthLimit) {
            std::fprintf(stderr, "fuzz: a field of the bridge grew to %zu\n", size);
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Bridge& bridge = fuzz::TheBridge();
    fuzz::Reader in(data, size);
    const std::uint8_t first = in.Byte();
    bridge.Enter(static_cast<fuzz::Prefix>(first % static_cast<std::uint8_t>(fuzz::Prefix::Count)));
    sim::Harness& h = bridge.Harness();
    for (int step = 0; step < kMaxSteps && !in.Done(); ++step) {
        switch (in.Byte() % 8) {
            case 0: {  // a whole report, any bytes
                const std::vector<std::uint8_t> report = in.Bytes(in.Byte() % (pkt::kDataSize + 1));
                bridge.Report(report.data(), report.size());
                break;
            }
            case 1: {  // a well-framed packet with any code and body
                const std::uint8_t code = in.Byte();
                bridge.Packet(code, in.Bytes(in.Byte() % (kMaxBody + 1)));
                break;
            }
            case 2: {  // an event the bridge knows, with any body
                const std::uint8_t code = kEvents[in.Byte() % sizeof kEvents];
                bridge.Packet(code, in.Bytes(in.Byte() % 8));
                break;
            }
            case 3: bridge.Run(100 * (1 + in.Byte() % 4)); break;
            case 4: bridge.Run(1000 * (1 + in.Byte() % 5)); break;  // time-outs fall due
            case 5: {  // the client's side of the call moves on
                CBridgeDlg& dlg = bridge.Dlg();
                const std::uint8_t pick = in.Byte();
                std::string id = dlg.m_strCallId.empty() ? std::string("77") : dlg.m_strCallId;
                if (pick & 0x80) id = "78";
                bridge.Say("CALL " + id + " STATUS " + kStatuses[pick % (sizeof kStatuses / sizeof *kStatuses)]);
                break;
            }
            case 6: {  // the base goes away for a while
                h.UnplugBase();
                bridge.Run(500 * (in.Byte() % 12));
                h.PlugBase();
                break;
            }
            default: {  // a key on a handset, as a healthy base reports it
                const std::uint8_t handset = in.Byte() % 4;
                h.Base().Key(handset, static_cast<char>(in.Byte()));
                bridge.Run(100);
                break;
            }
        }
        if (!h.Bridge()) break;
    }
    if (h.Bridge()) CheckGrowth(bridge.Dlg());
    bridge.Settle();
    return 0;
}
