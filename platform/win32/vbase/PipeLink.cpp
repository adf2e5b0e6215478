#include "platform/win32/vbase/PipeLink.h"

#include <cstring>

namespace vbase {

std::string PipeName() {
    char buffer[256] = {};
    const DWORD length = GetEnvironmentVariableA(kPipeVariable, buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer) return kDefaultPipe;
    return std::string(buffer, length);
}

void Frame::Put16(std::uint16_t v) {
    Put8(static_cast<std::uint8_t>(v & 0xFF));
    Put8(static_cast<std::uint8_t>(v >> 8));
}

void Frame::Put32(std::uint32_t v) {
    Put16(static_cast<std::uint16_t>(v & 0xFFFF));
    Put16(static_cast<std::uint16_t>(v >> 16));
}

void Frame::PutText(const std::string& s) {
    const std::size_t n = s.size() > 0xFFFF ? 0xFFFF : s.size();
    Put16(static_cast<std::uint16_t>(n));
    PutBytes(reinterpret_cast<const std::uint8_t*>(s.data()), n);
}

void Frame::PutBytes(const std::uint8_t* bytes, std::size_t count) {
    if (bytes) payload.insert(payload.end(), bytes, bytes + count);
}

std::uint8_t FrameReader::Get8() {
    if (at_ >= bytes_.size()) {
        ok_ = false;
        return 0;
    }
    return bytes_[at_++];
}

std::uint16_t FrameReader::Get16() {
    const std::uint16_t lo = Get8();
    return static_cast<std::uint16_t>(lo | (Get8() << 8));
}

std::uint32_t FrameReader::Get32() {
    const std::uint32_t lo = Get16();
    return lo | (static_cast<std::uint32_t>(Get16()) << 16);
}

std::string FrameReader::GetText() {
    const std::size_t n = Get16();
    const std::vector<std::uint8_t> bytes = GetBytes(n);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::uint8_t> FrameReader::GetBytes(std::size_t count) {
    if (count > bytes_.size() - at_) {
        ok_ = false;
        at_ = bytes_.size();
        return std::vector<std::uint8_t>(count, 0);
    }
    std::vector<std::uint8_t> out(bytes_.begin() + static_cast<std::ptrdiff_t>(at_),
                                  bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + count));
    at_ += count;
    return out;
}

// On the wire: type, 16-bit payload length, payload.
PipeLink::PipeLink(HANDLE pipe)
    : pipe_(pipe), readEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      writeEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    InitializeCriticalSection(&writeLock_);
    ZeroMemory(&readOverlap_, sizeof readOverlap_);
    Issue();
}

PipeLink::~PipeLink() {
    if (reading_) {
        CancelIoEx(pipe_, &readOverlap_);
        DWORD ignored = 0;
        GetOverlappedResult(pipe_, &readOverlap_, &ignored, TRUE);
    }
    CloseHandle(pipe_);
    CloseHandle(readEvent_);
    CloseHandle(writeEvent_);
    DeleteCriticalSection(&writeLock_);
}

void PipeLink::Issue() {
    if (broken_ || reading_) return;
    ZeroMemory(&readOverlap_, sizeof readOverlap_);
    readOverlap_.hEvent = readEvent_;
    ResetEvent(readEvent_);
    if (ReadFile(pipe_, chunk_, sizeof chunk_, nullptr, &readOverlap_) || GetLastError() == ERROR_IO_PENDING) {
        reading_ = true;
    } else {
        broken_ = true;
        SetEvent(readEvent_);  // a waiter learns of it at once
    }
}

bool PipeLink::Collect(std::vector<Frame>& out) {
    while (reading_ && !broken_) {
        DWORD got = 0;
        if (!GetOverlappedResult(pipe_, &readOverlap_, &got, FALSE)) {
            if (GetLastError() == ERROR_IO_INCOMPLETE) break;
            reading_ = false;
            broken_ = true;
            break;
        }
        reading_ = false;
        pending_.insert(pending_.end(), chunk_, chunk_ + got);
        Issue();
    }
    std::size_t at = 0;
    while (pending_.size() - at >= 3) {
        const std::size_t length = pending_[at + 1] | (pending_[at + 2] << 8);
        if (pending_.size() - at - 3 < length) break;
        Frame frame;
        frame.type = pending_[at];
        frame.payload.assign(pending_.begin() + static_cast<std::ptrdiff_t>(at + 3),
                             pending_.begin() + static_cast<std::ptrdiff_t>(at + 3 + length));
        out.push_back(std::move(frame));
        at += 3 + length;
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(at));
    return !broken_;
}

bool PipeLink::Send(const Frame& frame) {
    if (frame.payload.size() > 0xFFFF) return false;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(frame.payload.size() + 3);
    bytes.push_back(frame.type);
    bytes.push_back(static_cast<std::uint8_t>(frame.payload.size() & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(frame.payload.size() >> 8));
    bytes.insert(bytes.end(), frame.payload.begin(), frame.payload.end());
    EnterCriticalSection(&writeLock_);
    // A broken pipe shows here as a failed write; the reader's flag is not touched.
    bool ok = true;
    {
        OVERLAPPED overlap;
        ZeroMemory(&overlap, sizeof overlap);
        overlap.hEvent = writeEvent_;
        ResetEvent(writeEvent_);
        DWORD written = 0;
        if (!WriteFile(pipe_, bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &overlap) &&
            GetLastError() != ERROR_IO_PENDING)
            ok = false;
        else
            ok = GetOverlappedResult(pipe_, &overlap, &written, TRUE) && written == bytes.size();
    }
    LeaveCriticalSection(&writeLock_);
    return ok;
}

}  // namespace vbase
