#include "tools/sim/PhonebookChecker.h"

#include "device/Packet.h"
#include "tools/sim/ApiWords.h"
#include "tools/sim/BridgeFacts.h"
#include "tools/sim/HandsetText.h"

namespace sim {

std::string PhonebookChecker::RuleName(int rule) {
    static const char* const kNames[] = {"the phone book is the client's", "the display tells the truth",
                                         "only what the user chose is dialled"};
    return RuleLabel(rule, kPhonebookIsTheClients, kNames);
}

PhonebookChecker::PhonebookChecker(const SimBase& base, const SimClient& client,
                                   std::function<std::uint64_t()> clock, std::vector<Violation>& sink)
    : Checker(std::move(clock), sink), base_(base), client_(client) {}

void PhonebookChecker::ClassifyKey(Session& s, const HandsetEvent& event) {
    if (s.mode != Mode::None) return;
    // A key that lifts a ringing handset answers the call.
    if (event.wentOffHook && event.wasAlerting) {
        s.mode = Mode::Call;
        return;
    }
    const char k = event.key;
    s.mode = (k == '0' || k == '1' || k == '+') ? Mode::Number : k == '#' ? Mode::Hash : Mode::Menu;
}

void PhonebookChecker::OnBaseEvent(const HandsetEvent& event) {
    const int holder = base_.HandsetModel().LineHolder();
    const int h = event.handset;
    pending_ = PendingKey{};
    if (Handsets::Registered(h)) {
        Session& s = At(h);
        // Off hook afresh, or taking the line another handset left: the bridge starts over.
        if (event.wentOffHook || (holder == h && lastHolder_ != h)) s = Session{};
        switch (event.kind) {
            case HandsetEvent::Kind::Key:
                if (holder != h) break;  // not on the line: the bridge does not hear it
                ClassifyKey(s, event);
                pending_ = PendingKey{h, event.key, false, Now()};
                break;
            case HandsetEvent::Kind::FuncKey:
                if (holder == h && event.key == '#' && s.mode == Mode::None) {
                    s.mode = Mode::Menu;
                    s.opened = true;
                    pending_ = PendingKey{h, event.key, true, Now()};
                }
                break;
            case HandsetEvent::Kind::Answer:
                if (event.wentOffHook && event.wasAlerting) s.mode = Mode::Call;
                break;
            case HandsetEvent::Kind::DialString: s.mode = Mode::Number; break;
            case HandsetEvent::Kind::HangUp:
            case HandsetEvent::Kind::LineReleased: s = Session{}; break;
            default: break;
        }
    }
    lastHolder_ = holder;
    Check();
}

void PhonebookChecker::OnBridgeReport(const std::vector<std::uint8_t>& data) {
    const pkt::Examined packet = pkt::Examine(data.data(), data.size());
    if (packet.verdict != pkt::Verdict::Valid || packet.length <= pkt::kHandsetAt) return;
    const int handset = data[pkt::kHandsetAt];
    const Handsets& model = base_.HandsetModel();
    const bool onLine = Handsets::Registered(handset) && model.LineHolder() == handset;
    if (data[pkt::kCodeAt] == pkt::CMD_DISPLAY && onLine && At(handset).mode == Mode::Menu)
        JudgeMenuDisplay(handset, model.At(handset).display);
    else if (data[pkt::kCodeAt] == pkt::CMD_DISPLAY && onLine && At(handset).mode == Mode::Call)
        JudgeCallDisplay(handset, model.At(handset).display);
    else if (data[pkt::kCodeAt] == pkt::CMD_ALERT && packet.length > pkt::kAlertTextAt)
        JudgeAlert(std::vector<std::uint8_t>(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(packet.length)));
    Check();
}

std::string PhonebookChecker::ExpectedNumber(const HandsetState& h, Mode mode) const {
    std::string out;
    if (h.dialString) {
        for (char c : h.dialled)
            if ((c >= '0' && c <= '9') || c == '*' || c == '#') out += c;
        return out;
    }
    if (mode == Mode::Number) {
        // Every digit keyed: a '#' that reached no client left the number as it was.
        for (char c : h.keys)
            if ((c >= '0' && c <= '9') || c == '+') out += c;
        return out;
    }
    for (std::size_t i = 1; i < h.keys.size(); ++i) {
        const char c = h.keys[i];
        if ((c >= '0' && c <= '9') || c == '*' || c == '#' || c == '+') out += c;
    }
    return out;
}

void PhonebookChecker::CheckCall(const std::string& target) {
    const Handsets& model = base_.HandsetModel();
    const int holder = model.LineHolder();
    // A CALL with no handset on the line is the call checker's.
    if (!Handsets::Registered(holder) || !model.At(holder).offHook) return;
    const HandsetState& h = model.At(holder);
    const Session& s = At(holder);
    const std::string call = Quoted("CALL " + target);
    const std::string who = "handset " + std::to_string(holder);
    if (h.dialString || s.mode == Mode::Number || s.mode == Mode::Hash) {
        const std::string expected = ExpectedNumber(h, s.mode);
        if (target != expected) Break(kOnlyWhatWasChosen, call + " but " + who + " dialled " + Quoted(expected));
    } else if (s.mode != Mode::Menu) {
        Break(kOnlyWhatWasChosen, call + " though " + who + " chose nobody to call");
    } else if (s.opened) {
        Break(kOnlyWhatWasChosen, call + " from the menu the menu key opened, where '#' calls nobody");
    } else if (!client_.Book().Holds(target)) {
        Break(kOnlyWhatWasChosen, call + ": not in the phone book of the client attached now");
    } else if (!ShowsStartOf(h.display, target, pkt::kDisplayWidth)) {
        Break(kOnlyWhatWasChosen, call + " but " + who + " showed " + Quoted(h.display));
    }
}

void PhonebookChecker::OnClientCommand(const std::string& command) {
    const std::vector<std::string> w = ApiWords(command);
    const int holder = base_.HandsetModel().LineHolder();
    if (w.size() >= 2 && w[0] == "CALL") {
        CheckCall(command.substr(command.find_first_not_of(' ', 4)));
        callSent_ = true;
        if (holder != 0) At(holder).mode = Mode::Call;
    } else if (w.size() == 5 && w[0] == "SET" && w[1] == "CALL" && w[3] == "STATUS" && w[4] == "INPROGRESS") {
        if (holder != 0) At(holder).mode = Mode::Call;
    } else if (w.size() == 4 && w[0] == "GET" && w[1] == "USER" && w[3] == "ONLINESTATUS") {
        asked_.insert(w[2]);
        unanswered_.insert(w[2]);
    }
    Check();
}

void PhonebookChecker::OnNotificationDelivered(const std::string& text) {
    const std::vector<std::string> w = CallTable::NotificationWords(text);
    if (client_.BridgeAttached() && !w.empty()) {
        if (w[0] == "USERS") asked_.clear();  // a new sweep
        else if (w.size() >= 4 && w[0] == "USER" && w[2] == "ONLINESTATUS") unanswered_.erase(w[1]);
    }
    Check();
}

void PhonebookChecker::OnClientProcess(bool running) {
    clientRunning_ = running;
    Check();
}

void PhonebookChecker::OnBasePower(bool on) {
    powered_ = on;
    Check();
}

void PhonebookChecker::OnStatus(int status) {
    status_ = status;
    // Connected: the line holder's keys are tones from now on, whatever key lifted it.
    const int holder = base_.HandsetModel().LineHolder();
    if (status == shown::kInCall && Handsets::Registered(holder)) At(holder).mode = Mode::Call;
    Check();
}

void PhonebookChecker::Check() {
    if (attached_ != client_.BridgeAttached()) {
        attached_ = client_.BridgeAttached();
        asked_.clear();
        unanswered_.clear();
    }
    CheckStaleDisplays();
    CheckSweep();
    CheckCallOut();
}

void PhonebookChecker::CheckStaleDisplays() {
    const Handsets& model = base_.HandsetModel();
    const int holder = model.LineHolder();
    for (int h = 1; h <= Handsets::kCount; ++h) {
        Session& s = At(h);
        if (s.mode != Mode::Menu || s.shown.empty() || holder != h || !model.At(h).offHook) continue;
        if (client_.Book().Holds(s.shown)) {
            s.showsLeft = false;
            continue;
        }
        if (!s.showsLeft) {
            s.showsLeft = true;
            s.leftAt = Now();
        } else if (Now() - s.leftAt > kStaleWithinMs) {
            Break(kDisplayTellsTheTruth, "handset " + std::to_string(h) + " still shows " + Quoted(s.shown) + " " +
                                             Ms(Now() - s.leftAt) + " after it left the phone book");
        }
    }
}

void PhonebookChecker::CheckSweep() {
    std::string missed;
    // Questions sent after the client went are lost before the bridge notices it.
    if (client_.BridgeAttached() && clientRunning_ && unanswered_.empty()) {
        for (const BookEntry& e : client_.Book().Entries()) {
            if (e.fromReply && !e.online && !asked_.count(e.handle)) {
                missed = e.handle;
                break;
            }
        }
    }
    if (sweepBad_.For(!missed.empty(), Now(), kAskWithinMs))
        Break(kPhonebookIsTheClients, "the client listed " + Quoted(missed) + ", and every question is answered, "
                                      "but the bridge never asked for its status");
}

void PhonebookChecker::CheckCallOut() {
    const bool offHook = base_.HandsetModel().AnyOffHook();
    if (!offHook) callSent_ = false;
    const bool unfounded = status_ == shown::kCallOut && powered_ && offHook && !callSent_;
    if (callOutBad_.For(unfounded, Now(), kCallOutGraceMs))
        Break(kOnlyWhatWasChosen, "status 4 (calling) for " + Ms(Now() - callOutBad_.since) +
                                      ", but no CALL reached the client");
}

}  // namespace sim
