#include "tools/e2e-driver/BaseServer.h"

#include <algorithm>

#include "device/Packet.h"
#include "tools/base-device/BaseWire.h"
#include "tools/base-device/DeviceNode.h"

namespace e2e {

namespace {

constexpr DWORD kIdleMs = 50;
constexpr DWORD kPipeWaitMs = 20000;
constexpr std::size_t kShownWhenNoPacket = 8;

// What a transcript line shows of a report: the packet, or the first bytes of what is not one.
std::size_t Shown(const std::uint8_t* data) {
    if (data[0] == pkt::kMarker || data[1] == pkt::kMarker)
        return std::min<std::size_t>(data[2] + 3u, pkt::kDataSize);
    return kShownWhenNoPacket;
}

}  // namespace

BaseServer::BaseServer(Recorder& recorder, Latency& latency)
    : recorder_(recorder), latency_(latency), wake_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
    InitializeCriticalSection(&lock_);
}

BaseServer::~BaseServer() {
    if (thread_) {
        stop_ = true;
        SetEvent(wake_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
    for (Pipe* pipe : {&up_, &down_}) {
        if (pipe->handle != INVALID_HANDLE_VALUE) CancelIo(pipe->handle);
    }
    Reap(true);
    for (Pipe* pipe : {&up_, &down_}) {
        if (pipe->handle != INVALID_HANDLE_VALUE) CloseHandle(pipe->handle);
        if (pipe->event) CloseHandle(pipe->event);
    }
    CloseHandle(wake_);
    DeleteCriticalSection(&lock_);
}

bool BaseServer::Open(const std::string& infPath, std::string& error) {
    infPath_ = infPath;
    if (GetFileAttributesA(infPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
        error = "the minidriver's INF " + infPath + " is missing";
        return false;
    }
    // A base left plugged in by a run that ended early must not show up in this one.
    if (basedev::Count() > 0 && !basedev::Unplug(error)) return false;
    const char* names[2] = {BASE_PIPE_UP_WIN32, BASE_PIPE_DOWN_WIN32};
    Pipe* pipes[2] = {&up_, &down_};
    for (int i = 0; i < 2; ++i) {
        pipes[i]->event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        // The minidriver lets go of the previous run's pipes when it notices that run has
        // ended: on a busy machine that can take a while.
        const DWORD since = GetTickCount();
        for (;;) {
            pipes[i]->handle = CreateNamedPipeA(names[i], PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                                PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0,
                                                nullptr);
            if (pipes[i]->handle != INVALID_HANDLE_VALUE || GetTickCount() - since >= kPipeWaitMs) break;
            Sleep(100);
        }
        if (pipes[i]->handle == INVALID_HANDLE_VALUE || !Listen(*pipes[i])) {
            error = std::string("cannot create the pipe ") + names[i] + " (error " + std::to_string(GetLastError()) +
                    "; is another end-to-end run going on?)";
            return false;
        }
    }
    thread_ = CreateThread(nullptr, 0, &Main, this, 0, nullptr);
    if (!thread_) {
        error = "cannot start the base's thread";
        return false;
    }
    return true;
}

bool BaseServer::Listen(Pipe& pipe) {
    pipe.connected = false;
    for (;;) {
        ZeroMemory(&pipe.overlap, sizeof pipe.overlap);
        pipe.overlap.hEvent = pipe.event;
        ResetEvent(pipe.event);
        if (ConnectNamedPipe(pipe.handle, &pipe.overlap)) return true;
        const DWORD why = GetLastError();
        if (why == ERROR_PIPE_CONNECTED) SetEvent(pipe.event);
        // The minidriver opened this pipe and let go again before we listened (it found the
        // other pipe missing): listen afresh.
        if (why != ERROR_NO_DATA) return why == ERROR_PIPE_CONNECTED || why == ERROR_IO_PENDING;
        DisconnectNamedPipe(pipe.handle);
    }
}

DWORD WINAPI BaseServer::Main(LPVOID self) {
    BaseServer* base = static_cast<BaseServer*>(self);
    while (!base->stop_) {
        HANDLE waits[3] = {base->wake_, base->up_.event, base->down_.event};
        WaitForMultipleObjects(3, waits, FALSE, kIdleMs);
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

bool BaseServer::Plug(std::string& error) {
    if (present_) return true;
    present_ = true;
    if (basedev::Plug(infPath_, error)) return true;
    present_ = false;
    return false;
}

bool BaseServer::Unplug(std::string& error) {
    EnterCriticalSection(&lock_);
    present_ = false;
    readWanted_ = false;  // the host's read fails with the device
    LeaveCriticalSection(&lock_);
    return basedev::Unplug(error);
}

void BaseServer::Disconnect() {
    // The minidriver went away (its device process ended): wait for it to come back.
    for (Pipe* pipe : {&up_, &down_}) CancelIo(pipe->handle);
    Reap(true);
    for (Pipe* pipe : {&up_, &down_}) {
        DisconnectNamedPipe(pipe->handle);
        Listen(*pipe);
    }
    reading_ = false;
    readWanted_ = false;
    received_.clear();
}

void BaseServer::Service() {
    for (Pipe* pipe : {&up_, &down_}) {
        if (!pipe->connected && !reading_ && WaitForSingleObject(pipe->event, 0) == WAIT_OBJECT_0) {
            pipe->connected = true;
            ResetEvent(pipe->event);
        }
    }
    if (!up_.connected || !down_.connected) return;
    everConnected_ = true;
    Reap(false);
    Collect();
    Deliver();
}

void BaseServer::Collect() {
    for (;;) {
        if (!reading_) {
            ZeroMemory(&down_.overlap, sizeof down_.overlap);
            down_.overlap.hEvent = down_.event;
            ResetEvent(down_.event);
            if (!ReadFile(down_.handle, chunk_, sizeof chunk_, nullptr, &down_.overlap) &&
                GetLastError() != ERROR_IO_PENDING) {
                Disconnect();
                return;
            }
            reading_ = true;
        }
        DWORD got = 0;
        if (!GetOverlappedResult(down_.handle, &down_.overlap, &got, FALSE)) {
            if (GetLastError() == ERROR_IO_INCOMPLETE) return;
            Disconnect();
            return;
        }
        reading_ = false;
        received_.insert(received_.end(), chunk_, chunk_ + got);
        while (received_.size() >= BASE_FRAME_BYTES) {
            OnFrame(received_.data());
            received_.erase(received_.begin(), received_.begin() + BASE_FRAME_BYTES);
        }
    }
}

void BaseServer::OnFrame(const std::uint8_t* frame) {
    const std::uint8_t* data = frame + 1;
    switch (frame[0]) {
    case BASE_FRAME_READ:
        readWanted_ = true;
        break;
    case BASE_FRAME_FEATURE: {
        // Shown even while unplugged: a report that gets through a removed device is a fault.
        const std::size_t shown = Shown(data);
        recorder_.Add("usb>", pkt::Hex(data, shown));
        if (data[0] == pkt::kMarker && data[3] == pkt::CMD_ALERT) latency_.Alert(recorder_.NowMs());
        if (std::all_of(data, data + BASE_REPORT_BYTES, [](std::uint8_t byte) { return byte == 0; })) ++keepAlives_;
        sim_.OnFeatureReport(std::vector<std::uint8_t>(data, data + shown));
        break;
    }
    default:
        break;
    }
}

bool BaseServer::Send(const std::uint8_t* frame) {
    Write* write = new Write();
    std::copy(frame, frame + BASE_FRAME_BYTES, write->frame);
    if (!WriteFile(up_.handle, write->frame, BASE_FRAME_BYTES, nullptr, &write->overlap) &&
        GetLastError() != ERROR_IO_PENDING) {
        delete write;
        return false;
    }
    writes_.push_back(write);
    return true;
}

void BaseServer::Reap(bool wait) {
    for (auto it = writes_.begin(); it != writes_.end();) {
        DWORD written = 0;
        if (!GetOverlappedResult(up_.handle, &(*it)->overlap, &written, wait ? TRUE : FALSE) &&
            GetLastError() == ERROR_IO_INCOMPLETE) {
            ++it;
            continue;
        }
        delete *it;
        it = writes_.erase(it);
    }
}

void BaseServer::Deliver() {
    if (!present_ || !readWanted_ || !sim_.HasInputReport()) return;
    std::vector<std::uint8_t> data;
    if (!sim_.NextInputReport(data)) return;
    data.resize(pkt::kDataSize, 0);
    std::uint8_t frame[BASE_FRAME_BYTES];
    frame[0] = BASE_FRAME_INPUT;
    std::copy(data.begin(), data.end(), frame + 1);
    readWanted_ = false;
    recorder_.Add("usb<", pkt::Hex(data.data(), Shown(data.data())));
    if (!Send(frame)) Disconnect();
}

}  // namespace e2e
