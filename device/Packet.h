// The device packet: '$' '$' length code body checksum, at most 48 bytes, one per
// 49-byte HID report (report ID 0 in byte 0).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pkt {

constexpr std::uint8_t kMarker = 0x24;        // '$'
constexpr std::size_t kReportSize = 49;       // report ID + 48 data bytes
constexpr std::size_t kDataSize = 48;         // data bytes of one report
constexpr std::size_t kMaxPacket = 48;        // a packet fits the data bytes
constexpr std::uint8_t kMaxLengthByte = 45;   // kMaxPacket - 3
constexpr std::uint8_t kAllHandsets = 0x81;
constexpr std::size_t kDisplayWidth = 16;     // CMD_DISPLAY text bytes
constexpr std::size_t kMaxHandsetText = 20;   // length-prefixed texts
constexpr std::size_t kLoopbackBytes = 5;     // s, s+1 .. s+4 of BASE_LOOPBACK and its echo

// Where the bytes of a packet stand. The length byte counts the code, the body and the
// checksum, so a packet's total is the length byte plus the three bytes up to it, and its
// checksum (one past the body) stands at the length byte plus two.
constexpr std::size_t kLengthAt = 2;
constexpr std::size_t kCodeAt = 3;             // the event or command code
constexpr std::size_t kBodyAt = 4;             // the first body byte
constexpr std::size_t kLengthUncounted = 3;    // '$' '$' and the length byte itself
constexpr std::size_t kLengthNonBody = 2;      // the code and the checksum: the least length byte
constexpr std::size_t kFrameBytes = 5;         // a packet without a body
// Body bytes of the base's events and of the commands and their replies.
constexpr std::size_t kHandsetAt = 4;          // handset events: off hook, answer, hang up, keys
constexpr std::size_t kKeyAt = 6;              // EVT_KEY, EVT_FUNC_KEY
constexpr std::size_t kSubCodeAt = 4;          // CMD_BASE, EVT_TEST_REPLY, EVT_COMMAND_REPLY
constexpr std::size_t kSubDataAt = 5;          // after the sub-code: a value, a reply's data, the loopback bytes
constexpr std::size_t kRepeatAt = 4;           // EVT_DIAL_STRING: 0 = fresh
constexpr std::size_t kDialCountAt = 5;        // EVT_DIAL_STRING: dialled characters + 1
constexpr std::size_t kDialFirstAt = 6;        // EVT_DIAL_STRING: the first dialled character
constexpr std::size_t kDisplayTextAt = 6;      // CMD_DISPLAY
constexpr std::size_t kAlertLengthAt = 8;      // CMD_ALERT: the caller text's length ...
constexpr std::size_t kAlertTextAt = 9;        // ... and the text

// The packet's total and the place of its checksum, from its length byte.
constexpr std::size_t TotalOf(std::uint8_t lengthByte) { return lengthByte + kLengthUncounted; }
constexpr std::size_t ChecksumAt(std::uint8_t lengthByte) { return TotalOf(lengthByte) - 1; }

// Base to bridge.
enum EventCode : std::uint8_t {
    EVT_FUNC_KEY = 0x01,
    EVT_HANG_UP = 0x02,
    EVT_LINE_RELEASED = 0x03,
    EVT_ANSWER = 0x04,
    EVT_REGISTER_END = 0x06,
    EVT_KEY = 0x0B,
    EVT_TEST_REPLY = 0x10,
    EVT_BASE_STATUS = 0x12,
    EVT_COMMAND_REPLY = 0x13,
    EVT_DIAL_STRING = 0x16,
    EVT_TUNNEL_DATA = 0x17,
};

// Bridge to base.
enum CommandCode : std::uint8_t {
    CMD_DISCONNECT = 0x00,
    CMD_RELEASE = 0x02,
    CMD_HANG_UP_ACK = 0x03,
    CMD_CONNECTED = 0x04,
    CMD_ALERT = 0x05,
    CMD_DISPLAY = 0x0A,
    CMD_BASE = 0x12,
};

// Sub-codes of CMD_BASE, echoed as the sub-code of the base's replies.
enum BaseSubCode : std::uint8_t {
    BASE_OPEN_REGISTRATION = 0x02,
    BASE_DELETE_ALL = 0x03,
    BASE_DELETE_HANDSET = 0x04,
    BASE_PAGING = 0x06,
    BASE_LOOPBACK = 0x08,
    BASE_GET_VERSION = 0x0A,
    BASE_RESET = 0x0B,
};

// Sub-codes of EVT_COMMAND_REPLY that answer no command of ours (besides the BASE_ ones).
enum ReplySubCode : std::uint8_t {
    REPLY_TEXT = 0x00,     // a text (the version) for the settings page
    REPLY_DONE = 0x05,     // the base finished something of its own accord
    REPLY_FORWARD = 0x09,  // a forward setting was taken
};

// Two's complement of the 8-bit sum of bytes [from, to].
std::uint8_t Checksum(const std::uint8_t* bytes, std::size_t from, std::size_t to);

// Completes a packet of `total` bytes whose code and body already stand at offsets
// 3 .. total-2: writes '$', '$', total-3 and the checksum.
void Frame(std::uint8_t* packet, std::size_t total);

// A whole packet from its code and body (at most 43 body bytes; longer bodies are cut).
std::vector<std::uint8_t> Build(std::uint8_t code, const std::vector<std::uint8_t>& body);

// What a received report's 48 data bytes hold.
enum class Verdict {
    NotPacket,  // neither byte 0 nor byte 1 is '$': dropped without a trace
    Invalid,    // frame or checksum wrong, or a length byte too small for a code or beyond the report
    Valid,
};
struct Examined {
    Verdict verdict = Verdict::NotPacket;
    std::size_t length = 0;  // packet bytes available in the report (at most 48)
    std::uint8_t sum = 0;    // sum of bytes 2 .. length-1 (0 for a valid packet)
};
Examined Examine(const std::uint8_t* data, std::size_t size = kDataSize);

// Builders of every command (totals as the protocol fixes them).
std::vector<std::uint8_t> Disconnect();                                  // 24 24 02 00 FE
std::vector<std::uint8_t> Release(std::uint8_t handset);                 // 6 bytes
std::vector<std::uint8_t> HangUpAck(std::uint8_t handset);               // 6 bytes
std::vector<std::uint8_t> Connected(std::uint8_t handset);               // 7 bytes
std::vector<std::uint8_t> Alert(const std::string& caller);              // L+10 bytes, L <= 20
std::vector<std::uint8_t> Display(std::uint8_t handset, const std::string& text);  // 23 bytes
std::vector<std::uint8_t> Base(std::uint8_t subCode);                    // 6 bytes
std::vector<std::uint8_t> Base(std::uint8_t subCode, std::uint8_t value);  // 7 bytes
std::vector<std::uint8_t> Loopback(std::uint8_t seed);                   // 11 bytes

// Upper-case hex without separators: the one hex formatter of the logs and transcripts.
std::string Hex(const std::uint8_t* bytes, std::size_t count);

}  // namespace pkt
