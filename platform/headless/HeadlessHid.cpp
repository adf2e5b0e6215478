#include "platform/headless/HeadlessHid.h"

#include <algorithm>
#include <cstring>

#include "device/Packet.h"

namespace sim {

namespace {
constexpr std::size_t kDataBytes = 48;
constexpr std::uint8_t kMarker = '$';
// The size field of SP_DEVICE_INTERFACE_DETAIL_DATA_A comes before the path.
constexpr std::uint32_t kDetailHeader = 5;
}  // namespace

plat::Guid HeadlessHid::HidGuid() {
    plat::Guid g;
    g.data1 = 0x4D1E55B2;
    g.data2 = 0xF16F;
    g.data3 = 0x11CF;
    const std::uint8_t tail[8] = {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30};
    std::memcpy(g.data4, tail, sizeof tail);
    return g;
}

plat::Handle HeadlessHid::GetClassDevs(const plat::Guid& guid) {
    (void)guid;
    std::vector<int> present;
    for (std::size_t i = 0; i < devices_.size(); ++i)
        if (devices_[i].present) present.push_back(static_cast<int>(i));
    const plat::Handle set = ++nextHandle_;
    sets_[set] = present;
    return set;
}

const SimHidDevice* HeadlessHid::InSet(plat::Handle set, const plat::InterfaceRef& ref) const {
    auto it = sets_.find(set);
    if (it == sets_.end() || ref.index < 0 || ref.index >= static_cast<int>(it->second.size())) return nullptr;
    return &devices_[static_cast<std::size_t>(it->second[static_cast<std::size_t>(ref.index)])];
}

bool HeadlessHid::EnumInterface(plat::Handle set, const plat::Guid& guid, int index, plat::InterfaceRef& out) {
    (void)guid;
    plat::InterfaceRef ref{set, index};
    if (!InSet(set, ref)) return false;
    out = ref;
    return true;
}

bool HeadlessHid::DetailSize(plat::Handle set, const plat::InterfaceRef& ref, std::uint32_t& required) {
    const SimHidDevice* d = InSet(set, ref);
    if (!d) return false;
    required = kDetailHeader + static_cast<std::uint32_t>(d->path.size()) + 1;
    return false;  // ERROR_INSUFFICIENT_BUFFER, as the real first call
}

bool HeadlessHid::Detail(plat::Handle set, const plat::InterfaceRef& ref, std::uint32_t size, std::string& path) {
    const SimHidDevice* d = InSet(set, ref);
    if (!d || size < kDetailHeader + d->path.size() + 1) return false;
    path = d->path;
    return true;
}

void HeadlessHid::DestroyClassDevs(plat::Handle set) { sets_.erase(set); }

plat::Handle HeadlessHid::Open(const std::string& path) {
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        const SimHidDevice& d = devices_[i];
        if (d.path == path && d.present && d.openable) {
            const plat::Handle handle = ++nextHandle_;
            handles_[handle] = OpenDevice{static_cast<int>(i), d.generation};
            return handle;
        }
    }
    return plat::kInvalidHandle;
}

SimHidDevice* HeadlessHid::Live(plat::Handle device) {
    auto it = handles_.find(device);
    if (it == handles_.end()) return nullptr;
    SimHidDevice& d = devices_[static_cast<std::size_t>(it->second.index)];
    if (!d.present || d.generation != it->second.generation) return nullptr;
    return &d;
}

bool HeadlessHid::GetAttributes(plat::Handle device, std::uint16_t& vendorId, std::uint16_t& productId) {
    SimHidDevice* d = Live(device);
    if (!d || !d->readable) return false;
    vendorId = d->vendorId;
    productId = d->productId;
    return true;
}

void HeadlessHid::SetFeature(plat::Handle device, const std::uint8_t* report, std::size_t reportSize,
                             std::size_t usedLength) {
    SimHidDevice* d = Live(device);
    if (!d || !d->base || !report || reportSize < 1) return;
    const std::size_t used = std::min(usedLength, reportSize - 1);
    const std::vector<std::uint8_t> data(report + 1, report + 1 + used);
    transcript_.Add("usb>", pkt::Hex(data.data(), data.size()));
    d->base->OnFeatureReport(data);
}

void HeadlessHid::Close(plat::Handle device) {
    for (auto it = reads_.begin(); it != reads_.end();) {
        if (it->second.device == device) it = reads_.erase(it);
        else ++it;
    }
    handles_.erase(device);
}

plat::Handle HeadlessHid::CreateReadEvent() {
    const plat::Handle event = ++nextHandle_;
    events_[event] = false;
    return event;
}

void HeadlessHid::CloseEvent(plat::Handle event) { events_.erase(event); }

bool HeadlessHid::TakeEvent(plat::Handle event) {
    auto it = events_.find(event);
    if (it == events_.end() || !it->second) return false;
    it->second = false;
    return true;
}

void HeadlessHid::Service() {
    if (!live_) return;
    for (auto& entry : reads_) TryComplete(entry.second);
}

void HeadlessHid::StartWait(plat::ReadOverlap& overlap) {
    auto it = reads_.find(overlap.impl);
    if (it != reads_.end()) it->second.waitStart = clock_();
}

unsigned HeadlessHid::WaitLeft(const plat::ReadOverlap& overlap, unsigned waitMs) {
    auto it = reads_.find(overlap.impl);
    if (!live_ || it == reads_.end() || it->second.completed) return 0;
    const std::uint64_t waited = clock_() - it->second.waitStart;
    return waited >= waitMs ? 0 : static_cast<unsigned>(waitMs - waited);
}

void HeadlessHid::TryComplete(Read& read) {
    if (read.completed) return;
    SimHidDevice* d = Live(read.device);
    if (!d || !d->base || !d->base->HasInputReport()) return;
    std::vector<std::uint8_t> data;
    d->base->NextInputReport(data);
    data.resize(kDataBytes, 0);
    if (read.size > 0) {
        read.buffer[0] = 0;  // report ID
        std::memcpy(read.buffer + 1, data.data(), std::min(read.size - 1, kDataBytes));
    }
    read.completed = true;
    if (auto event = events_.find(read.event); event != events_.end()) event->second = true;
    std::size_t shown = 8;
    if (data[0] == kMarker || data[1] == kMarker) shown = std::min<std::size_t>(data[2] + 3u, kDataBytes);
    transcript_.Add("usb<", pkt::Hex(data.data(), shown));
}

void HeadlessHid::StartRead(plat::Handle device, std::uint8_t* buffer, std::size_t size, plat::ReadOverlap& overlap) {
    if (overlap.impl) {
        // A caller reusing a busy block loses the old read.
        auto old = reads_.find(overlap.impl);
        if (old != reads_.end() && !old->second.completed) ++overPending_;
        reads_.erase(overlap.impl);
    }
    ++started_;
    overlap.impl = ++nextRead_;
    Read& read = reads_[overlap.impl];
    read = Read{device, buffer, size, false, overlap.event, clock_()};
    TryComplete(read);
}

bool HeadlessHid::WaitRead(plat::Handle device, plat::ReadOverlap& overlap, unsigned timeoutMs) {
    (void)device;
    (void)timeoutMs;
    auto it = reads_.find(overlap.impl);
    if (it == reads_.end()) return false;
    TryComplete(it->second);
    if (!it->second.completed) return false;
    // The wait that sees the read complete resets its auto-reset event.
    TakeEvent(it->second.event);
    reads_.erase(it);
    overlap.impl = 0;
    return true;
}

void HeadlessHid::CancelRead(plat::Handle device, plat::ReadOverlap& overlap) {
    (void)device;
    reads_.erase(overlap.impl);
    overlap.impl = 0;
}

int HeadlessHid::AddDevice(std::uint16_t vendorId, std::uint16_t productId, const std::string& path) {
    SimHidDevice d;
    d.vendorId = vendorId;
    d.productId = productId;
    d.path = path;
    devices_.push_back(d);
    return static_cast<int>(devices_.size()) - 1;
}

void HeadlessHid::Plug(int index) {
    SimHidDevice& d = Device(index);
    if (d.present) return;
    d.present = true;
    ++d.generation;
}

void HeadlessHid::Unplug(int index) { Device(index).present = false; }

std::int64_t HeadlessHid::WaitStartedAt() const {
    for (const auto& r : reads_)
        if (!r.second.completed) return static_cast<std::int64_t>(r.second.waitStart);
    return -1;
}

int HeadlessHid::PendingReads() const {
    return static_cast<int>(std::count_if(reads_.begin(), reads_.end(), [](const auto& r) { return !r.second.completed; }));
}

}  // namespace sim
