#include "tools/explorer/Sequence.h"

#include <sstream>

#include "tools/sim/SimClient.h"

namespace explore {

namespace {

const char* const kPartners[] = {"alice", "bob", "carol"};

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

}  // namespace

bool Sequence::PlayIfRealistic(const std::string& line) {
    if (!Player::Realistic(line, Base(), Client())) return true;
    return Play(line);
}

std::string Sequence::NewIncomingId() {
    ++callsUsed_;
    return std::to_string(nextIncoming_++);
}

std::string Sequence::NewOwnId() {
    ++callsUsed_;
    return std::to_string(nextOwn_++);
}

// A reply of the client's: now (most often), a few steps later, or (where the protocol
// allows a client to stay silent) never.
void Sequence::Owe(const std::string& text, bool mayBeLost) {
    const unsigned roll = choices_.Pick(10);
    if (mayBeLost && roll == 0) return;
    owed_.push_back(Owed{text, roll >= 8 ? static_cast<int>(1 + choices_.Pick(4)) : 0});
}

void Sequence::CollectCommands() {
    const std::vector<std::string>& commands = Client().Commands();
    for (; commandsSeen_ < commands.size(); ++commandsSeen_) {
        const std::string& command = commands[commandsSeen_];
        const std::vector<std::string> w = Words(command);
        if (w.empty()) continue;
        if (w.size() == 2 && w[0] == "SEARCH") {
            std::string users = "USERS";
            const std::vector<sim::Contact>& contacts = Client().ContactList();
            for (std::size_t i = 0; i < contacts.size(); ++i) users += (i ? ", " : " ") + contacts[i].handle;
            owed_.push_back(Owed{users, 0});
        } else if (w.size() == 4 && w[0] == "GET" && w[1] == "USER") {
            std::string status = "OFFLINE";
            for (const sim::Contact& contact : Client().ContactList())
                if (contact.handle == w[2]) status = contact.status;
            owed_.push_back(Owed{"USER " + w[2] + " ONLINESTATUS " + status, 0});
        } else if (w.size() == 2 && w[0] == "Get") {
            owed_.push_back(Owed{"CURRENTUSERHANDLE echo123", 0});
        } else if (w.size() == 2 && w[0] == "GET" && w[1] == "CONNSTATUS") {
            owed_.push_back(Owed{"CONNSTATUS ONLINE", 0});
        } else if (w.size() == 4 && w[0] == "GET" && w[1] == "CALL") {
            Owe("CALL " + w[2] + " PARTNER_HANDLE " + PickOf(choices_, kPartners), true);
        } else if (w.size() == 5 && w[0] == "SET" && w[1] == "CALL" && w[3] == "STATUS") {
            const sim::SimCall* call = Client().Calls().Find(w[2]);
            if (!call) continue;
            Owe("CALL " + w[2] + " STATUS " + (w[4] == "ONHOLD" ? std::string("LOCALHOLD") : call->status), true);
        } else if (w[0] == "CALL") {
            if (CanUseCall() && !choices_.Chance(10)) {
                ++callsUsed_;
                ++namesOwed_;
                Owe("CALL " + std::to_string(nextPlaced_++) + " STATUS ROUTING", false);
            } else if (namesOwed_ == 0) {
                owed_.push_back(Owed{"ERROR 571 Cannot call", 0});
            }
        }
    }
}

bool Sequence::PayDue(bool everything) {
    std::vector<Owed> later;
    std::vector<std::string> now;
    for (Owed& o : owed_) {
        if (everything || o.steps <= 0) now.push_back(o.text);
        else later.push_back(Owed{o.text, o.steps - 1});
    }
    owed_ = std::move(later);
    for (const std::string& text : now) {
        if (text.find("STATUS ROUTING") != std::string::npos && namesOwed_ > 0) --namesOwed_;
        // An echo owed for a call that has ended since is never sent.
        if (!PlayIfRealistic("client say " + text)) return false;
    }
    return true;
}

void Sequence::ClientGone() {
    owed_.clear();
    namesOwed_ = 0;
}

}  // namespace explore
