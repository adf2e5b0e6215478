// A running bridge whose base passed its link test, for the tests of the client's
// notifications: the packets sent to the handsets and a call answered on handset 1.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "device/Packet.h"
#include "tests/client_harness.h"

namespace client_test {

constexpr std::uint8_t kHandset = 1;
constexpr std::uint64_t kSettleMs = 8000;  // the base passed its link test

inline std::string HexOf(const std::vector<std::uint8_t>& bytes) { return pkt::Hex(bytes.data(), bytes.size()); }

class Notify : public ClientHarness {
protected:
    void Settle() {
        Boot();
        h.Run(kSettleMs);
        ASSERT_EQ(Dlg().m_nStatus, STATUS_READY);
        Mark();
    }
    std::vector<std::string> Packets() const {
        std::vector<std::string> out;
        for (const std::string& t : Since("usb>"))
            if (t.rfind("2424", 0) == 0) out.push_back(t);
        return out;
    }
    int Count(const std::vector<std::string>& lines, const std::string& text) const {
        int n = 0;
        for (const std::string& l : lines) n += l == text;
        return n;
    }
    void Key(char key) {
        h.Base().Key(kHandset, key);
        h.Run(kStepMs);
    }
    void Answer() {
        h.Base().Answer(kHandset);
        h.Run(kStepMs);
    }
    // Call id rings and is answered on the handset.
    void InCall(const std::string& id) {
        Say("CALL " + id + " STATUS RINGING");
        Answer();
        ASSERT_EQ(Dlg().m_nStatus, STATUS_IN_CALL);
        ASSERT_EQ(Dlg().m_strCallId, id);
        Mark();
    }
};

}  // namespace client_test
