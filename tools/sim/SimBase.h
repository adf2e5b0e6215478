// A simulated DECT base station: it takes the bridge's feature reports and answers with
// input reports as a healthy base would. Pure protocol, no platform: the headless backend
// and the Windows end-to-end driver both carry its reports.
#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/headless/Peers.h"
#include "tools/sim/Handsets.h"

namespace sim {

class PeerObserver;

// How the base echoes loopback tests: as it should, never, twice, or with other bytes.
enum class EchoMode { On, Off, Twice, Wrong };
// How it answers delete, reset and version commands: as it should, never, twice, or with
// the reply of another command (another handset, delete-all for reset and back, a "done"
// of its own accord for the version).
enum class ReplyMode { On, Off, Twice, Other };

class SimBase : public HidPeer {
public:
    // ---- behaviour switches (the defaults are a healthy base) ----
    void SetEcho(bool on) { SetEchoMode(on ? EchoMode::On : EchoMode::Off); }
    void SetReplies(bool on) { SetReplyMode(on ? ReplyMode::On : ReplyMode::Off); }
    void SetEchoMode(EchoMode mode);
    void SetReplyMode(ReplyMode mode);
    void SetVersion(const std::string& text) { version_ = text; }  // default "VA6-BASE 1.0"
    // While held, echoes and replies wait; Release sends what waits, oldest first, or newest
    // first (out of order). Late answers are a hold and a release.
    void SetHold(bool on);
    void Release(bool newestFirst);
    // Powered, echoing as it should, nothing held back: a link test with it passes.
    bool Healthy() const { return powered_ && echo_ == EchoMode::On && !hold_ && held_.empty(); }
    // Counts what a healthy base would not do: a report or packet sent at the scenario's word,
    // a release of held answers, a switch set away from its default.
    int Oddities() const { return oddities_; }
    std::size_t Backlog() const { return pending_.size(); }

    // ---- the bridge's side ----
    // One feature report arrived: the bytes the bridge gave its writer (without report ID).
    void OnFeatureReport(const std::vector<std::uint8_t>& data) override;
    // The next input report's 48 data bytes, if the base has one to send.
    bool NextInputReport(std::vector<std::uint8_t>& data48) override;
    bool HasInputReport() const override { return !pending_.empty(); }

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
    EchoMode echo_ = EchoMode::On;
    ReplyMode replies_ = ReplyMode::On;
    bool hold_ = false;
    int oddities_ = 0;
    std::string version_ = "VA6-BASE 1.0";
    struct Pending {
        std::vector<std::uint8_t> data;
        int dialHandset = 0;  // the handset of a dial string, which its packet does not name
    };
    void Queue(std::vector<std::uint8_t> data, int dialHandset = 0);
    void Send(std::uint8_t code, const std::vector<std::uint8_t>& body);
    // An answer to a command of the bridge: echo or reply, held back or sent (once or twice).
    void Reply(std::uint8_t code, const std::vector<std::uint8_t>& body, bool twice);
    void Echo(const std::vector<std::uint8_t>& data);
    void AnswerCommand(std::uint8_t sub, const std::vector<std::uint8_t>& data, std::size_t total);

    bool powered_ = true;  // a base without power sends nothing
    std::deque<Pending> pending_;
    std::vector<std::vector<std::uint8_t>> held_;
    std::vector<std::vector<std::uint8_t>> received_;
    Handsets handsets_;
    std::vector<PeerObserver*> observers_;
};

}  // namespace sim
