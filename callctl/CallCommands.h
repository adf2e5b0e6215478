// The client commands of call control, byte for byte. The trailing blanks of the swap and
// conference forms are part of the protocol as the client has always received it.
#pragma once
#include <string>

namespace callcmd {

constexpr const char* kHookOn = "HOOK ON";
constexpr const char* kUserStatusDnd = "SET USERSTATUS DND";
constexpr const char* kUserStatusOnline = "SET USERSTATUS ONLINE";
constexpr const char* kGetUserHandle = "Get CURRENTUSERHANDLE";

inline std::string Answer(const std::string& id) { return "SET CALL " + id + " STATUS INPROGRESS"; }
inline std::string Finish(const std::string& id) { return "SET CALL " + id + " STATUS FINISHED"; }
inline std::string Dtmf(const std::string& id, char key) { return "SET CALL " + id + " DTMF " + std::string(1, key); }
inline std::string Resume(const std::string& id) { return "SET CALL " + id + " STATUS INPROGRESS "; }
inline std::string Hold(const std::string& id) { return "SET CALL " + id + " STATUS ONHOLD "; }
inline std::string Join(const std::string& held, const std::string& current) {
    return "SET CALL " + held + " JOIN_CONFERENCE " + current;
}
inline std::string AudioIn(const std::string& device) { return "SET AUDIO_IN " + device; }
inline std::string AudioOut(const std::string& device) { return "SET AUDIO_OUT " + device; }

}  // namespace callcmd
