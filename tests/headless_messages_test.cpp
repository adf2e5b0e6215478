// Registered messages, the discover broadcast and copy-data between a dialog of the
// simulated process and the simulated client's window.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Dialog.h"
#include "platform/Platform.h"
#include "tools/world/Harness.h"
#include "res/resource.h"

namespace {


// A main dialog that logs the messages and copy-data it gets and runs the test's actions
// on command messages.
class Listener : public plat::Dialog {
public:
    explicit Listener(std::vector<std::string>& log) : plat::Dialog(IDD_BRIDGE), log_(log) {}
    std::map<int, std::function<void()>> actions;
    plat::WindowHandle lastSender = 0;

    bool OnCommand(int id) override {
        auto it = actions.find(id);
        if (it == actions.end()) return false;
        it->second();
        return true;
    }
    bool OnCopyData(plat::WindowHandle from, const plat::CopyData& data) override {
        lastSender = from;
        log_.push_back("copydata " + std::string(static_cast<const char*>(data.data), data.size));
        return true;
    }
    bool OnMessage(unsigned message, std::uintptr_t wparam, std::intptr_t lparam, std::intptr_t& result) override {
        (void)result;
        log_.push_back("message " + std::to_string(message) + " " + std::to_string(wparam) + " " +
                       std::to_string(lparam));
        return true;
    }

private:
    std::vector<std::string>& log_;
};

struct MessagesTest : ::testing::Test {
    sim::Harness harness;
    std::vector<std::string> log;
    Listener* dlg = nullptr;

    void SetUp() override {
        harness.StartWith([this] {
            Listener d(log);
            dlg = &d;
            const int r = d.DoModal();
            dlg = nullptr;
            return r;
        });
        ASSERT_NE(dlg, nullptr);
    }
    void Act(std::function<void()> action) {
        dlg->actions[1] = std::move(action);
        harness.Command(1);
    }
    std::intptr_t Send(plat::WindowHandle to, const std::string& text) {
        plat::CopyData data;
        data.size = static_cast<std::uint32_t>(text.size() + 1);
        data.data = text.c_str();
        return plat::messages().SendCopyData(to, dlg->Handle(), data);
    }
};

TEST_F(MessagesTest, TheSameNameGivesTheSameNumberFromTheRegisteredRange) {
    unsigned a = 0, b = 0, again = 0;
    Act([&] {
        a = plat::messages().Register("SkypeControlAPIDiscover");
        b = plat::messages().Register("SkypeControlAPIAttach");
        again = plat::messages().Register("SkypeControlAPIDiscover");
    });
    EXPECT_GE(a, 0xC000u);
    EXPECT_NE(a, b);
    EXPECT_EQ(a, again);
}

TEST_F(MessagesTest, TheClientAnswersTheDiscoverBroadcastOfItsKindInALaterMessage) {
    harness.StartClient(sim::ClientKindSim::SoftPhone);
    std::size_t logAfterSkype = 0, logRightAfterBroadcast = 0;
    Act([&] {
        const unsigned skype = plat::messages().Register("SkypeControlAPIDiscover");
        plat::messages().Broadcast(skype, dlg->Handle(), 0);
        logAfterSkype = log.size();
        const unsigned softphone = plat::messages().Register("WM_UAXAPP_DISCOVER");
        plat::messages().Broadcast(softphone, dlg->Handle(), 0);
        logRightAfterBroadcast = log.size();
    });
    // Each broadcast reaches the process's own windows too, synchronously.
    EXPECT_EQ(logAfterSkype, 1u);
    EXPECT_EQ(logRightAfterBroadcast, 2u);
    ASSERT_EQ(log.size(), 3u);  // only the SoftPhone discovery was answered, after the handler
    unsigned attach = 0;
    Act([&] { attach = plat::messages().Register("WM_UAXAPP_ATTACH"); });
    EXPECT_EQ(log[2], "message " + std::to_string(attach) + " " + std::to_string(harness.ClientWindow()) + " 0");
    EXPECT_GE(harness.IndexOf("broadcast", "SkypeControlAPIDiscover"), 0);
    const int softphone = harness.IndexOf("broadcast", "WM_UAXAPP_DISCOVER");
    ASSERT_GE(softphone, 0);
    EXPECT_GT(harness.IndexOf("attach", "0"), softphone);
}

TEST_F(MessagesTest, ACommandToTheClientIsAnsweredAfterTheSendReturns) {
    harness.StartClient(sim::ClientKindSim::Skype);
    std::intptr_t result = 0;
    std::size_t logDuringSend = 99;
    Act([&] {
        result = Send(harness.ClientWindow(), "GET CALL 123 PARTNER_HANDLE");
        logDuringSend = log.size();
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(logDuringSend, 0u);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], std::string("copydata CALL 123 PARTNER_HANDLE alice") + '\0');
    EXPECT_EQ(dlg->lastSender, harness.ClientWindow());
    const int sent = harness.IndexOf("client>", "GET CALL 123 PARTNER_HANDLE");
    ASSERT_GE(sent, 0);
    EXPECT_GT(harness.IndexOf("client<", "CALL 123 PARTNER_HANDLE alice"), sent);
    EXPECT_EQ(harness.Client().Commands(), (std::vector<std::string>{"GET CALL 123 PARTNER_HANDLE"}));
}

TEST_F(MessagesTest, CopyDataToAWindowThatIsGoneReachesNobody) {
    harness.StartClient(sim::ClientKindSim::Skype);
    const plat::WindowHandle client = harness.ClientWindow();
    harness.StopClient();
    std::intptr_t toStopped = -1, toUnknown = -1;
    bool alive = true;
    Act([&] {
        toStopped = Send(client, "SET USERSTATUS ONLINE");
        toUnknown = Send(0x7FFF0, "SET USERSTATUS ONLINE");
        alive = plat::messages().IsWindow(client);
    });
    EXPECT_EQ(toStopped, 0);
    EXPECT_EQ(toUnknown, 0);
    EXPECT_FALSE(alive);
    EXPECT_TRUE(harness.Find("client>").empty());
    EXPECT_TRUE(harness.Client().Commands().empty());
    EXPECT_TRUE(log.empty());
}

TEST_F(MessagesTest, TheClientsOwnNotificationsAndRawBytesArriveAsCopyData) {
    harness.StartClient(sim::ClientKindSim::Skype);
    harness.ClientSay("CALL 7 STATUS RINGING");
    harness.ClientSendRaw({'U', 'S', 'E', 'R'});  // no NUL: the receiver gets exactly four bytes
    harness.ClientAttach(32769);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], std::string("copydata CALL 7 STATUS RINGING") + '\0');
    EXPECT_EQ(log[1], "copydata USER");
    EXPECT_NE(log[2].find(" 32769"), std::string::npos);
    EXPECT_EQ(harness.Find("client<").size(), 2u);
    EXPECT_EQ(harness.Find("attach", "32769").size(), 1u);
}

}  // namespace
