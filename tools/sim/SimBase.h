// A simulated DECT base station: it takes the bridge's feature reports and answers with
// input reports as a healthy base would. Pure protocol, no platform: the headless backend
// and the Windows end-to-end driver both carry its reports.
#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "tools/sim/Handsets.h"

namespace sim {

class PeerObserver;

class SimBase {
public:
    // ---- behaviour switches ----
    void SetEcho(bool on) { echo_ = on; }              // loopback echoes (default on)
    void SetReplies(bool on) { replies_ = on; }        // delete/reset/version replies (default on)
    void SetVersion(const std::string& text) { version_ = text; }  // default "VA6-BASE 1.0"

    // ---- the bridge's side ----
    // One feature report arrived: the bytes the bridge gave its writer (without report ID).
    void OnFeatureReport(const std::vector<std::uint8_t>& data);
    // The next input report's 48 data bytes, if the base has one to send.
    bool NextInputReport(std::vector<std::uint8_t>& data48);
    bool HasInputReport() const { return !pending_.empty(); }

    // Unplugged: the reports it had not yet sent are gone with its power, and so is the
    // line of every handset.
    void PowerOff();
    void PowerOn();

    // ---- what the base does of its own accord ----
    void SendRaw(const std::vector<std::uint8_t>& data);  // zero-padded to 48
    void SendPacket(std::uint8_t code, const std::vector<std::uint8_t>& body);  // framed
    void Key(std::uint8_t handset, char key);            // EVT_KEY
    void FuncKey(std::uint8_t handset, char key);        // EVT_FUNC_KEY, '*' talk or '#' menu
    void Answer(std::uint8_t handset);                   // EVT_ANSWER
    void HangUp(std::uint8_t handset);                   // EVT_HANG_UP
    void DialString(std::uint8_t handset, const std::string& digits, bool repeat);  // EVT_DIAL_STRING
    void LineReleased();                                 // EVT_LINE_RELEASED
    void RegisterEnd();                                  // EVT_REGISTER_END

    // Every report the bridge wrote, in order.
    const std::vector<std::vector<std::uint8_t>>& Received() const { return received_; }
    // Drops that record (long runs that do not read it).
    void ForgetReceived() { received_.clear(); }

    // What the base knows of its handsets.
    const Handsets& HandsetModel() const { return handsets_; }
    void AddObserver(PeerObserver* observer) { observers_.push_back(observer); }

private:
    bool echo_ = true;
    bool replies_ = true;
    std::string version_ = "VA6-BASE 1.0";
    struct Pending {
        std::vector<std::uint8_t> data;
        int dialHandset = 0;  // the handset of a dial string, which its packet does not name
    };
    void Queue(std::vector<std::uint8_t> data, int dialHandset = 0);

    bool powered_ = true;  // a base without power sends nothing
    std::deque<Pending> pending_;
    std::vector<std::vector<std::uint8_t>> received_;
    Handsets handsets_;
    std::vector<PeerObserver*> observers_;
};

}  // namespace sim
