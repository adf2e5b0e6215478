// The local channel between a test build's HID layer and the virtual base station: framed
// messages over an overlapped named pipe, read without blocking so that either end can
// wait on the pipe and on its own windows at once.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/Win32Api.h"

namespace vbase {

// The environment variable that names the pipe, and the name used without it.
constexpr const char* kPipeVariable = "BRIDGER_VBASE_PIPE";
constexpr const char* kDefaultPipe = "\\\\.\\pipe\\bridger-virtual-base";
std::string PipeName();

// Message types. Upper case: the bridge asks or tells; lower case: the base answers.
enum : std::uint8_t {
    kEnumerate = 'E',          // -> 'e': present, vendor, product, generation, path, wave name
    kEnumerateReply = 'e',
    kOpen = 'O',               // path -> 'o': ok, generation
    kOpenReply = 'o',
    kAttributes = 'A',         // generation -> 'a': ok, vendor, product
    kAttributesReply = 'a',
    kFeature = 'F',            // used length, the whole report, the writer's performance counter
    kRead = 'R',               // sequence number: one input report wanted
    kCancel = 'C',             // sequence number: that read is given up
    kInput = 'I',              // sequence number, the whole input report
};

constexpr std::size_t kReportSize = 49;

struct Frame {
    std::uint8_t type = 0;
    std::vector<std::uint8_t> payload;

    void Put8(std::uint8_t v) { payload.push_back(v); }
    void Put16(std::uint16_t v);
    void Put32(std::uint32_t v);
    void PutText(const std::string& s);  // 16-bit length, then the bytes
    void PutBytes(const std::uint8_t* bytes, std::size_t count);
};

// Reads the fields of a frame in order; a frame too short reads as zeros and fails Ok().
class FrameReader {
public:
    explicit FrameReader(const Frame& frame) : bytes_(frame.payload) {}
    std::uint8_t Get8();
    std::uint16_t Get16();
    std::uint32_t Get32();
    std::string GetText();
    std::vector<std::uint8_t> GetBytes(std::size_t count);
    bool Ok() const { return ok_; }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

class PipeLink {
public:
    // Takes an overlapped pipe handle (either end) and owns it.
    explicit PipeLink(HANDLE pipe);
    ~PipeLink();
    PipeLink(const PipeLink&) = delete;
    PipeLink& operator=(const PipeLink&) = delete;

    // Writes one frame and waits until it is in the pipe; false once the pipe is broken.
    bool Send(const Frame& frame);
    // Signalled when bytes have arrived (or the pipe broke): then call Collect.
    HANDLE ReadEvent() const { return readEvent_; }
    // Takes what arrived, appends every whole frame to out and reads on; false once broken.
    bool Collect(std::vector<Frame>& out);
    bool Broken() const { return broken_; }

private:
    void Issue();

    HANDLE pipe_;
    HANDLE readEvent_;
    HANDLE writeEvent_;
    OVERLAPPED readOverlap_;
    std::uint8_t chunk_[512];
    bool reading_ = false;
    bool broken_ = false;
    std::vector<std::uint8_t> pending_;
    CRITICAL_SECTION writeLock_;
};

}  // namespace vbase
