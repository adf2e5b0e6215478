// expect and expect-not: a run of expects checks order; expect-not looks only after the
// last match.
#include <gtest/gtest.h>

#include <vector>

#include "tools/bridger-sim/Expect.h"

namespace {

std::vector<sim::Line> Lines() {
    return {
        {0, "window", "created main"},
        {100, "client>", "SEARCH FRIENDS"},
        {200, "client<", "USERS bob"},
        {300, "client>", "GET USER bob ONLINESTATUS"},
        {400, "status", "5 INCOMMING"},
    };
}

TEST(SimExpectTest, EachExpectSearchesAfterThePreviousMatch) {
    const std::vector<sim::Line> lines = Lines();
    scn::ExpectCursor cursor;
    EXPECT_EQ(cursor.LastMatch(), -1);
    EXPECT_EQ(cursor.Expect(lines, "window created main"), 0);  // the first expect starts at line 1
    EXPECT_EQ(cursor.Expect(lines, "client>"), 1);
    EXPECT_EQ(cursor.Expect(lines, "client>"), 3);                // not line 2 again
    EXPECT_EQ(cursor.Expect(lines, "USERS bob"), -1);            // it came before
    EXPECT_EQ(cursor.LastMatch(), 3);                            // a failed expect keeps the place
    EXPECT_EQ(cursor.Expect(lines, "status 5"), 4);
    EXPECT_EQ(cursor.Expect(lines, "status"), -1);
}

TEST(SimExpectTest, TheWholeFormattedLineIsSearchedWithBlanksAsTheyAre) {
    const std::vector<sim::Line> lines = Lines();
    scn::ExpectCursor cursor;
    EXPECT_EQ(cursor.Expect(lines, "300 client> GET"), 3);
    scn::ExpectCursor other;
    EXPECT_EQ(other.Expect(lines, "GET USER  bob"), -1);
    EXPECT_EQ(other.Expect(lines, "get user bob"), -1);  // case matters
}

TEST(SimExpectTest, ExpectNotLooksOnlyAfterTheLastMatch) {
    const std::vector<sim::Line> lines = Lines();
    scn::ExpectCursor cursor;
    EXPECT_EQ(cursor.ExpectNot(lines, "SEARCH FRIENDS"), 1);  // from the first line before any expect
    cursor.Expect(lines, "SEARCH FRIENDS");
    EXPECT_EQ(cursor.ExpectNot(lines, "SEARCH FRIENDS"), -1);
    EXPECT_EQ(cursor.ExpectNot(lines, "ONLINESTATUS"), 3);
    EXPECT_EQ(cursor.LastMatch(), 1);  // expect-not never moves the place
    std::vector<sim::Line> grown = lines;
    grown.push_back({500, "client>", "SEARCH FRIENDS"});
    EXPECT_EQ(cursor.ExpectNot(grown, "SEARCH FRIENDS"), 5);  // "up to now" includes new lines
}

}  // namespace
