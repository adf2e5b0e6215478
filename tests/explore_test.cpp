// The explorer's own parts: a seed replays the same sequence, shrinking keeps the failure
// while dropping lines, and lines no real peer could produce are refused.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/bridger-sim/Interpreter.h"
#include "tools/explorer/Explorer.h"
#include "tools/explorer/Family.h"
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

// Lines only the misbehaving-base family plays.
bool PlaysTheLinkFamily(const explore::Outcome& o) {
    for (const std::string& line : o.lines)
        if (line.rfind("base echo", 0) == 0 || line.rfind("base replies", 0) == 0 || line.rfind("base hold", 0) == 0)
            return true;
    return false;
}

TEST(ExploreTest, AFamilyCanBeExploredAlone) {
    EXPECT_EQ(explore::Families("calls").size(), 1u);
    EXPECT_TRUE(explore::Families("no such family").empty());
    explore::Limits callsOnly;
    callsOnly.family = "calls";
    bool linkSeen = false;
    for (std::uint64_t seed = 1; seed <= 30; ++seed) {
        explore::SeededChoices all(seed);
        explore::SeededChoices calls(seed);
        linkSeen = linkSeen || PlaysTheLinkFamily(explore::Explore(all));
        const explore::Outcome alone = explore::Explore(calls, callsOnly);
        EXPECT_FALSE(alone.Failed()) << alone.failure;
        EXPECT_FALSE(PlaysTheLinkFamily(alone)) << "seed " << seed;
    }
    EXPECT_TRUE(linkSeen);  // with every family the link's steps do come up
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
