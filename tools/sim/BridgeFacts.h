// What the test world reads of the bridge from outside, written down once for the checkers:
// the status codes the information window shows. The checkers judge the bridge, so they keep
// this reading of their own instead of the bridge's constants: a status the bridge got wrong
// is caught, not agreed with. (The packet's codes, framing and offsets come from
// device/Packet.h, which the simulated base writes its reports with.)
#pragma once
#include <cstddef>

namespace sim {

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
