// The explorer's own parts: a seed replays the same sequence, shrinking keeps the failure
// while dropping lines, and lines no real peer could produce are refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/bridger-sim/Interpreter.h"
#include "tools/explorer/Explorer.h"
#include "tools/explorer/Shrink.h"
#include "tools/sim/SimBase.h"
#include "tools/sim/SimClient.h"

namespace {

TEST(ExploreTest, ASeedPlaysTheSameSequenceEveryTime) {
    explore::SeededChoices first(7);
    explore::SeededChoices second(7);
    explore::SeededChoices other(8);
    const explore::Outcome a = explore::Explore(first);
    const explore::Outcome b = explore::Explore(second);
    EXPECT_FALSE(a.Failed()) << a.failure;
    EXPECT_EQ(a.lines, b.lines);
    EXPECT_NE(a.lines, explore::Explore(other).lines);
}

TEST(ExploreTest, ShrinkingKeepsTheFailureAndDropsWhatDoesNotMatter) {
    const std::vector<std::string> lines = {
        "base plug",          "client start skype", "run 5000",   "handset 1 key 5", "run 300",
        "handset 1 hangup",   "run 300",            "client say CALL 200 STATUS RINGING",
        "run 1000",           "expect client> GET CALL 999 PARTNER_HANDLE"};
    const explore::Outcome failing = explore::Replay(lines);
    ASSERT_EQ(failing.status, scn::kExpectFailed);
    const explore::Outcome shrunk = explore::Shrink(failing);
    EXPECT_EQ(shrunk.status, scn::kExpectFailed);
    EXPECT_LT(shrunk.lines.size(), lines.size());
    EXPECT_EQ(shrunk.lines.back(), lines.back());
    EXPECT_NE(explore::ScenarioText(shrunk, "a test").find("# a test\n"), std::string::npos);
}

TEST(ExploreTest, LinesNoRealPeerCouldProduceAreRefused) {
    sim::SimBase base;
    sim::SimClient client;
    client.SetAuto(false);
    EXPECT_FALSE(explore::Player::Realistic("handset 1 hangup", base, client));  // it is on hook
    EXPECT_TRUE(explore::Player::Realistic("handset 1 dial 0123", base, client));
    base.Key(2, '5');  // not yet read by the bridge: the base knows handset 2 took the line
    EXPECT_FALSE(explore::Player::Realistic("handset 1 dial 0123", base, client));
    EXPECT_TRUE(explore::Player::Realistic("handset 2 hangup", base, client));

    client.Delivered("CALL 7 STATUS RINGING");
    EXPECT_TRUE(explore::Player::Realistic("client say CALL 7 STATUS INPROGRESS", base, client));
    client.Delivered("CALL 7 STATUS FINISHED");
    EXPECT_FALSE(explore::Player::Realistic("client say CALL 7 STATUS INPROGRESS", base, client));
    EXPECT_FALSE(explore::Player::Realistic("client say CALL 8 STATUS MISSED", base, client));  // never had it
    EXPECT_TRUE(explore::Player::Realistic("client say CALL 8 STATUS RINGING", base, client));
}

}  // namespace
