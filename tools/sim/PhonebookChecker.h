// The phone-book checker: from what the simulated client told the bridge of its contacts
// (its ContactBook) and what the simulated base shows on each handset, it checks after every
// event that
//
//   9 the phone book is the client's   the menu shows only contacts the client attached now
//                         listed and reported online, and finds every one of them; the bridge
//                         asks the client about every contact of its contacts reply
//  10 the display tells the truth      an entry shows what its key chose: the first contact
//                         under the letter, the one after (or before) the contact shown, the
//                         first entry when none is shown, nothing new for a key the menu does
//                         not use; no letter no key chose; a contact that left is not shown
//                         for long; no text is cut inside a character
//  11 only what the user chose is dialled   a CALL carries the contact shown when '#' was
//                         pressed in the browsed menu, or the dial characters the handset
//                         keyed; no call is shown going out that reached no client
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "tools/sim/Checker.h"
#include "tools/sim/SimBase.h"
#include "tools/sim/SimClient.h"

namespace sim {

class PhonebookChecker : public Checker {
public:
    static constexpr std::uint64_t kStaleWithinMs = 1500;   // a contact that left is shown no longer
    static constexpr std::uint64_t kAskWithinMs = 1000;     // the sweep asks on after an answer
    static constexpr std::uint64_t kCallOutGraceMs = 1000;  // "calling" with no CALL sent

    PhonebookChecker(const SimBase& base, const SimClient& client, std::function<std::uint64_t()> clock,
                     std::vector<Violation>& sink);

    void OnStatus(int status) override;
    void Check() override;
    static std::string RuleName(int rule);

    // PeerObserver.
    void OnBaseEvent(const HandsetEvent& event) override;
    void OnBridgeReport(const std::vector<std::uint8_t>& data) override;
    void OnBasePower(bool on) override;
    void OnClientCommand(const std::string& command) override;
    void OnNotificationDelivered(const std::string& text) override;
    void OnClientProcess(bool running) override;

private:
    enum Rule { kPhonebookIsTheClients = 9, kDisplayTellsTheTruth, kOnlyWhatWasChosen };
    static constexpr const char* kEmptyWord = "_EMPTY";  // the menu's entry for a letter without contacts
    static constexpr std::size_t kEmptyWordSize = 6;
    static std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

    enum class Mode { None, Menu, Number, Hash, Call };
    // What a handset does since it took the line, as the bridge hears it.
    struct Session {
        Mode mode = Mode::None;
        bool opened = false;      // the menu key opened the menu: '#' there calls nobody
        std::string shown;        // the contact its display shows (empty: none)
        bool showsLeft = false;   // ... who has left the phone book since
        std::uint64_t leftAt = 0;
    };
    // The key whose display the bridge writes in the same poll.
    struct PendingKey {
        int handset = 0;
        char key = 0;
        bool menuKey = false;  // the menu function key
        std::uint64_t at = 0;
    };

    void Break(int rule, const std::string& text) { Checker::Break(RuleName(rule), "", text); }
    Session& At(int handset) { return sessions_[static_cast<std::size_t>(handset & 0xFF)]; }
    void ClassifyKey(Session& s, const HandsetEvent& event);
    void JudgeMenuDisplay(int handset, const std::string& text);
    void JudgeEmptyEntry(Session& s, const std::string& letter, const PendingKey* key);
    void JudgeContact(Session& s, int handset, const std::string& text, const PendingKey* key);
    void JudgeCallDisplay(int handset, const std::string& text);
    void JudgeAlert(const std::vector<std::uint8_t>& data);
    void CheckCall(const std::string& target);
    std::string ExpectedNumber(const HandsetState& h, Mode mode) const;
    void CheckStaleDisplays();
    void CheckSweep();
    void CheckCallOut();

    const SimBase& base_;
    const SimClient& client_;
    std::array<Session, 256> sessions_{};
    PendingKey pending_;
    int lastHolder_ = 0;
    bool powered_ = false;
    int status_ = 0;
    bool callSent_ = false;  // a CALL reached the client since a handset last went off hook
    Lasting callOutBad_;  // "calling" with no CALL sent
    // The status sweep: whom the bridge asked since the last contacts reply, and whose
    // answer has not come yet.
    std::set<std::string> asked_;
    std::set<std::string> unanswered_;
    bool attached_ = false;
    bool clientRunning_ = false;  // a client gone takes no more questions
    Lasting sweepBad_;  // a listed contact never asked about
};

}  // namespace sim
