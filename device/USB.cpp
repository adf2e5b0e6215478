#include "device/USB.h"

#include <cstdio>
#include <cstring>

#include "app/BridgeDlg.h"
#include "device/Packet.h"
#include "platform/Platform.h"

namespace {
constexpr std::size_t kReport = sizeof(CUSB::m_inputReport);
constexpr std::size_t kKeepAlive300 = 5;  // bytes of the zero report USB300Timer sends

bool IsOpen(plat::Handle handle) { return handle != plat::kNullHandle && handle != plat::kInvalidHandle; }
}  // namespace

CUSB::CUSB()
    : m_nProductId(kDefaultProductId),
      m_pOwner(nullptr),
      m_nQueueHead(kRingEmpty),
      m_nQueueTail(kRingEmpty),
      m_nCopyCounter(0),
      m_nBytesRead(0),
      m_hReadEvent(plat::kNullHandle),
      m_hDevice(plat::kNullHandle),
      m_bReadPending(false) {
    std::memset(m_queue, 0, sizeof m_queue);
    std::memset(m_inputReport, 0, sizeof m_inputReport);
    std::memset(m_zeroReport, 0, sizeof m_zeroReport);
    m_hReadEvent = plat::hid().CreateReadEvent();
    m_readOverlap.event = m_hReadEvent;
    m_readOverlap.offset = 0;
    m_readOverlap.offsetHigh = 0;
}

CUSB::~CUSB() {
    CloseDevice();
    if (m_hReadEvent != plat::kNullHandle) plat::hid().CloseEvent(m_hReadEvent);
    m_hReadEvent = plat::kNullHandle;
}

void CUSB::CloseDevice() {
    if (m_bReadPending) plat::hid().CancelRead(m_hDevice, m_readOverlap);
    m_bReadPending = false;
    if (IsOpen(m_hDevice)) plat::hid().Close(m_hDevice);
    m_hDevice = plat::kNullHandle;
}

int CUSB::FindUSB() {
    CheckUSBDev();
    if (m_hDevice != plat::kNullHandle) return 1;
    m_hDevice = FindUSBHIDDevice();
    if (m_hDevice == plat::kNullHandle) return 0;
    ++m_nOpenings;
    return 1;
}

void CUSB::CheckUSBDev() {
    if (m_hDevice == plat::kNullHandle) return;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    if (!plat::hid().GetAttributes(m_hDevice, vendorId, productId)) CloseDevice();
}

plat::Handle CUSB::GetDeviceHandle(plat::Guid guid, plat::Handle deviceInfoSet, int index) {
    plat::HidBus& hid = plat::hid();
    plat::InterfaceRef ref;
    if (!hid.EnumInterface(deviceInfoSet, guid, index, ref)) return plat::kNullHandle;
    std::uint32_t required = 0;
    // The sizing call is meant to fail; success means there is no detail to read.
    if (hid.DetailSize(deviceInfoSet, ref, required)) return plat::kNullHandle;
    std::string path;
    if (!hid.Detail(deviceInfoSet, ref, required, path)) return plat::kNullHandle;
    return hid.Open(path);
}

plat::Handle CUSB::FindUSBHIDDevice() {
    plat::HidBus& hid = plat::hid();
    const plat::Guid guid = hid.HidGuid();
    const plat::Handle set = hid.GetClassDevs(guid);
    m_strDeviceList.clear();
    if (set == plat::kInvalidHandle || set == plat::kNullHandle) return plat::kNullHandle;

    std::uint16_t heldVendor = 0;
    std::uint16_t previousVendor = 0;
    int changes = 0;
    for (int index = 0;; ++index) {
        const plat::Handle handle = GetDeviceHandle(guid, set, index);
        if (handle == plat::kNullHandle) break;
        std::uint16_t vendorId = 0;
        std::uint16_t productId = 0;
        if (hid.GetAttributes(handle, vendorId, productId)) {
            char entry[64];
            std::snprintf(entry, sizeof entry, "v = %04X p = %04X %d ", vendorId, productId, index);
            m_strDeviceList += entry;
            if (vendorId == kVendorId) {
                m_nProductId = productId;
                hid.DestroyClassDevs(set);
                return handle;
            }
            heldVendor = vendorId;
        }
        // An unreadable device is closed too: the search never comes back to it.
        if (IsOpen(handle)) hid.Close(handle);
        if (heldVendor != previousVendor) ++changes;
        previousVendor = heldVendor;
        if (changes >= kVendorChangeLimit) break;
    }
    hid.DestroyClassDevs(set);
    return plat::kNullHandle;
}

unsigned char* CUSB::USBRead() {
    if (m_hDevice == plat::kNullHandle) return nullptr;
    plat::HidBus& hid = plat::hid();
    if (!m_bReadPending) {
        hid.StartRead(m_hDevice, m_inputReport, kReport, m_readOverlap);
        m_bReadPending = true;
    }
    if (hid.WaitRead(m_hDevice, m_readOverlap, kReadWaitMs)) {
        m_bReadPending = false;
        return m_inputReport + 1;
    }
    // The backend frees the block when the read failed outright; only a live read is waited on again.
    m_bReadPending = m_readOverlap.impl != 0;
    return nullptr;
}

int CUSB::USBWrite(unsigned char* data, unsigned char len) {
    if (m_hDevice == plat::kNullHandle || len > kMaxWrite || (len > 0 && !data)) return 0;
    m_nQueueTail = static_cast<std::uint8_t>((static_cast<int>(m_nQueueTail) + 1) % kRingSlots);
    if (m_nQueueTail == m_nQueueHead) {
        m_nQueueHead = kRingEmpty;
        m_nQueueTail = kRingEmpty;
        return 0;
    }
    std::uint8_t* slot = m_queue[m_nQueueTail];
    slot[0] = 0;  // report ID
    for (m_nCopyCounter = 0; m_nCopyCounter < len; ++m_nCopyCounter) slot[1 + m_nCopyCounter] = data[m_nCopyCounter];
    // Bytes after the data are zeros, not what an earlier report left in the slot.
    std::memset(slot + 1 + len, 0, kReport - 1 - len);
    m_usedLength[m_nQueueTail] = len;
    ResEvent();
    if (len > 0 && data[0] == pkt::kMarker && m_pOwner) m_pOwner->LogDeviceLine(kLogPrefix + pkt::Hex(data, len));
    return 1;
}

void CUSB::ResEvent() {
    while (m_nQueueHead != m_nQueueTail) DelQueue();
}

void CUSB::DelQueue() {
    m_nQueueHead = static_cast<std::uint8_t>((static_cast<int>(m_nQueueHead) + 1) % kRingSlots);
    plat::hid().SetFeature(m_hDevice, m_queue[m_nQueueHead], kReport, m_usedLength[m_nQueueHead]);
}

void CUSB::USB300Timer() { USBWrite(m_zeroReport, static_cast<unsigned char>(kKeepAlive300)); }

void CUSB::GetVID_PID(std::string& out) { out = m_strDeviceList; }
