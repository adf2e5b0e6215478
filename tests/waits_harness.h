// The bridge with a healthy base and Skype attached on a bus of live reads (a report
// completes the outstanding read the moment the base sends it, and a poll's wait lasts its
// 200 ms of virtual time), for the tests that nobody waits on the base.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "app/BridgeDlg.h"
#include "client/ClientLink.h"
#include "tools/world/Harness.h"
#include "tools/world/HeadlessPlatform.h"

namespace waits_test {

constexpr std::uint64_t kReadyMs = 10000;
constexpr std::uint64_t kBetweenTicksMs = 37;  // a moment that is no tick's
constexpr std::uint64_t kPollWaitMs = 200;
constexpr std::uint64_t kKeepAliveEveryMs = 800;  // every fourth poll of an idle base
constexpr const char* kKeepAlive = "00000000";
constexpr const char* kCall = "7";

class NoWait : public ::testing::Test {
protected:
    NoWait() { client::g_bRefusalArmed = 1; }

    // A healthy base and Skype attached, the debug window recording both logs.
    void Boot() {
        h.LiveReads(true);
        h.PlugBase();
        h.StartClient(sim::ClientKindSim::Skype);
        h.Start("QOPA");
        ASSERT_TRUE(RunUntil([&] { return AllReady(); }, kReadyMs));
        Mark();
    }
    bool AllReady() {
        CBridgeDlg* dlg = h.Bridge();
        return dlg && dlg->m_nStatus == STATUS_READY && dlg->m_bClientAttached == 1 && dlg->m_nLinkState == Ready;
    }
    bool RunUntil(const std::function<bool()>& done, std::uint64_t limitMs) {
        for (std::uint64_t waited = 0; waited < limitMs; waited += 10) {
            if (done()) return true;
            h.Run(10);
        }
        return done();
    }
    void Mark() { mark_ = h.Transcript().size(); }

    // The first line of the kind containing the text after the mark; its index (-1: none).
    int At(const std::string& kind, const std::string& text, int from = -1) const {
        return h.IndexOf(kind, text, from < 0 ? static_cast<int>(mark_) : from);
    }
    std::uint64_t TimeOf(int index) const { return h.Transcript()[static_cast<std::size_t>(index)].time; }
    int Count(const std::string& kind, const std::string& text) const {
        int n = 0;
        for (std::size_t i = mark_; i < h.Transcript().size(); ++i)
            if (h.Transcript()[i].kind == kind && h.Transcript()[i].text.find(text) != std::string::npos) ++n;
        return n;
    }

    // A call rings and handset 1 answers it; the client has it in progress.
    void Answered() {
        h.ClientSay(std::string("CALL ") + kCall + " STATUS RINGING");
        h.Run(100);
        h.Base().Answer(1);
        ASSERT_TRUE(RunUntil([&] { return h.Bridge()->m_nStatus == STATUS_IN_CALL; }, 1000));
        h.Run(300);
        Mark();
    }

    // The read is never started over one still outstanding, and at most one is.
    void ExpectSoundReads() {
        EXPECT_EQ(h.Platform().hid.ReadsStartedOverPending(), 0);
        EXPECT_LE(h.Platform().hid.PendingReads(), 1);
    }
    // The link still polls: keep-alives go out at the idle cadence, and a key is answered.
    void ExpectStillPolling() {
        Mark();
        h.Run(2 * kKeepAliveEveryMs);
        EXPECT_GE(Count("usb>", kKeepAlive), 1);
        ExpectSoundReads();
    }

    sim::Harness h;
    std::size_t mark_ = 0;
};

}  // namespace waits_test
