// The scenario language of bridger-sim: one command a line, read whole before anything
// runs, so that a mistyped command or number stops the run before the bridge starts.
#pragma once
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "platform/Types.h"
#include "tools/sim/SimClient.h"

namespace scn {

enum class Op {
    Clock, Os, Start, Run,
    BasePlug, BaseUnplug, BaseEcho, BaseReplies, BaseHold, BaseRelease, BaseVersion, BaseSend, BasePacket,
    BaseReleased, BaseRegisterEnd,
    HandsetKey, HandsetTalk, HandsetMenu, HandsetAnswer, HandsetHangup, HandsetDial,
    ClientStart, ClientAttach, ClientStop, ClientAuto, ClientContacts, ClientSay, ClientSendRaw,
    UiCommand, UiTray, UiClick, UiCheck, UiSelect, UiClose, UiShow,
    UiMsgBoxAuto, UiMsgBoxManual, UiMsgBoxOk,
    Expect, ExpectNot,
};

// One command with its arguments already checked and converted.
struct Step {
    int line = 0;
    Op op = Op::Run;
    std::string text;                    // TEXT, start ARGS, DIGITS, WINDOW name
    std::vector<std::uint8_t> bytes;     // base send / base packet body / client send-raw
    std::vector<sim::Contact> contacts;  // client contacts
    long long number = 0;                // MS, ID, STATUS, handset N, packet CODE, mouse message,
                                         // base echo/replies mode (sim::EchoMode, sim::ReplyMode)
    long long second = 0;                // control ID of ui click/check/select
    long long third = 0;                 // INDEX of ui select
    bool on = false;                     // on/off switches (echo and replies: not off), dial
                                         // repeat, release reversed
    char key = 0;                        // handset key
    sim::ClientKindSim kind = sim::ClientKindSim::Skype;
    plat::TimeOfDay clock{};
    plat::OsVersion os{};
};

struct ScriptError {
    int line = 0;
    std::string message;
};

// Comments and blank lines yield no step. False (with *error) for a line that is no command.
bool ParseLine(const std::string& line, int number, std::vector<Step>& steps, ScriptError* error);
// Every line of the stream; false at the first bad line.
bool ParseScript(std::istream& in, std::vector<Step>& steps, ScriptError* error);

}  // namespace scn
