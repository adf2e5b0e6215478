// Outgoing calls and their end, tones, and what attachment tells the client.
#include <string>
#include <vector>

#include "callctl/CallCommands.h"
#include "tests/handset_harness.h"

namespace handset_test {
namespace {

class Outgoing : public CallHarness {};

TEST_F(Outgoing, HangingUpAConnectedCallFinishesItThenHooksOn) {
    Boot();
    Keys("0#");
    h.Run(kEventMs);  // ROUTING, partner handle
    ASSERT_EQ(Dlg().m_strCallId, "100");
    Say("CALL 100 STATUS INPROGRESS");
    Mark();
    HangUp();
    const std::vector<std::string> sent = Commands();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[sent.size() - 2], callcmd::Finish("100"));
    EXPECT_EQ(sent.back(), callcmd::kHookOn);
    EXPECT_EQ(Dlg().m_bInCall, 0);
    EXPECT_EQ(Dlg().m_bCallClosed, 1);
}

TEST_F(Outgoing, HangingUpBeforeTheClientNamedTheCallSendsNoFinish) {
    Boot();
    h.Client().SetAuto(false);  // no ROUTING comes back
    Keys("0#");
    ASSERT_EQ(Dlg().m_bInCall, 1);
    ASSERT_TRUE(Dlg().m_strCallId.empty());
    Mark();
    HangUp();
    EXPECT_EQ(Commands(), std::vector<std::string>{callcmd::kUserStatusOnline});
    EXPECT_EQ(Dlg().m_bInCall, 0);

    // The client names it late: it is finished there and never becomes current.
    Mark();
    Say("CALL 100 STATUS ROUTING");
    EXPECT_EQ(Commands(), std::vector<std::string>{callcmd::Finish("100")});
    EXPECT_TRUE(Dlg().m_strCallId.empty());
    EXPECT_FALSE(Dlg().m_callRecord.AwaitingName());
    Mark();
    Say("CALL 100 STATUS FINISHED");
    EXPECT_TRUE(Commands().empty());
}

TEST_F(Outgoing, HangingUpAfterTheClientFinishedSendsNothing) {
    Boot();
    Keys("0#");
    h.Run(kEventMs);
    Say("CALL 100 STATUS INPROGRESS");
    Say("CALL 100 STATUS FINISHED");  // released and idle again
    EXPECT_EQ(State(), CS_IDLE);
    Mark();
    HangUp();
    EXPECT_TRUE(Commands().empty());
}

TEST_F(Outgoing, KeysInACallAreTonesWithTheCallId) {
    Boot();
    Keys("0#");
    h.Run(kEventMs);
    Mark();
    Keys("9*#");
    EXPECT_EQ(Commands(), (std::vector<std::string>{callcmd::Dtmf("100", '9'), callcmd::Dtmf("100", '*'),
                                                    callcmd::Dtmf("100", '#')}));
    EXPECT_EQ(Dlg().m_strDisplayName, "09*#");
}

TEST_F(Outgoing, ToneBeforeTheClientNamedTheCallGoesOutWithoutAnId) {
    Boot();
    h.Client().SetAuto(false);
    Keys("0#");
    Mark();
    Key('7');
    EXPECT_EQ(Commands(), std::vector<std::string>{callcmd::Dtmf("", '7')});
}

TEST_F(Outgoing, AttachmentChoosesTheBaseSoundDeviceAndGoesOnline) {
    h.PlugBase();
    h.StartClient(sim::ClientKindSim::Skype);
    h.Start();
    h.Run(kSettleMs);
    ASSERT_NE(h.Bridge(), nullptr);
    const std::string device = h.Bridge()->m_strAudioDevice;
    ASSERT_FALSE(device.empty());
    const int in = h.IndexOf("client>", callcmd::AudioIn(device));
    const int out = h.IndexOf("client>", callcmd::AudioOut(device));
    const int handle = h.IndexOf("client>", callcmd::kGetUserHandle);
    const int online = h.IndexOf("client>", callcmd::kUserStatusOnline);
    ASSERT_GE(in, 0);
    EXPECT_GT(out, in);
    EXPECT_GT(handle, out);
    EXPECT_GT(online, handle);
}

class OldSystem : public CallHarness {
protected:
    OldSystem() : CallHarness(Options()) {}
    static sim::Options Options() {
        sim::Options o;
        o.os = plat::OsVersion{5, 0};
        return o;
    }
};

TEST_F(OldSystem, AttachmentSendsNoAudioCommands) {
    Boot();
    ASSERT_EQ(Dlg().m_nOsVersion, 0);
    EXPECT_TRUE(h.Find("client>", "SET AUDIO_").empty());
    EXPECT_GE(h.IndexOf("client>", callcmd::kGetUserHandle), 0);
    EXPECT_GT(h.IndexOf("client>", callcmd::kUserStatusOnline), h.IndexOf("client>", callcmd::kGetUserHandle));
}

}  // namespace
}  // namespace handset_test
