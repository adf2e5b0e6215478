// CUSB: finds the base station among the HID devices, reads one input report at a time
// with a bounded wait that holds nobody up, and writes feature reports through a small
// ring.
#pragma once
#include <cstdint>
#include <string>

#include "platform/HidBus.h"
#include "platform/Types.h"

#ifndef BRIDGER_EXPORT
#define BRIDGER_EXPORT
#endif

class CBridgeDlg;

class BRIDGER_EXPORT CUSB {
public:
    static constexpr std::uint16_t kVendorId = 0x0E5E;
    static constexpr std::uint16_t kDefaultProductId = 0x6611;
    // How long a poll waits for its report. The wait is a state, not a block: the UI thread
    // goes on serving the client and the user meanwhile (CThread::Poll).
    static constexpr unsigned kReadWaitMs = 200;
    static constexpr int kRingSlots = 50;      // of the 100 slots only 0-49 are used
    static constexpr int kVendorChangeLimit = 8;
    static constexpr std::uint8_t kRingEmpty = 0xFF;
    static constexpr std::size_t kMaxWrite = 48;
    static constexpr const char* kLogPrefix = "6611 ";  // fixed, whatever the product id

    CUSB();
    ~CUSB();
    CUSB(const CUSB&) = delete;
    CUSB& operator=(const CUSB&) = delete;

    int FindUSB();
    void USB300Timer();
    // Starts a read when none is outstanding and a wait of kReadWaitMs on it; the 48 data
    // bytes of its report if that has arrived already, else null. Never blocks.
    unsigned char* USBRead();
    // The report of the wait's read if it has arrived since, else null; never starts a read.
    unsigned char* USBReadArrived();
    // The wait runs: the read may still bring its report within it.
    bool ReadWaiting() const { return m_bReadWaiting; }
    // What is left of the wait, in ms (0 when it is over).
    unsigned ReadWaitLeft();
    int USBWrite(unsigned char* data, unsigned char len);
    void ResEvent();
    void GetVID_PID(std::string& out);
    // Gives the device up (an outstanding read is cancelled); the next FindUSB looks again.
    void CloseDevice();
    // The main dialog told of the reports' traces.
    void AttachTo(CBridgeDlg* owner) { m_pOwner = owner; }
    // Set when a read's report arrives; the main loop watches it.
    plat::Handle ReadEvent() const { return m_hReadEvent; }

    // Fields, in declaration order.
    std::uint16_t m_nProductId;
    std::string m_strDeviceList;
    CBridgeDlg* m_pOwner;
    std::uint8_t m_nQueueHead;
    std::uint8_t m_nQueueTail;
    std::uint8_t m_queue[100][49];
    std::uint8_t m_nCopyCounter;
    std::uint32_t m_nBytesRead;
    plat::ReadOverlap m_readOverlap;
    std::uint8_t m_inputReport[49];
    plat::Handle m_hReadEvent;
    std::uint8_t m_zeroReport[49];
    plat::Handle m_hDevice;
    // A read whose report has not arrived stays outstanding and is looked at again, never
    // reissued over itself.
    bool m_bReadPending;
    // Devices opened so far: a base unplugged and back between two checks is a new opening,
    // though no check ever found it missing.
    int m_nOpenings = 0;
    bool m_bReadWaiting;

private:
    plat::Handle GetDeviceHandle(plat::Guid guid, plat::Handle deviceInfoSet, int index);
    plat::Handle FindUSBHIDDevice();
    void CheckUSBDev();
    void DelQueue();

    // Bytes filled in each ring slot, so traces show the report's used part only.
    std::uint8_t m_usedLength[kRingSlots] = {};
};
