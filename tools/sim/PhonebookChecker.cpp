#include "tools/sim/PhonebookChecker.h"

#include <sstream>

#include "device/Packet.h"

namespace sim {

namespace {

constexpr int kPhonebookIsTheClients = 9;
constexpr int kDisplayTellsTheTruth = 10;
constexpr int kOnlyWhatWasChosen = 11;
constexpr int kStatusCallOut = 4;
constexpr int kStatusInCall = 5;
constexpr std::size_t kCodeAt = 3;
constexpr std::size_t kHandsetAt = 4;
constexpr std::size_t kAlertLengthAt = 8;
constexpr std::size_t kAlertTextAt = 9;
constexpr int kFirstHandset = 1;
constexpr int kLastHandset = 4;
constexpr const char* kEmptyWord = "_EMPTY";
constexpr std::size_t kEmptyWordSize = 6;

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

unsigned char Upper(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }

// The letters of a telephone keypad's key; empty for a key without letters.
std::string LettersOf(char key) {
    static const char* const kLetters[] = {"ABC", "DEF", "GHI", "JKL", "MNO", "PQRS", "TUV", "WXYZ"};
    return key >= '2' && key <= '9' ? kLetters[key - '2'] : "";
}

bool StepsDown(char key) { return key == '*' || key == 'D'; }
bool StepsUp(char key) { return key == 'U' || key == '1'; }

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::size_t LeadLength(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u & 0xE0) == 0xC0) return 2;
    if ((u & 0xF0) == 0xE0) return 3;
    if ((u & 0xF8) == 0xF0) return 4;
    return 0;
}

// Where the well-formed UTF-8 character that byte `at` belongs to starts: `at` when that
// byte starts one, or is no part of well-formed UTF-8.
std::size_t CharacterStart(const std::string& text, std::size_t at) {
    if (at >= text.size() || !IsContinuation(text[at])) return at;
    std::size_t lead = at;
    while (lead > 0 && at - lead < 3 && IsContinuation(text[lead])) --lead;
    const std::size_t length = LeadLength(text[lead]);
    if (length == 0 || lead + length <= at || lead + length > text.size()) return at;
    for (std::size_t i = lead + 1; i < lead + length; ++i)
        if (!IsContinuation(text[i])) return at;
    return lead;
}

bool SplitsCharacter(const std::string& text, std::size_t at) { return CharacterStart(text, at) != at; }

// The handset may show a handle in `width` bytes as the handle itself, or its start cut at
// the width or, short of it, before the character that would not fit.
bool ShowsStartOf(const std::string& shown, const std::string& handle, std::size_t width) {
    if (handle.size() <= width) return shown == handle;
    if (shown.size() > width || handle.compare(0, shown.size(), shown) != 0) return false;
    return shown.size() == CharacterStart(handle, width);
}

std::string Ms(std::uint64_t ms) { return std::to_string(ms) + " ms"; }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string PhonebookChecker::RuleName(int rule) {
    const char* name = "?";
    switch (rule) {
        case kPhonebookIsTheClients: name = "the phone book is the client's"; break;
        case kDisplayTellsTheTruth: name = "the display tells the truth"; break;
        case kOnlyWhatWasChosen: name = "only what the user chose is dialled"; break;
        default: break;
    }
    return "rule " + std::to_string(rule) + " (" + name + ")";
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
    if (h >= kFirstHandset && h <= kLastHandset) {
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
    if (packet.verdict != pkt::Verdict::Valid || packet.length <= kHandsetAt) return;
    const int handset = data[kHandsetAt];
    const Handsets& model = base_.HandsetModel();
    const bool onLine = handset >= kFirstHandset && handset <= kLastHandset && model.LineHolder() == handset;
    if (data[kCodeAt] == pkt::CMD_DISPLAY && onLine && At(handset).mode == Mode::Menu)
        JudgeMenuDisplay(handset, model.At(handset).display);
    else if (data[kCodeAt] == pkt::CMD_DISPLAY && onLine && At(handset).mode == Mode::Call)
        JudgeCallDisplay(handset, model.At(handset).display);
    else if (data[kCodeAt] == pkt::CMD_ALERT && packet.length > kAlertTextAt)
        JudgeAlert(std::vector<std::uint8_t>(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(packet.length)));
    Check();
}

void PhonebookChecker::JudgeMenuDisplay(int handset, const std::string& text) {
    const ContactBook& book = client_.Book();
    Session& s = At(handset);
    const bool shownLeft = !s.shown.empty() && !book.Holds(s.shown);
    // The display that answers a key comes in the poll that read the key; after a contact
    // left, the bridge may show what stands there now instead of answering a key that moves
    // nothing.
    const PendingKey* key = pending_.handset == handset && pending_.at == Now() ? &pending_ : nullptr;
    const bool moves = key && (key->menuKey || !LettersOf(key->key).empty() || StepsDown(key->key) || StepsUp(key->key));
    if (shownLeft && key && !moves) key = nullptr;
    for (const BookEntry& e : book.Entries()) {
        if (e.online && ShowsStartOf(text, e.handle, pkt::kDisplayWidth)) {
            JudgeContact(s, handset, text, key);
            return;
        }
    }
    if (text.size() >= kEmptyWordSize && text.size() <= kEmptyWordSize + 1 &&
        text.compare(text.size() - kEmptyWordSize, kEmptyWordSize, kEmptyWord) == 0) {
        JudgeEmptyEntry(s, text.substr(0, text.size() - kEmptyWordSize), key);
        return;
    }
    s.shown.clear();
    for (const BookEntry& e : book.Entries()) {
        if (e.online && text.size() == pkt::kDisplayWidth && e.handle.compare(0, text.size(), text) == 0) {
            Break(kDisplayTellsTheTruth, "handset " + std::to_string(handset) + " shows " + Quoted(text) + ": " +
                                             Quoted(e.handle) + " cut inside a character");
            return;
        }
    }
    Break(kPhonebookIsTheClients, "handset " + std::to_string(handset) + " shows " + Quoted(text) +
                                      ", whom the client attached now did not list and report online");
}

void PhonebookChecker::JudgeEmptyEntry(Session& s, const std::string& letter, const PendingKey* key) {
    const ContactBook& book = client_.Book();
    s.shown.clear();
    s.showsLeft = false;
    if (letter.empty()) {
        if (!book.Empty()) Break(kPhonebookIsTheClients, "shows " + Quoted(kEmptyWord) + " though the phone book holds " +
                                                             Quoted(book.First()));
        else if (key && (key->menuKey || !LettersOf(key->key).empty()))
            Break(kDisplayTellsTheTruth, "a letter key showed " + Quoted(kEmptyWord) + " without its letter");
        return;
    }
    const char shown = letter[0];
    if (shown < 'A' || shown > 'Z') {
        Break(kDisplayTellsTheTruth, "shows " + Quoted(letter + kEmptyWord) + ": there is no letter " + Quoted(letter));
        return;
    }
    const std::string first = book.FirstWithLetter(shown);
    if (!first.empty())
        Break(kPhonebookIsTheClients, "shows " + Quoted(letter + kEmptyWord) + " though " + Quoted(first) +
                                          " is in the phone book");
    if (!key) return;
    const std::string letters = key->menuKey ? std::string("A") : LettersOf(key->key);
    if (letters.find(shown) == std::string::npos)
        Break(kDisplayTellsTheTruth, "key '" + std::string(1, key->key) + "' showed the letter " + Quoted(letter));
}

void PhonebookChecker::JudgeContact(Session& s, int handset, const std::string& text, const PendingKey* key) {
    const ContactBook& book = client_.Book();
    const bool shownLeft = !s.shown.empty() && !book.Holds(s.shown);
    const std::string who = "handset " + std::to_string(handset);
    std::string expected;  // the contact the entry is
    std::string complaint;
    if (key) {
        const std::string k = "key '" + std::string(1, key->key) + "'";
        const std::string letters = key->menuKey ? std::string("A") : LettersOf(key->key);
        if (!letters.empty()) {
            const char initial = static_cast<char>(Upper(static_cast<unsigned char>(text[0])));
            if (letters.find(initial) == std::string::npos)
                complaint = k + " made " + who + " show " + Quoted(text) + ", under none of the letters " + letters;
            else
                expected = book.FirstWithLetter(initial);
        } else if (StepsDown(key->key) || StepsUp(key->key)) {
            // After the shown contact left, the step starts from the gap it left.
            if (!shownLeft) expected = s.shown.empty() ? book.First()
                                       : StepsDown(key->key) ? book.After(s.shown) : book.Before(s.shown);
        } else if (s.shown.empty() || !ShowsStartOf(text, s.shown, pkt::kDisplayWidth)) {
            complaint = k + " moves nothing in the menu, yet " + who + " now shows " + Quoted(text) +
                        (s.shown.empty() ? std::string() : " instead of " + Quoted(s.shown));
        } else {
            expected = s.shown;
        }
        if (complaint.empty() && !expected.empty() && !ShowsStartOf(text, expected, pkt::kDisplayWidth))
            complaint = k + ": " + who + " shows " + Quoted(text) + ", but the entry is " + Quoted(expected);
    }
    if (!complaint.empty()) {
        Break(kDisplayTellsTheTruth, complaint);
        expected.clear();
    }
    if (expected.empty()) {
        for (const BookEntry& e : book.Entries()) {
            if (e.online && ShowsStartOf(text, e.handle, pkt::kDisplayWidth)) {
                expected = e.handle;
                break;
            }
        }
    }
    s.shown = expected;
    s.showsLeft = false;
}

// In a call the keys are tones: the display shows them, or the caller, never a menu entry.
void PhonebookChecker::JudgeCallDisplay(int handset, const std::string& text) {
    const std::size_t at = text.find(kEmptyWord);
    if (at != std::string::npos && at + kEmptyWordSize == text.size() && at <= 1)
        Break(kDisplayTellsTheTruth, "handset " + std::to_string(handset) + " is in a call, yet shows the menu entry " +
                                         Quoted(text));
}

void PhonebookChecker::JudgeAlert(const std::vector<std::uint8_t>& data) {
    const std::size_t length = data[kAlertLengthAt];
    if (kAlertTextAt + length > data.size()) return;
    const std::string text(data.begin() + static_cast<std::ptrdiff_t>(kAlertTextAt),
                           data.begin() + static_cast<std::ptrdiff_t>(kAlertTextAt + length));
    for (const std::string& partner : client_.Partners()) {
        if (partner.size() > text.size() && partner.compare(0, text.size(), text) == 0 &&
            SplitsCharacter(partner, text.size())) {
            Break(kDisplayTellsTheTruth, "the alert shows " + Quoted(text) + ": the caller " + Quoted(partner) +
                                             " cut inside a character");
            return;
        }
    }
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
    if (holder < kFirstHandset || holder > kLastHandset || !model.At(holder).offHook) return;
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
    const std::vector<std::string> w = Words(command);
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
    if (status == kStatusInCall && holder >= kFirstHandset && holder <= kLastHandset) At(holder).mode = Mode::Call;
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
    for (int h = kFirstHandset; h <= kLastHandset; ++h) {
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
    if (missed.empty()) {
        sweepBad_ = false;
        return;
    }
    if (!sweepBad_) {
        sweepBad_ = true;
        sweepBadSince_ = Now();
    } else if (Now() - sweepBadSince_ > kAskWithinMs) {
        Break(kPhonebookIsTheClients, "the client listed " + Quoted(missed) + ", and every question is answered, "
                                      "but the bridge never asked for its status");
    }
}

void PhonebookChecker::CheckCallOut() {
    const bool offHook = base_.HandsetModel().AnyOffHook();
    if (!offHook) callSent_ = false;
    if (status_ != kStatusCallOut || !powered_ || !offHook || callSent_) {
        callOutBad_ = false;
        return;
    }
    if (!callOutBad_) {
        callOutBad_ = true;
        callOutSince_ = Now();
    } else if (Now() - callOutSince_ > kCallOutGraceMs) {
        Break(kOnlyWhatWasChosen, "status 4 (calling) for " + Ms(Now() - callOutSince_) +
                                      ", but no CALL reached the client");
    }
}

}  // namespace sim
