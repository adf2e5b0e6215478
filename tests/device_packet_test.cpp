// The device packet codec: the worked examples, the checksum test and what a received
// report can hold, including length bytes that describe more than one report carries.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "device/Packet.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string HexOf(const Bytes& bytes) { return pkt::Hex(bytes.data(), bytes.size()); }

// A report's 48 data bytes with these bytes at the front.
Bytes Report(const Bytes& front) {
    Bytes data(front);
    data.resize(pkt::kDataSize, 0);
    return data;
}

TEST(DevicePacket, BuildersMatchTheWorkedExamples) {
    EXPECT_EQ(HexOf(pkt::Base(pkt::BASE_GET_VERSION)), "242403120AE1");
    EXPECT_EQ(HexOf(pkt::Base(pkt::BASE_DELETE_HANDSET, 2)), "242404120402E4");
    EXPECT_EQ(HexOf(pkt::Loopback(1)), "24240812080102030405CF");
    EXPECT_EQ(HexOf(pkt::HangUpAck(1)), "2424030301F9");
    EXPECT_EQ(HexOf(pkt::Connected(1)), "24240404018176");
    EXPECT_EQ(HexOf(pkt::Display(1, "A_EMPTY")), "2424140A0110415F454D50545920202020202020202082");
    EXPECT_EQ(HexOf(pkt::Disconnect()), "24240200FE");
}

TEST(DevicePacket, EveryCommandHasItsFixedShape) {
    const Bytes release = pkt::Release(pkt::kAllHandsets);
    EXPECT_EQ(HexOf(release), "24240302817A");

    const Bytes alertEmpty = pkt::Alert("");
    ASSERT_EQ(alertEmpty.size(), 10u);
    EXPECT_EQ(HexOf(alertEmpty), "24240705810230300011");

    const Bytes alert = pkt::Alert("echo123");
    ASSERT_EQ(alert.size(), 17u);
    EXPECT_EQ(alert[2], 14);
    EXPECT_EQ(alert[8], 7);
    EXPECT_EQ(std::string(alert.begin() + 9, alert.begin() + 16), "echo123");

    const Bytes longAlert = pkt::Alert(std::string(25, 'x'));  // a caller's text is cut at 20
    EXPECT_EQ(longAlert.size(), 30u);
    EXPECT_EQ(longAlert[8], 20);

    const Bytes shortText = pkt::Display(2, "12345");
    ASSERT_EQ(shortText.size(), 23u);
    EXPECT_EQ(std::string(shortText.begin() + 6, shortText.begin() + 22), "12345           ");
    EXPECT_EQ(pkt::Display(2, std::string(30, 'y')).size(), 23u);

    EXPECT_EQ(HexOf(pkt::Base(pkt::BASE_PAGING, 1)), "242404120601E3");
    EXPECT_EQ(pkt::Build(0x55, Bytes(60, 1)).size(), pkt::kMaxPacket);  // a body never outgrows a report

    // Every built packet passes the receiver's own test.
    for (const Bytes& packet : {release, alert, longAlert, shortText, pkt::Loopback(0xFD)})
        EXPECT_EQ(pkt::Examine(Report(packet).data()).verdict, pkt::Verdict::Valid) << HexOf(packet);
}

TEST(DevicePacket, LoopbackBytesWrap) {
    EXPECT_EQ(HexOf(pkt::Loopback(0xFD)).substr(10, 10), "FDFEFF0001");
}

TEST(DevicePacket, TheChecksumIncludesItselfAndLeavesOutTheMarkers) {
    const pkt::Examined good = pkt::Examine(Report({0x24, 0x24, 0x03, 0x12, 0x0A, 0xE1}).data());
    EXPECT_EQ(good.verdict, pkt::Verdict::Valid);
    EXPECT_EQ(good.length, 6u);
    EXPECT_EQ(good.sum, 0);

    const pkt::Examined bad = pkt::Examine(Report({0x24, 0x24, 0x03, 0x12, 0x0A, 0xE0}).data());
    EXPECT_EQ(bad.verdict, pkt::Verdict::Invalid);
    EXPECT_EQ(bad.sum, 0xFF);

    std::uint8_t framed[6] = {0, 0, 0, 0x12, 0x0A, 0};
    pkt::Frame(framed, sizeof framed);
    EXPECT_EQ(pkt::Hex(framed, sizeof framed), "242403120AE1");
    EXPECT_EQ(pkt::Checksum(framed, 2, 4), 0xE1);
}

TEST(DevicePacket, OnlyAMarkerInByteZeroOrOneMakesACandidate) {
    EXPECT_EQ(pkt::Examine(Report({0x00, 0x24, 0x03, 0x12, 0x0A, 0xE1}).data()).verdict, pkt::Verdict::Invalid);
    EXPECT_EQ(pkt::Examine(Report({0x24, 0x00, 0x03, 0x12, 0x0A, 0xE1}).data()).verdict, pkt::Verdict::Invalid);
    EXPECT_EQ(pkt::Examine(Report({0x00, 0x00, 0x03, 0x12, 0x0A, 0xE1}).data()).verdict, pkt::Verdict::NotPacket);
    EXPECT_EQ(pkt::Examine(Report({}).data()).verdict, pkt::Verdict::NotPacket);
    EXPECT_EQ(pkt::Examine(nullptr).verdict, pkt::Verdict::NotPacket);
}

TEST(DevicePacket, LengthBytesBeyondTheReportAreInvalidAndReadNoFurther) {
    // The longest packet a report carries is valid.
    Bytes longest = pkt::Build(0x55, Bytes(43, 7));
    ASSERT_EQ(longest[2], pkt::kMaxLengthByte);
    EXPECT_EQ(pkt::Examine(Report(longest).data()).verdict, pkt::Verdict::Valid);

    // One more describes a byte the report does not have. Only the 48 bytes given are read
    // (a vector of exactly 48 bytes lets the address sanitizer see any read past them).
    for (const std::uint8_t length : {std::uint8_t{46}, std::uint8_t{0x80}, std::uint8_t{0xFF}}) {
        Bytes data = Report({0x24, 0x24, length, 0x55});
        std::uint8_t sum = 0;
        for (std::size_t i = 2; i < pkt::kDataSize; ++i) sum = static_cast<std::uint8_t>(sum + data[i]);
        data[47] = static_cast<std::uint8_t>(0x100 - sum);  // would pass if only the report counted
        const pkt::Examined seen = pkt::Examine(data.data(), data.size());
        EXPECT_EQ(seen.verdict, pkt::Verdict::Invalid) << int(length);
        EXPECT_EQ(seen.length, pkt::kDataSize);
        EXPECT_EQ(seen.sum, 0);
    }
}

TEST(DevicePacket, AFrameTooShortForACodeIsInvalid) {
    // 24 24 00 sums to zero but holds no code; 24 24 01 has its code where the checksum is.
    EXPECT_EQ(pkt::Examine(Report({0x24, 0x24, 0x00}).data()).verdict, pkt::Verdict::Invalid);
    EXPECT_EQ(pkt::Examine(Report({0x24, 0x24, 0x01, 0xFF}).data()).verdict, pkt::Verdict::Invalid);
    EXPECT_EQ(pkt::Examine(Report({0x24, 0x24, 0x02, 0x40, 0xBE}).data()).verdict, pkt::Verdict::Valid);
}

}  // namespace
