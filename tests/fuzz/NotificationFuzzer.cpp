// libFuzzer target: arbitrary copy-data bytes from the attached client reach OnCopyData and
// OnClientNotification of a running bridge (base plugged in, simulated client attached).
// ASan and UBSan report any read outside the bytes given.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/BridgeDlg.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/headless/Harness.h"

namespace {

constexpr std::uint64_t kBootMs = 8000;
constexpr std::uint64_t kRediscoverMs = 1500;
constexpr std::size_t kMaxContacts = 2000;  // keeps insertion cheap over a long run

sim::Harness& Bridge() {
    static sim::Harness* harness = [] {
        auto* h = new sim::Harness();
        h->PlugBase();
        h->StartClient(sim::ClientKindSim::Skype);
        h->Start();  // no debug window: the log writers format nothing
        h->Platform().transcript.Mute();
        h->Run(kBootMs);
        return h;
    }();
    return *harness;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sim::Harness& h = Bridge();
    if (h.Ended() || !h.Bridge()) return 0;
    h.ClientSendRaw(std::vector<std::uint8_t>(data, data + size));
    h.Run(100);  // one step: the device thread acts on what the notification set
    CBridgeDlg* dlg = h.Bridge();
    if (!dlg) return 0;
    if (dlg->m_contacts.size() > kMaxContacts) h.ClientSay("CONNSTATUS LOGGEDOUT");
    if (!dlg->m_bClientAttached) h.Run(kRediscoverMs);  // the client answers discovery again
    return 0;
}
