// A running bridge with a base station plugged in and a simulated client, for the tests of
// the client link: what the client received, the VoIP log, balloons and timing.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/BridgeDlg.h"
#include "client/ClientLink.h"
#include "client/ClientTexts.h"
#include "tools/world/HeadlessPlatform.h"
#include "tools/world/Harness.h"

namespace client_test {

constexpr std::uint64_t kAttachMs = 3000;  // device found, discovered, attached, first step done
constexpr std::uint64_t kStepMs = 300;     // a few 100 ms steps

class ClientHarness : public ::testing::Test {
protected:
    explicit ClientHarness(sim::Options options = {}) : h(options) {
        client::g_bRefusalArmed = 1;  // each harness stands for a fresh process
    }

    // Base plugged in, client of this kind running, bridge started with the debug window.
    void Boot(sim::ClientKindSim kind = sim::ClientKindSim::Skype) {
        h.PlugBase();
        h.StartClient(kind);
        h.Start("QOPA");
        h.Run(kAttachMs);
        ASSERT_NE(h.Bridge(), nullptr);
        ASSERT_EQ(Dlg().m_bClientAttached, 1);
        Mark();
    }

    CBridgeDlg& Dlg() { return *h.Bridge(); }
    void Mark() { mark_ = h.Transcript().size(); }
    std::size_t MarkIndex() const { return mark_; }

    std::vector<sim::Line> LinesSince(const std::string& kind) const {
        std::vector<sim::Line> out;
        const auto& lines = h.Transcript();
        for (std::size_t i = mark_; i < lines.size(); ++i)
            if (lines[i].kind == kind) out.push_back(lines[i]);
        return out;
    }
    std::vector<std::string> Since(const std::string& kind) const {
        std::vector<std::string> out;
        for (const sim::Line& l : LinesSince(kind)) out.push_back(l.text);
        return out;
    }
    std::vector<std::string> Commands() const { return Since("client>"); }
    // VoIP-log lines since the mark without their "MM:SS " stamp.
    std::vector<std::string> VoipLog() const { return Unstamped(Since("voip-log")); }
    std::vector<std::string> DeviceLog() const { return Unstamped(Since("device-log")); }
    static bool Has(const std::vector<std::string>& lines, const std::string& text) {
        for (const std::string& l : lines)
            if (l == text) return true;
        return false;
    }

    void Say(const std::string& text) {
        h.ClientSay(text);
        h.Run(kStepMs);
    }
    void Raw(const std::vector<std::uint8_t>& bytes) {
        h.ClientSendRaw(bytes);
        h.Run(kStepMs);
    }
    // Copy-data from a window that is not the client's.
    void CopyDataFrom(plat::WindowHandle sender, const std::string& text) {
        sim::HeadlessPlatform& p = h.Platform();
        const plat::WindowHandle main = Dlg().Handle();
        p.loop.Post([&p, main, sender, text] {
            plat::CopyData data;
            data.size = static_cast<std::uint32_t>(text.size() + 1);
            data.data = text.c_str();
            p.messages.SendCopyData(main, sender, data);
        });
        p.loop.Pump();
    }

    sim::Harness h;

private:
    static std::vector<std::string> Unstamped(const std::vector<std::string>& lines) {
        std::vector<std::string> out;
        for (const std::string& t : lines) out.push_back(t.size() >= 6 ? t.substr(6) : t);
        return out;
    }
    std::size_t mark_ = 0;
};

}  // namespace client_test
