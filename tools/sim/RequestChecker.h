// The request checker: from the user's clicks on the settings page, what the base hears and
// answers, and the message boxes and page the user sees, it checks after every event that
//
//   8 one action, one result  every request of the page that reports (delete all, delete
//                             one, loopback, All Reset) ends in exactly one result within its
//                             time: its message only after the base's own answer to it, its
//                             time-out message only when that answer did not come; no such
//                             message without a request; the page's buttons are off exactly
//                             while a request waits, and its light is green exactly while
//                             the base registers, also in a page opened again
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "tools/sim/Checker.h"

namespace sim {

class RequestChecker : public Checker {
public:
    static constexpr std::uint64_t kResultWithinMs = 2000 + 500;   // the reply time-out, and a poll
    static constexpr std::uint64_t kChainWithinMs = 3 * 2000 + 500;  // All Reset: three requests
    static constexpr std::uint64_t kPageGraceMs = 300;

    RequestChecker(const UserView& user, std::function<std::uint64_t()> clock, std::vector<Violation>& sink);

    void Check() override;
    void OnMessageBox(const std::string& text) override;
    void OnUserClick(const std::string& window, int control) override;
    static std::string RuleName();  // "rule 8 (one action, one result)"

    // PeerObserver.
    void OnBaseReport(const std::vector<std::uint8_t>& data) override;
    void OnBridgeReport(const std::vector<std::uint8_t>& data) override;
    void OnBasePower(bool on) override;

private:
    enum class Kind { None, DeleteAll, DeleteOne, Loopback, AllReset };
    struct Request {
        Kind kind = Kind::None;
        int handset = 0;                  // delete one
        std::vector<std::uint8_t> bytes;  // the loopback's five bytes, once sent
        std::uint64_t at = 0;
        bool sent = false;                // its command reached the base
        bool answered = false;            // the bridge read the base's own answer to it
    };
    enum class Registering { Unknown, Yes, No };

    void Break(const std::string& text) { Checker::Break(RuleName(), "", text); }
    Kind Clicked() const;  // what OK would ask for, from the checked radio
    static std::string Name(Kind kind);
    static bool Answers(const Request& r, const std::vector<std::uint8_t>& packet);
    // The result texts of a request (`success` or not); false when the text is none of them.
    bool ResultOf(Kind kind, const std::string& text, bool& success) const;
    void CheckPage();

    const UserView& user_;
    std::deque<Request> waiting_;
    bool attribute_ = false;  // the next command the base hears is the clicked request's
    std::uint64_t clickAt_ = 0;
    Registering registering_ = Registering::Unknown;
    Lasting buttonsWrong_;
    Lasting lightWrong_;
};

}  // namespace sim
