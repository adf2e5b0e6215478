// The phone-book checker's judgement of what a handset shows: the menu's entries, a call's
// display and the caller's name in an alert.
#include "tools/sim/PhonebookChecker.h"

#include "device/Packet.h"
#include "tools/sim/BridgeFacts.h"
#include "tools/sim/HandsetText.h"

namespace sim {

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
    const std::size_t length = data[pkt::kAlertLengthAt];
    if (pkt::kAlertTextAt + length > data.size()) return;
    const std::string text(data.begin() + static_cast<std::ptrdiff_t>(pkt::kAlertTextAt),
                           data.begin() + static_cast<std::ptrdiff_t>(pkt::kAlertTextAt + length));
    for (const std::string& partner : client_.Partners()) {
        if (partner.size() > text.size() && partner.compare(0, text.size(), text) == 0 &&
            SplitsCharacter(partner, text.size())) {
            Break(kDisplayTellsTheTruth, "the alert shows " + Quoted(text) + ": the caller " + Quoted(partner) +
                                             " cut inside a character");
            return;
        }
    }
}

}  // namespace sim
