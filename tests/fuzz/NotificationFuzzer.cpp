// libFuzzer target: copy-data from the attached client reaching a running bridge. The first
// byte picks the state the bridge starts from (as for the base target); the rest is a
// sequence of steps: texts with their NUL, exact copy-data bytes (no NUL, inner NULs),
// cbData 0 with and without a pointer, very long texts, calls moving through their
// statuses in any order (two calls at once included), a USERS reply followed by USER
// notifications about those contacts, handset events and time passing. ASan and UBSan
// report any read outside the bytes given; afterwards every call is ended and the bridge
// must be back to a ready state or is rebuilt.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/BridgeDlg.h"
#include "platform/Messages.h"
#include "tests/fuzz/FuzzBridge.h"

namespace {

constexpr int kMaxSteps = 48;
constexpr std::size_t kMaxContacts = 300;  // the client's list is its own; kept small for speed
constexpr std::size_t kLongUnit = 1024;
constexpr int kAttachAvailable = 32769;

const char* const kStatuses[] = {"RINGING", "ROUTING",  "EARLYMEDIA", "INPROGRESS", "ONHOLD",
                                 "LOCALHOLD", "REMOTEHOLD", "FINISHED", "MISSED",   "REFUSED",
                                 "BUSY",    "FAILED",   "CANCELLED",  "UNPLACED",   ""};
const char* const kCallIds[] = {"11", "12", "13", "", " 11"};
const char* const kHandles[] = {"Alice", "bob", "carol", "dave", "Zed", "echo123", "", "a,", "\xC3\xA9mile"};
const char* const kUserProperties[] = {"ONLINESTATUS", "BUDDYSTATUS", "FULLNAME", "DISPLAYNAME", ""};
const char* const kUserValues[] = {"ONLINE", "OFFLINE", "AWAY", "DND", "1", "3", "2", "Alice Smith", ""};

template <typename T, std::size_t N>
const T& Pick(const T (&table)[N], std::uint8_t byte) {
    return table[byte % N];
}

std::string Text(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Bridge& bridge = fuzz::TheBridge();
    fuzz::Reader in(data, size);
    bridge.Enter(static_cast<fuzz::Prefix>(in.Byte() % static_cast<std::uint8_t>(fuzz::Prefix::Count)));
    sim::Harness& h = bridge.Harness();
    for (int step = 0; step < kMaxSteps && !in.Done() && h.Bridge(); ++step) {
        switch (in.Byte() % 8) {
            case 0: bridge.Say(Text(in.Bytes(in.Byte()))); break;  // a text and its NUL
            case 1: {  // exact bytes: no NUL, or NULs inside
                const std::vector<std::uint8_t> bytes = in.Bytes(in.Byte());
                bridge.CopyData(bytes.data(), bytes.size());
                break;
            }
            case 2: {  // cbData 0, with or without a pointer behind it
                static const char nothing[] = "CALL 11 STATUS RINGING";
                plat::CopyData empty;
                empty.size = 0;
                empty.data = (in.Byte() & 1) ? nothing : nullptr;
                bridge.Dlg().OnCopyData(h.ClientWindow(), empty);
                break;
            }
            case 3: {  // a very long text, with or without its NUL
                const std::uint8_t shape = in.Byte();
                std::string unit = Text(in.Bytes(1 + shape % 16));
                if (unit.empty()) unit = "x";
                std::string text = std::string(Pick(kCallIds, shape)) + " ";
                text = (shape & 0x10 ? "CALL " : "USERS ") + text;
                const std::size_t length = kLongUnit * (1 + shape % 8);
                text.reserve(length + unit.size());
                while (text.size() < length) text += unit;
                if (shape & 0x80) bridge.Say(text);
                else bridge.CopyData(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
                break;
            }
            case 4: {  // a call moves on
                const std::uint8_t pick = in.Byte();
                const std::string id = Pick(kCallIds, pick);
                if (pick & 0x80) bridge.Say("CALL " + id + " PARTNER_HANDLE " + Pick(kHandles, in.Byte()));
                else bridge.Say("CALL " + id + " STATUS " + Pick(kStatuses, in.Byte()));
                break;
            }
            case 5: {  // contacts: a USERS reply, or news about one of them
                const std::uint8_t pick = in.Byte();
                if (pick & 1) {
                    std::string reply = "USERS";
                    for (int i = 0, n = pick >> 4; i < n; ++i) reply += std::string(i ? ", " : " ") + Pick(kHandles, in.Byte());
                    bridge.Say(reply);
                } else {
                    bridge.Say(std::string("USER ") + Pick(kHandles, in.Byte()) + " " +
                               Pick(kUserProperties, in.Byte()) + " " + Pick(kUserValues, in.Byte()));
                }
                break;
            }
            case 6: {  // the handsets take part
                const std::uint8_t pick = in.Byte();
                sim::SimBase& base = h.Base();
                switch (pick % 5) {
                    case 0: base.Answer(1); break;
                    case 1: base.HangUp(1); break;
                    case 2: base.FuncKey(1, (pick & 0x80) ? '#' : '*'); break;
                    case 3: base.Key(1, static_cast<char>(in.Byte())); break;
                    default: base.LineReleased(); break;
                }
                bridge.Run(100);
                break;
            }
            default: {  // time passes; now and then the client goes away and comes back
                const std::uint8_t pick = in.Byte();
                if (pick == 0xFF) {
                    h.StopClient();
                    bridge.Run(500);
                    h.StartClient(sim::ClientKindSim::Skype);
                    h.ClientAttach(kAttachAvailable);  // a client that starts says so
                }
                bridge.Run(100 * (1 + pick % 32));
                break;
            }
        }
    }
    if (CBridgeDlg* dlg = h.Bridge())
        if (dlg->m_contacts.size() > kMaxContacts) bridge.Say("CONNSTATUS LOGGEDOUT");
    bridge.Settle();
    return 0;
}
