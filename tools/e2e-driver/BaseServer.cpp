#include "tools/e2e-driver/BaseServer.h"

#include <vector>

#include "device/Packet.h"

namespace e2e {

namespace {
const char kPath[] = "\\\\?\\hid#vid_0e5e&pid_6611#virtual-base#{4d1e55b2-f16f-11cf-88cb-001111000030}";
}  // namespace

BaseServer::BaseServer(Transcript& transcript, Latency& latency)
    : transcript_(transcript), latency_(latency), wake_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
    InitializeCriticalSection(&lock_);
}

BaseServer::~BaseServer() {
    if (thread_) {
        stop_ = true;
        SetEvent(wake_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
    link_.reset();
    if (listening_ != INVALID_HANDLE_VALUE) {
        CancelIoEx(listening_, &connectOverlap_);
        CloseHandle(listening_);
    }
    if (connectEvent_) CloseHandle(connectEvent_);
    CloseHandle(wake_);
    DeleteCriticalSection(&lock_);
}

bool BaseServer::Open(const std::string& pipeName, std::string& error) {
    pipeName_ = pipeName;
    connectEvent_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!Listen()) {
        error = "cannot create the pipe " + pipeName + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    thread_ = CreateThread(nullptr, 0, &Main, this, 0, nullptr);
    if (!thread_) {
        error = "cannot start the base's thread";
        return false;
    }
    return true;
}

DWORD WINAPI BaseServer::Main(LPVOID self) {
    BaseServer* base = static_cast<BaseServer*>(self);
    constexpr DWORD kIdleMs = 50;
    while (!base->stop_) {
        HANDLE waits[2] = {base->WaitHandle(), base->wake_};
        WaitForMultipleObjects(2, waits, FALSE, kIdleMs);
        EnterCriticalSection(&base->lock_);
        base->Service();
        LeaveCriticalSection(&base->lock_);
    }
    return 0;
}

void BaseServer::With(const std::function<void(sim::SimBase&)>& action) {
    EnterCriticalSection(&lock_);
    action(sim_);
    LeaveCriticalSection(&lock_);
    SetEvent(wake_);
}

bool BaseServer::Listen() {
    ResetEvent(connectEvent_);  // a pipe that cannot be made again must not look connected
    listening_ = CreateNamedPipeA(pipeName_.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                  PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
    if (listening_ == INVALID_HANDLE_VALUE) return false;
    ZeroMemory(&connectOverlap_, sizeof connectOverlap_);
    connectOverlap_.hEvent = connectEvent_;
    ResetEvent(connectEvent_);
    if (!ConnectNamedPipe(listening_, &connectOverlap_)) {
        const DWORD why = GetLastError();
        if (why == ERROR_PIPE_CONNECTED) SetEvent(connectEvent_);
        else if (why != ERROR_IO_PENDING) return false;
    }
    return true;
}

HANDLE BaseServer::WaitHandle() const { return link_ ? link_->ReadEvent() : connectEvent_; }

void BaseServer::Service() {
    if (!link_ && listening_ != INVALID_HANDLE_VALUE && WaitForSingleObject(connectEvent_, 0) == WAIT_OBJECT_0) {
        link_.reset(new vbase::PipeLink(listening_));  // the link owns the connected instance now
        listening_ = INVALID_HANDLE_VALUE;
        readWanted_ = 0;
        everConnected_ = true;
    }
    if (!link_) return;
    std::vector<vbase::Frame> frames;
    const bool open = link_->Collect(frames);
    for (const vbase::Frame& frame : frames) OnFrame(frame);
    if (!open) {
        // The bridge ended: wait for the next one (a bridge started again).
        link_.reset();
        Listen();
        return;
    }
    Deliver();
}

void BaseServer::Reply(vbase::Frame& frame) {
    if (link_) link_->Send(frame);
}

void BaseServer::OnFrame(const vbase::Frame& frame) {
    vbase::FrameReader in(frame);
    vbase::Frame reply;
    switch (frame.type) {
    case vbase::kEnumerate:
        reply.type = vbase::kEnumerateReply;
        reply.Put8(present_ ? 1 : 0);
        reply.Put16(kVendorId);
        reply.Put16(kProductId);
        reply.PutText(kPath);
        reply.PutText(kWaveName);
        Reply(reply);
        break;
    case vbase::kOpen: {
        const std::string path = in.GetText();
        reply.type = vbase::kOpenReply;
        reply.Put8(present_ && path == kPath ? 1 : 0);
        reply.Put32(generation_);
        Reply(reply);
        break;
    }
    case vbase::kAttributes: {
        const std::uint32_t generation = in.Get32();
        reply.type = vbase::kAttributesReply;
        reply.Put8(present_ && generation == generation_ ? 1 : 0);
        reply.Put16(kVendorId);
        reply.Put16(kProductId);
        Reply(reply);
        break;
    }
    case vbase::kFeature: {
        const std::size_t used = in.Get8();
        const std::vector<std::uint8_t> report = in.GetBytes(vbase::kReportSize);
        const std::uint32_t low = in.Get32();
        const std::uint32_t high = in.Get32();
        // The length byte comes off the wire: it never reaches past the report.
        if (!in.Ok() || !present_ || used >= report.size()) break;
        // Stamped by the bridge when it wrote the report, on the clock the driver reads too.
        const double at = transcript_.MsAt(static_cast<long long>((static_cast<std::uint64_t>(high) << 32) | low));
        const std::vector<std::uint8_t> data(report.begin() + 1, report.begin() + 1 + static_cast<std::ptrdiff_t>(used));
        transcript_.AddAt(at, "usb>", Hex(data.data(), data.size()));
        if (data.size() > 3 && data[0] == pkt::kMarker && data[3] == pkt::CMD_ALERT) latency_.Alert(transcript_.NowMs());
        sim_.OnFeatureReport(data);
        break;
    }
    case vbase::kRead:
        readWanted_ = in.Get32();
        break;
    case vbase::kCancel:
        if (in.Get32() == readWanted_) readWanted_ = 0;
        break;
    default:
        break;
    }
}

void BaseServer::Deliver() {
    if (!link_ || !present_ || readWanted_ == 0 || !sim_.HasInputReport()) return;
    std::vector<std::uint8_t> data;
    if (!sim_.NextInputReport(data)) return;
    data.resize(pkt::kDataSize, 0);
    vbase::Frame frame;
    frame.type = vbase::kInput;
    frame.Put32(readWanted_);
    frame.Put8(0);  // report ID
    frame.PutBytes(data.data(), data.size());
    readWanted_ = 0;
    std::size_t shown = 8;
    if (data[0] == pkt::kMarker || data[1] == pkt::kMarker) shown = std::min<std::size_t>(data[2] + 3u, pkt::kDataSize);
    transcript_.Add("usb<", Hex(data.data(), shown));
    link_->Send(frame);
}

void BaseServer::Plug() {
    EnterCriticalSection(&lock_);
    if (!present_) {
        present_ = true;
        ++generation_;
    }
    LeaveCriticalSection(&lock_);
    SetEvent(wake_);
}

void BaseServer::Unplug() {
    EnterCriticalSection(&lock_);
    present_ = false;
    readWanted_ = 0;  // the read fails with the device
    LeaveCriticalSection(&lock_);
}

}  // namespace e2e
