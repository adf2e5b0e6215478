#include "platform/win32/vbase/VirtualHid.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace vbase {

namespace {

constexpr DWORD kReplyWaitMs = 2000;
// The HID class as SetupAPI names it; only handed back to us.
constexpr plat::Guid kHidClass{0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

HANDLE ToEvent(plat::Handle event) { return reinterpret_cast<HANDLE>(event); }

}  // namespace

VirtualHid::VirtualHid(std::string pipeName)
    : pipeName_(std::move(pipeName)), replyEvent_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
    InitializeCriticalSection(&lock_);
}

VirtualHid::~VirtualHid() {
    // Only at process end: the reader thread may still be waiting on the pipe, so the link
    // is left to the system rather than torn down under it.
    if (reader_) (void)link_.release();
}

bool VirtualHid::Connect() {
    if (link_ && !link_->Broken() && reader_ && WaitForSingleObject(reader_, 0) == WAIT_TIMEOUT) return true;
    if (reader_) {
        WaitForSingleObject(reader_, INFINITE);  // it ends once the pipe broke
        CloseHandle(reader_);
        reader_ = nullptr;
    }
    link_.reset();
    HANDLE pipe = CreateFileA(pipeName_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) return false;  // no base station on the other end yet
    link_.reset(new PipeLink(pipe));
    reader_ = CreateThread(nullptr, 0, &ReaderMain, this, 0, nullptr);
    if (!reader_) {
        link_.reset();
        return false;
    }
    return true;
}

DWORD WINAPI VirtualHid::ReaderMain(LPVOID self) {
    static_cast<VirtualHid*>(self)->Receive();
    return 0;
}

void VirtualHid::Receive() {
    bool open = true;
    while (open) {
        WaitForSingleObject(link_->ReadEvent(), INFINITE);
        std::vector<Frame> frames;
        open = link_->Collect(frames);
        for (const Frame& frame : frames) {
            FrameReader in(frame);
            EnterCriticalSection(&lock_);
            if (frame.type == kInput) {
                const std::uint32_t sequence = in.Get32();
                const std::vector<std::uint8_t> report = in.GetBytes(kReportSize);
                auto it = reads_.find(sequence);
                if (in.Ok() && it != reads_.end() && !it->second->done) {
                    Read* read = it->second;
                    std::memcpy(read->buffer, report.data(), std::min(read->size, report.size()));
                    read->done = true;
                    SetEvent(read->event);  // as the system signals an overlapped read's event
                }
            } else if (frame.type == awaited_) {
                reply_ = frame;
                awaited_ = 0;
                SetEvent(replyEvent_);
            }
            LeaveCriticalSection(&lock_);
        }
    }
    SetEvent(replyEvent_);  // a request waiting for its reply learns that none will come
}

bool VirtualHid::Request(const Frame& request, std::uint8_t replyType, Frame& reply) {
    if (!Connect()) return false;
    EnterCriticalSection(&lock_);
    awaited_ = replyType;
    reply_ = Frame();
    ResetEvent(replyEvent_);
    LeaveCriticalSection(&lock_);
    if (!link_->Send(request)) return false;
    WaitForSingleObject(replyEvent_, kReplyWaitMs);
    EnterCriticalSection(&lock_);
    const bool got = reply_.type == replyType;
    if (got) reply = reply_;
    awaited_ = 0;
    LeaveCriticalSection(&lock_);
    return got;
}

bool VirtualHid::Enumerate(Snapshot& out) {
    Frame request;
    request.type = kEnumerate;
    Frame reply;
    if (!Request(request, kEnumerateReply, reply)) return false;
    FrameReader in(reply);
    out.present = in.Get8() != 0;
    out.vendorId = in.Get16();
    out.productId = in.Get16();
    out.path = in.GetText();
    out.waveName = in.GetText();
    return in.Ok();
}

bool VirtualHid::SoundDevice(std::string& name) {
    Snapshot snapshot;
    if (!Enumerate(snapshot) || !snapshot.present) return false;
    name = snapshot.waveName;
    return true;
}

plat::Guid VirtualHid::HidGuid() { return kHidClass; }

plat::Handle VirtualHid::GetClassDevs(const plat::Guid& guid) {
    (void)guid;
    auto snapshot = std::make_unique<Snapshot>();
    if (!Enumerate(*snapshot)) return plat::kInvalidHandle;  // as SetupAPI without a HID class
    return reinterpret_cast<plat::Handle>(snapshot.release());
}

bool VirtualHid::EnumInterface(plat::Handle set, const plat::Guid& guid, int index, plat::InterfaceRef& out) {
    (void)guid;
    if (set == plat::kInvalidHandle || set == plat::kNullHandle) return false;
    const Snapshot* snapshot = reinterpret_cast<const Snapshot*>(set);
    if (!snapshot->present || index != 0) return false;
    out.impl = set;
    out.index = index;
    return true;
}

bool VirtualHid::DetailSize(plat::Handle set, const plat::InterfaceRef& ref, std::uint32_t& required) {
    if (set == plat::kInvalidHandle || set == plat::kNullHandle || ref.impl != set) return false;
    const Snapshot* snapshot = reinterpret_cast<const Snapshot*>(set);
    // As SetupAPI: the call without a buffer fails and says how big the detail block is.
    required = static_cast<std::uint32_t>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) +
                                          snapshot->path.size() + 1);
    return false;
}

bool VirtualHid::Detail(plat::Handle set, const plat::InterfaceRef& ref, std::uint32_t size, std::string& path) {
    if (set == plat::kInvalidHandle || set == plat::kNullHandle || ref.impl != set) return false;
    const Snapshot* snapshot = reinterpret_cast<const Snapshot*>(set);
    if (size < offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + snapshot->path.size() + 1) return false;
    path = snapshot->path;
    return true;
}

void VirtualHid::DestroyClassDevs(plat::Handle set) {
    if (set != plat::kInvalidHandle && set != plat::kNullHandle) delete reinterpret_cast<Snapshot*>(set);
}

plat::Handle VirtualHid::Open(const std::string& path) {
    Frame request;
    request.type = kOpen;
    request.PutText(path);
    Frame reply;
    if (!Request(request, kOpenReply, reply)) return plat::kInvalidHandle;
    FrameReader in(reply);
    const bool ok = in.Get8() != 0;
    const std::uint32_t generation = in.Get32();
    if (!ok || !in.Ok()) return plat::kInvalidHandle;
    return reinterpret_cast<plat::Handle>(new Device{generation});
}

bool VirtualHid::GetAttributes(plat::Handle device, std::uint16_t& vendorId, std::uint16_t& productId) {
    if (device == plat::kNullHandle || device == plat::kInvalidHandle) return false;
    Frame request;
    request.type = kAttributes;
    request.Put32(reinterpret_cast<const Device*>(device)->generation);
    Frame reply;
    if (!Request(request, kAttributesReply, reply)) return false;
    FrameReader in(reply);
    const bool ok = in.Get8() != 0;
    const std::uint16_t vendor = in.Get16();
    const std::uint16_t product = in.Get16();
    if (!ok || !in.Ok()) return false;  // unplugged, or plugged in again since this handle was opened
    vendorId = vendor;
    productId = product;
    return true;
}

void VirtualHid::SetFeature(plat::Handle device, const std::uint8_t* report, std::size_t reportSize,
                            std::size_t usedLength) {
    if (!report || reportSize == 0 || device == plat::kNullHandle || device == plat::kInvalidHandle) return;
    if (!link_ || link_->Broken()) return;
    Frame frame;
    frame.type = kFeature;
    frame.Put8(static_cast<std::uint8_t>(std::min<std::size_t>(usedLength, reportSize - 1)));
    frame.PutBytes(report, std::min(reportSize, kReportSize));
    // When it was written, so the base's transcript can order it among the other channels.
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    frame.Put32(static_cast<std::uint32_t>(now.QuadPart & 0xFFFFFFFF));
    frame.Put32(static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.QuadPart) >> 32));
    link_->Send(frame);  // like HidD_SetFeature's, its result is not looked at
}

void VirtualHid::Close(plat::Handle device) {
    if (device != plat::kNullHandle && device != plat::kInvalidHandle) delete reinterpret_cast<Device*>(device);
}

plat::Handle VirtualHid::CreateReadEvent() {
    return reinterpret_cast<plat::Handle>(CreateEventA(nullptr, FALSE, FALSE, nullptr));
}

void VirtualHid::CloseEvent(plat::Handle event) {
    if (event != plat::kNullHandle) CloseHandle(ToEvent(event));
}

void VirtualHid::Drop(Read* read) {
    EnterCriticalSection(&lock_);
    reads_.erase(read->sequence);
    LeaveCriticalSection(&lock_);
    delete read;
}

void VirtualHid::StartRead(plat::Handle device, std::uint8_t* buffer, std::size_t size, plat::ReadOverlap& overlap) {
    if (overlap.impl) CancelRead(device, overlap);  // never two reads on one block
    if (device == plat::kNullHandle || device == plat::kInvalidHandle || !buffer || !link_ || link_->Broken())
        return;
    Read* read = new Read;
    read->buffer = buffer;
    read->size = size;
    read->event = ToEvent(overlap.event);
    EnterCriticalSection(&lock_);
    read->sequence = nextSequence_++;
    reads_[read->sequence] = read;
    LeaveCriticalSection(&lock_);
    overlap.impl = reinterpret_cast<std::uintptr_t>(read);
    Frame frame;
    frame.type = kRead;
    frame.Put32(read->sequence);
    link_->Send(frame);
}

bool VirtualHid::WaitRead(plat::Handle device, plat::ReadOverlap& overlap, unsigned timeoutMs) {
    (void)device;
    Read* read = reinterpret_cast<Read*>(overlap.impl);
    if (!read) return false;
    WaitForSingleObject(read->event, timeoutMs);  // the same bounded wait as on a real device
    EnterCriticalSection(&lock_);
    const bool done = read->done;
    LeaveCriticalSection(&lock_);
    if (!done) return false;
    Drop(read);
    overlap.impl = 0;
    return true;
}

void VirtualHid::CancelRead(plat::Handle device, plat::ReadOverlap& overlap) {
    (void)device;
    Read* read = reinterpret_cast<Read*>(overlap.impl);
    if (!read) return;
    overlap.impl = 0;
    if (link_ && !link_->Broken()) {
        Frame frame;
        frame.type = kCancel;
        frame.Put32(read->sequence);
        link_->Send(frame);
    }
    Drop(read);
}

}  // namespace vbase
