// What the test world reads of the bridge from outside, written down once for the simulated
// base and the checkers: where a framed packet keeps its fields, and the status codes the
// information window shows. The checkers judge the bridge, so they keep this reading of their
// own instead of the bridge's constants: a code or an offset the bridge got wrong is caught,
// not agreed with. (The packet codes and the framing still come from device/Packet.h, which
// the simulated base writes its reports with.)
#pragma once
#include <cstddef>

namespace sim {

// Byte offsets in a packet: '$' '$' length code body... checksum.
namespace at {
constexpr std::size_t kCode = 3;
constexpr std::size_t kHandset = 4;       // the first body byte: the handset, ...
constexpr std::size_t kSub = 4;           // ... or a base command's (and its reply's) sub-code
constexpr std::size_t kValue = 5;         // a delete-one's handset; a loopback's first byte
constexpr std::size_t kDialCount = 5;     // a dial string: its bytes and a terminator ...
constexpr std::size_t kDialFirst = 6;     // ... from here
constexpr std::size_t kKey = 6;           // a key event's character
constexpr std::size_t kDisplayText = 6;   // a display command's 16 characters
constexpr std::size_t kAlertLength = 8;   // an alert's caller text: its length, ...
constexpr std::size_t kAlertText = 9;     // ... and the text
}  // namespace at

// The status codes, with the English texts the information window shows for them.
namespace shown {
constexpr int kOffHook = 1;   // "OFF HOOK": a handset went off hook to dial
constexpr int kReady = 2;     // "USB READY": idle, the link tested
constexpr int kCallOut = 4;   // "CALL OUT": the handset dialled out
constexpr int kInCall = 5;    // "INCOMMING": a call is connected on the handset
constexpr int kRinging = 7;   // "Ringing"
constexpr int kFound = 8;     // "USB READY": found again, its link test still running
}  // namespace shown

}  // namespace sim
