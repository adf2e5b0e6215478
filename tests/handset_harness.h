// A running bridge with a healthy base and an attached client, for the handset and call
// tests: the handset on the base is number 1 unless a test says otherwise.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/BridgeDlg.h"
#include "device/Packet.h"
#include "device/Thread.h"
#include "tools/world/Harness.h"

namespace handset_test {

constexpr std::uint8_t kHandset = 1;
constexpr std::uint64_t kSettleMs = 8000;  // device found, link test passed, client attached
constexpr std::uint64_t kEventMs = 300;    // a few polls: the event is read and answered

inline std::string Hex(const std::vector<std::uint8_t>& bytes) { return pkt::Hex(bytes.data(), bytes.size()); }

class CallHarness : public ::testing::Test {
protected:
    explicit CallHarness(sim::Options options = {}) : h(options) {}

    // Contacts and partner must be set before the bridge starts for them to take effect.
    void Boot() {
        h.PlugBase();
        h.StartClient(sim::ClientKindSim::Skype);
        h.Start("QOPA");  // the debug window records both logs
        h.Run(kSettleMs);
        ASSERT_NE(h.Bridge(), nullptr);
        ASSERT_NE(h.Bridge()->m_pThread, nullptr);
        ASSERT_EQ(h.Bridge()->m_nStatus, STATUS_READY);
        Mark();
    }

    CBridgeDlg& Dlg() { return *h.Bridge(); }
    CThread& Link() { return *h.Bridge()->m_pThread; }
    int State() { return Link().m_nCallState; }

    // From now on the helpers below only look at what follows.
    void Mark() { mark_ = h.Transcript().size(); }

    // Texts of the lines of this kind since the mark.
    std::vector<std::string> Since(const std::string& kind) const {
        std::vector<std::string> out;
        const auto& lines = h.Transcript();
        for (std::size_t i = mark_; i < lines.size(); ++i)
            if (lines[i].kind == kind) out.push_back(lines[i].text);
        return out;
    }
    // Packets written to the base since the mark (keep-alive reports left out).
    std::vector<std::string> Packets() const {
        std::vector<std::string> out;
        for (const std::string& t : Since("usb>"))
            if (t.rfind("2424", 0) == 0) out.push_back(t);
        return out;
    }
    std::vector<std::string> Commands() const { return Since("client>"); }
    // Device-log lines since the mark, without their "MM:SS " stamp.
    std::vector<std::string> DeviceLog() const {
        std::vector<std::string> out;
        for (const std::string& t : Since("device-log")) out.push_back(t.size() > 6 ? t.substr(6) : std::string());
        return out;
    }
    std::vector<std::string> VoipLog() const {
        std::vector<std::string> out;
        for (const std::string& t : Since("voip-log")) out.push_back(t.size() > 6 ? t.substr(6) : std::string());
        return out;
    }
    bool Logged(const std::vector<std::string>& lines, const std::string& text) const {
        for (const std::string& l : lines)
            if (l == text) return true;
        return false;
    }

    // Handset actions, each followed by the polls that read and answer them.
    void Key(char key, std::uint8_t hs = kHandset) { h.Base().Key(hs, key); h.Run(kEventMs); }
    void Keys(const std::string& keys) { for (char k : keys) Key(k); }
    void Talk(std::uint8_t hs = kHandset) { h.Base().FuncKey(hs, '*'); h.Run(kEventMs); }
    void Menu(std::uint8_t hs = kHandset) { h.Base().FuncKey(hs, '#'); h.Run(kEventMs); }
    void Answer(std::uint8_t hs = kHandset) { h.Base().Answer(hs); h.Run(kEventMs); }
    void HangUp(std::uint8_t hs = kHandset) { h.Base().HangUp(hs); h.Run(kEventMs); }
    void DialString(const std::string& text, bool repeat, std::uint8_t hs = kHandset) {
        h.Base().DialString(hs, text, repeat);
        h.Run(kEventMs);
    }
    void Say(const std::string& text) { h.ClientSay(text); h.Run(kEventMs); }

    // A call rings from the client and the caller's handle is known.
    void Ring(const std::string& id) { Say("CALL " + id + " STATUS RINGING"); }

    sim::Harness h;

private:
    std::size_t mark_ = 0;
};

}  // namespace handset_test
