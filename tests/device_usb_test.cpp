// CUSB on the simulated HID bus: the device search, the ring of report slots, the write
// limit and the single outstanding read.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "device/Packet.h"
#include "device/USB.h"
#include "tools/world/HeadlessPlatform.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The simulated bus, counting the reads started on it.
struct CountingHid : plat::HidBus {
    explicit CountingHid(plat::HidBus& bus) : bus(bus) {}
    plat::Guid HidGuid() override { return bus.HidGuid(); }
    plat::Handle GetClassDevs(const plat::Guid& g) override { return bus.GetClassDevs(g); }
    bool EnumInterface(plat::Handle s, const plat::Guid& g, int i, plat::InterfaceRef& o) override {
        return bus.EnumInterface(s, g, i, o);
    }
    bool DetailSize(plat::Handle s, const plat::InterfaceRef& r, std::uint32_t& n) override { return bus.DetailSize(s, r, n); }
    bool Detail(plat::Handle s, const plat::InterfaceRef& r, std::uint32_t n, std::string& p) override {
        return bus.Detail(s, r, n, p);
    }
    void DestroyClassDevs(plat::Handle s) override { bus.DestroyClassDevs(s); }
    plat::Handle Open(const std::string& p) override { return bus.Open(p); }
    bool GetAttributes(plat::Handle d, std::uint16_t& v, std::uint16_t& p) override { return bus.GetAttributes(d, v, p); }
    void SetFeature(plat::Handle d, const std::uint8_t* r, std::size_t n, std::size_t u) override { bus.SetFeature(d, r, n, u); }
    void Close(plat::Handle d) override { bus.Close(d); }
    plat::Handle CreateReadEvent() override { return bus.CreateReadEvent(); }
    void CloseEvent(plat::Handle e) override { bus.CloseEvent(e); }
    void StartRead(plat::Handle d, std::uint8_t* b, std::size_t n, plat::ReadOverlap& o) override {
        ++starts;
        bus.StartRead(d, b, n, o);
    }
    bool WaitRead(plat::Handle d, plat::ReadOverlap& o, unsigned t) override { return bus.WaitRead(d, o, t); }
    void CancelRead(plat::Handle d, plat::ReadOverlap& o) override { bus.CancelRead(d, o); }
    plat::HidBus& bus;
    int starts = 0;
};

struct UsbTest : ::testing::Test {
    sim::HeadlessPlatform machine{res::Lang::English, {10, 7, 0}, {5, 1}};
    sim::HeadlessHid& hid = machine.hid;
    CountingHid counting{machine.hid};

    void SetUp() override {
        plat::Platform services = machine.Services();
        services.hid = &counting;
        plat::Install(services);
    }

    std::string DeviceList(CUSB& usb) {
        std::string list;
        usb.GetVID_PID(list);
        return list;
    }
    static int Entries(const std::string& list) {
        int count = 0;
        for (std::size_t at = list.find("v = "); at != std::string::npos; at = list.find("v = ", at + 1)) ++count;
        return count;
    }
    int Write(CUSB& usb, Bytes data) { return usb.USBWrite(data.data(), static_cast<unsigned char>(data.size())); }
};

TEST_F(UsbTest, TheFirstBaseVendorInOrderWinsAndGivesItsProductId) {
    hid.AddDevice(0x046D, 0xC077, "mouse");
    hid.AddDevice(0x0E5E, 0x1234, "first base");
    hid.AddDevice(0x0E5E, 0x6611, "second base");
    CUSB usb;
    EXPECT_EQ(usb.m_nProductId, CUSB::kDefaultProductId);
    EXPECT_EQ(usb.FindUSB(), 1);
    EXPECT_EQ(usb.m_nProductId, 0x1234);
    EXPECT_EQ(DeviceList(usb), "v = 046D p = C077 0 v = 0E5E p = 1234 1 ");
    EXPECT_EQ(hid.OpenHandles(), 1);  // the mouse was closed again
    EXPECT_EQ(hid.OpenSets(), 0);
    EXPECT_EQ(usb.FindUSB(), 1);      // a working device is kept, not searched again
    EXPECT_EQ(hid.OpenHandles(), 1);
}

TEST_F(UsbTest, NineVendorChangesStopTheSearchAfterTheEighth) {
    for (int i = 0; i < 8; ++i) hid.AddDevice(static_cast<std::uint16_t>(0x1000 + i), 0x0001, "dev" + std::to_string(i));
    hid.AddDevice(CUSB::kVendorId, 0x6611, "base");  // ninth: never opened, so never found
    CUSB usb;
    EXPECT_EQ(usb.FindUSB(), 0);
    EXPECT_EQ(Entries(DeviceList(usb)), 8);
    EXPECT_EQ(DeviceList(usb).find("0E5E"), std::string::npos);
    EXPECT_EQ(hid.OpenHandles(), 0);
    EXPECT_EQ(hid.OpenSets(), 0);
}

TEST_F(UsbTest, RepeatedVendorsAndUnreadableDevicesCountNoChange) {
    for (int i = 0; i < 3; ++i) hid.AddDevice(0x2000, 0x0001, "same" + std::to_string(i));
    for (int i = 0; i < 6; ++i) hid.AddDevice(static_cast<std::uint16_t>(0x1000 + i), 0x0001, "dev" + std::to_string(i));
    for (int i = 0; i < 3; ++i) {
        const int mute = hid.AddDevice(0x3000, 0x0001, "mute" + std::to_string(i));
        hid.Device(mute).readable = false;
    }
    hid.AddDevice(CUSB::kVendorId, 0x6611, "base");  // index 12, after seven changes
    CUSB usb;
    EXPECT_EQ(usb.FindUSB(), 1);
    EXPECT_EQ(Entries(DeviceList(usb)), 10);  // unreadable devices leave no entry
    EXPECT_NE(DeviceList(usb).find("v = 0E5E p = 6611 12 "), std::string::npos);
    EXPECT_EQ(hid.OpenHandles(), 1);  // unreadable handles were closed too
}

TEST_F(UsbTest, AnUnopenablePathIsSkippedWithoutAnEntry) {
    const int locked = hid.AddDevice(CUSB::kVendorId, 0x7777, "locked");
    hid.Device(locked).openable = false;
    machine.PlugBase();
    CUSB usb;
    EXPECT_EQ(usb.FindUSB(), 1);
    EXPECT_EQ(DeviceList(usb), "v = 0E5E p = 6611 1 ");
    EXPECT_EQ(usb.m_nProductId, 0x6611);
}

TEST_F(UsbTest, NothingIsReadOrWrittenWithoutADevice) {
    CUSB usb;
    EXPECT_EQ(usb.FindUSB(), 0);
    EXPECT_EQ(DeviceList(usb), "");
    EXPECT_EQ(usb.USBRead(), nullptr);
    EXPECT_EQ(Write(usb, pkt::Base(pkt::BASE_GET_VERSION)), 0);
    EXPECT_EQ(usb.m_nQueueTail, CUSB::kRingEmpty);
}

TEST_F(UsbTest, WritesGoThroughTheRingFromSlotSixAndWrapAtFifty) {
    machine.PlugBase();
    CUSB usb;
    ASSERT_EQ(usb.FindUSB(), 1);
    std::vector<int> slots;
    for (int i = 0; i < 46; ++i) {
        ASSERT_EQ(Write(usb, {static_cast<std::uint8_t>(i), 1, 2}), 1);
        EXPECT_EQ(usb.m_nQueueHead, usb.m_nQueueTail);  // written at once
        slots.push_back(usb.m_nQueueTail);
    }
    EXPECT_EQ(slots.front(), 6);
    EXPECT_EQ(slots[1], 7);
    EXPECT_EQ(slots[43], 49);
    EXPECT_EQ(slots[44], 0);
    EXPECT_EQ(slots[45], 1);
    ASSERT_EQ(machine.base.Received().size(), 46u);
    EXPECT_EQ(machine.base.Received()[45], (Bytes{45, 1, 2}));
    EXPECT_EQ(usb.m_queue[0][0], 0);  // report ID
    EXPECT_EQ(usb.m_queue[0][1], 44);
}

TEST_F(UsbTest, FortyEightBytesAreSentAndFortyNineRefused) {
    machine.PlugBase();
    CUSB usb;
    ASSERT_EQ(usb.FindUSB(), 1);
    EXPECT_EQ(Write(usb, Bytes(49, 0x11)), 0);
    EXPECT_TRUE(machine.base.Received().empty());
    EXPECT_EQ(Write(usb, Bytes(48, 0x11)), 1);
    ASSERT_EQ(machine.base.Received().size(), 1u);
    EXPECT_EQ(machine.base.Received()[0].size(), 48u);
    usb.USB300Timer();
    ASSERT_EQ(machine.base.Received().size(), 2u);
    EXPECT_EQ(machine.base.Received()[1], Bytes(5, 0));
}

TEST_F(UsbTest, AReadStillPendingIsWaitedOnAgainNotStartedTwice) {
    machine.PlugBase();
    CUSB usb;
    ASSERT_EQ(usb.FindUSB(), 1);
    EXPECT_EQ(usb.USBRead(), nullptr);
    EXPECT_EQ(usb.USBRead(), nullptr);
    EXPECT_EQ(counting.starts, 1);
    EXPECT_EQ(hid.PendingReads(), 1);
    machine.base.HangUp(3);
    const unsigned char* data = usb.USBRead();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(pkt::Hex(data, 6), "2424030203F8");
    EXPECT_EQ(hid.PendingReads(), 0);
    EXPECT_EQ(usb.USBRead(), nullptr);  // the next read starts afresh
    EXPECT_EQ(counting.starts, 2);
    EXPECT_EQ(hid.PendingReads(), 1);
}

TEST_F(UsbTest, AnUnpluggedDeviceIsDroppedAtTheNextCheckAndFoundAgainLater) {
    machine.PlugBase();
    CUSB usb;
    ASSERT_EQ(usb.FindUSB(), 1);
    EXPECT_EQ(usb.USBRead(), nullptr);  // a read is outstanding when the base goes
    machine.UnplugBase();
    EXPECT_EQ(usb.FindUSB(), 0);
    EXPECT_EQ(hid.OpenHandles(), 0);
    EXPECT_EQ(hid.PendingReads(), 0);
    EXPECT_EQ(usb.USBRead(), nullptr);
    EXPECT_EQ(Write(usb, {0, 0, 0, 0}), 0);
    machine.PlugBase();
    EXPECT_EQ(usb.FindUSB(), 1);
    EXPECT_EQ(Write(usb, {0, 0, 0, 0}), 1);
    EXPECT_EQ(machine.base.Received().size(), 1u);
}

}  // namespace
