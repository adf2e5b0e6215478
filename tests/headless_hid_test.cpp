// The simulated HID bus with the simulated base on it: enumeration, unreadable and
// unopenable devices, reads that stay pending, live reads and their events, and what
// unplugging does to open handles.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "device/Packet.h"
#include "tools/world/HeadlessPlatform.h"

namespace {

struct HidTest : ::testing::Test {
    sim::HeadlessPlatform machine{res::Lang::English, {10, 7, 0}, {5, 1}};
    sim::HeadlessHid& hid = machine.hid;

    // The paths of the present interfaces, in enumeration order.
    std::vector<std::string> Enumerate() {
        std::vector<std::string> paths;
        const plat::Guid guid = hid.HidGuid();
        const plat::Handle set = hid.GetClassDevs(guid);
        plat::InterfaceRef ref;
        for (int i = 0; hid.EnumInterface(set, guid, i, ref); ++i) {
            std::uint32_t size = 0;
            EXPECT_FALSE(hid.DetailSize(set, ref, size));  // the sizing call always "fails"
            std::string path;
            EXPECT_FALSE(hid.Detail(set, ref, size - 1, path));
            EXPECT_TRUE(hid.Detail(set, ref, size, path));
            paths.push_back(path);
        }
        hid.DestroyClassDevs(set);
        return paths;
    }
    plat::Handle OpenBase() {
        machine.PlugBase();
        return hid.Open(sim::HeadlessPlatform::kBasePath);
    }
    void Write(plat::Handle device, const std::vector<std::uint8_t>& data) {
        std::uint8_t report[pkt::kReportSize] = {};
        std::copy(data.begin(), data.end(), report + 1);
        hid.SetFeature(device, report, sizeof report, data.size());
    }
};

TEST_F(HidTest, EnumerationListsPresentDevicesInOrderAndSkipsUnopenablePaths) {
    hid.AddDevice(0x046D, 0xC077, "mouse");
    const int locked = hid.AddDevice(0x1234, 0x0001, "locked");
    machine.PlugBase();
    hid.Device(locked).openable = false;
    EXPECT_EQ(Enumerate(), (std::vector<std::string>{"mouse", "locked", sim::HeadlessPlatform::kBasePath}));
    EXPECT_EQ(hid.Open("locked"), plat::kInvalidHandle);
    EXPECT_EQ(hid.Open("nothing here"), plat::kInvalidHandle);
    std::uint16_t vid = 0, pid = 0;
    EXPECT_FALSE(hid.GetAttributes(plat::kInvalidHandle, vid, pid));
    const plat::Handle mouse = hid.Open("mouse");
    ASSERT_NE(mouse, plat::kInvalidHandle);
    ASSERT_TRUE(hid.GetAttributes(mouse, vid, pid));
    EXPECT_EQ(vid, 0x046D);
    EXPECT_EQ(pid, 0xC077);
    hid.Device(0).readable = false;
    EXPECT_FALSE(hid.GetAttributes(mouse, vid, pid));
    hid.Close(mouse);
    EXPECT_EQ(hid.OpenHandles(), 0);
    EXPECT_EQ(hid.OpenSets(), 0);
}

TEST_F(HidTest, AFeatureReportReachesTheBaseAndItsEchoIsTheNextInputReport) {
    const plat::Handle base = OpenBase();
    ASSERT_NE(base, plat::kInvalidHandle);
    const std::vector<std::uint8_t> loopback{0x24, 0x24, 0x08, 0x12, 0x08, 0x01, 0x02, 0x03, 0x04, 0x05, 0xCF};
    Write(base, loopback);
    ASSERT_EQ(machine.base.Received().size(), 1u);
    EXPECT_EQ(machine.base.Received()[0], loopback);  // the used bytes only, not the whole report
    ASSERT_FALSE(machine.transcript.Lines().empty());
    EXPECT_EQ(machine.transcript.Lines().back().Format(), "0 usb> 24240812080102030405CF");
}

TEST_F(HidTest, AReadWithNothingToReadStaysPendingAndCompletesOnALaterWait) {
    const plat::Handle base = OpenBase();
    std::uint8_t buffer[pkt::kReportSize];
    std::fill(buffer, buffer + sizeof buffer, 0xEE);
    plat::ReadOverlap overlap;
    overlap.event = hid.CreateReadEvent();
    hid.StartRead(base, buffer, sizeof buffer, overlap);
    EXPECT_FALSE(hid.WaitRead(base, overlap, 200));
    EXPECT_FALSE(hid.WaitRead(base, overlap, 200));
    EXPECT_EQ(hid.PendingReads(), 1);
    EXPECT_EQ(buffer[0], 0xEE);  // nothing written while pending
    machine.base.HangUp(2);
    EXPECT_TRUE(hid.WaitRead(base, overlap, 200));
    EXPECT_EQ(hid.PendingReads(), 0);
    const std::vector<std::uint8_t> got(buffer, buffer + 8);
    EXPECT_EQ(got, (std::vector<std::uint8_t>{0x00, 0x24, 0x24, 0x03, 0x02, 0x02, 0xF9, 0x00}));
    EXPECT_EQ(machine.transcript.Lines().back().Format(), "0 usb< 2424030202F9");
}

TEST_F(HidTest, AReportThatIsNoPacketShowsItsFirstEightBytes) {
    const plat::Handle base = OpenBase();
    machine.base.SendRaw({0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99});
    machine.base.SendRaw({0x01, '$', 0x7F});  // a length past the report is shown up to its end
    std::uint8_t buffer[pkt::kReportSize] = {};
    plat::ReadOverlap overlap;
    hid.StartRead(base, buffer, sizeof buffer, overlap);
    ASSERT_TRUE(hid.WaitRead(base, overlap, 200));
    EXPECT_EQ(machine.transcript.Lines().back().text, "0011223344556677");
    hid.StartRead(base, buffer, sizeof buffer, overlap);
    ASSERT_TRUE(hid.WaitRead(base, overlap, 200));
    EXPECT_EQ(machine.transcript.Lines().back().text.size(), 96u);
}

TEST_F(HidTest, UnpluggingKillsOpenHandlesEvenAfterTheBaseReturns) {
    const plat::Handle old = OpenBase();
    std::uint8_t buffer[pkt::kReportSize] = {};
    plat::ReadOverlap overlap;
    hid.StartRead(old, buffer, sizeof buffer, overlap);
    machine.UnplugBase();
    EXPECT_TRUE(Enumerate().empty());
    EXPECT_TRUE(machine.waveOut.Devices().empty());
    std::uint16_t vid = 0, pid = 0;
    EXPECT_FALSE(hid.GetAttributes(old, vid, pid));
    machine.base.Answer(1);  // a base without power sends nothing
    EXPECT_FALSE(machine.base.HasInputReport());
    EXPECT_FALSE(hid.WaitRead(old, overlap, 200));
    Write(old, {0x24, 0x24, 0x03, 0x12, 0x0A, 0xE1});
    EXPECT_TRUE(machine.base.Received().empty());

    machine.PlugBase();
    EXPECT_EQ(machine.waveOut.Devices(), (std::vector<std::string>{"VA6 USB Audio"}));
    EXPECT_FALSE(hid.GetAttributes(old, vid, pid));
    hid.CancelRead(old, overlap);
    hid.Close(old);
    const plat::Handle fresh = hid.Open(sim::HeadlessPlatform::kBasePath);
    ASSERT_TRUE(hid.GetAttributes(fresh, vid, pid));
    EXPECT_EQ(vid, 0x0E5E);
    EXPECT_EQ(pid, 0x6611);
    machine.base.Answer(1);
    hid.StartRead(fresh, buffer, sizeof buffer, overlap);
    EXPECT_TRUE(hid.WaitRead(fresh, overlap, 200));
    EXPECT_EQ(buffer[4], pkt::EVT_ANSWER);
}

}  // namespace

namespace {

TEST_F(HidTest, ByDefaultAReadCompletesOnlyWhenLookedAtAndItsWaitTakesNoTime) {
    const plat::Handle base = OpenBase();
    std::uint8_t buffer[pkt::kReportSize] = {};
    plat::ReadOverlap overlap;
    overlap.event = hid.CreateReadEvent();
    hid.StartRead(base, buffer, sizeof buffer, overlap);
    hid.StartWait(overlap);
    EXPECT_EQ(hid.WaitLeft(overlap, 200), 0u);
    machine.base.HangUp(2);
    hid.Service();
    EXPECT_FALSE(hid.TakeEvent(overlap.event));  // nothing completes behind the bridge's back
    EXPECT_TRUE(hid.WaitRead(base, overlap, 0));
    EXPECT_FALSE(hid.TakeEvent(overlap.event));  // the wait that saw it reset the event
}

TEST_F(HidTest, LiveReadsCompleteAsTheBaseSendsAndTheirWaitLastsInVirtualTime) {
    hid.SetLiveReads(true);
    const plat::Handle base = OpenBase();
    std::uint8_t buffer[pkt::kReportSize] = {};
    plat::ReadOverlap overlap;
    overlap.event = hid.CreateReadEvent();
    hid.StartRead(base, buffer, sizeof buffer, overlap);
    hid.StartWait(overlap);
    EXPECT_EQ(hid.WaitStartedAt(), 0);
    machine.loop.Advance(150);
    EXPECT_EQ(hid.WaitLeft(overlap, 200), 50u);
    hid.Service();
    EXPECT_FALSE(hid.TakeEvent(overlap.event));
    machine.base.Answer(1);
    hid.Service();
    EXPECT_EQ(buffer[4], pkt::EVT_ANSWER);  // the read completed as the base sent
    EXPECT_EQ(hid.WaitLeft(overlap, 200), 0u);
    EXPECT_TRUE(hid.TakeEvent(overlap.event));
    EXPECT_FALSE(hid.TakeEvent(overlap.event));  // auto-reset
    EXPECT_TRUE(hid.WaitRead(base, overlap, 0));
    EXPECT_EQ(hid.PendingReads(), 0);
    EXPECT_EQ(hid.WaitStartedAt(), -1);
}

TEST_F(HidTest, StartingAReadOverOneStillOutstandingIsCounted) {
    const plat::Handle base = OpenBase();
    std::uint8_t buffer[pkt::kReportSize] = {};
    plat::ReadOverlap overlap;
    hid.StartRead(base, buffer, sizeof buffer, overlap);
    hid.StartRead(base, buffer, sizeof buffer, overlap);
    EXPECT_EQ(hid.ReadsStartedOverPending(), 1);
    EXPECT_EQ(hid.ReadsStarted(), 2);
    EXPECT_EQ(hid.PendingReads(), 1);
}

}  // namespace
