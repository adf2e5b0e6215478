#include "tools/sim/CallTable.h"

#include <cctype>
#include <vector>

#include "tools/sim/ApiWords.h"

namespace sim {

namespace {

std::string Upper(std::string word) {
    for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return word;
}

}  // namespace

bool CallTable::IsEnd(const std::string& s) {
    return s == "FINISHED" || s == "MISSED" || s == "REFUSED" || s == "FAILED" || s == "BUSY" || s == "CANCELLED";
}

bool CallTable::IsStatus(const std::string& s) {
    return IsEnd(s) || s == "ROUTING" || s == "RINGING" || s == "EARLYMEDIA" || s == "INPROGRESS" || s == "ONHOLD" ||
           s == "LOCALHOLD" || s == "REMOTEHOLD";
}

bool CallTable::Open(const SimCall& call) {
    if (IsEnd(call.status) || call.status.empty()) return false;
    // A call ringing here is waiting for someone to take it, not under way.
    return !Rings(call);
}

const SimCall* CallTable::Find(const std::string& id) const {
    auto it = calls_.find(id);
    return it == calls_.end() ? nullptr : &it->second;
}

void CallTable::SetStatus(const std::string& id, const std::string& status) {
    auto it = calls_.find(id);
    if (it == calls_.end() || IsEnd(it->second.status)) return;  // an ended call stays ended
    it->second.status = status;
    if (status == "INPROGRESS" || status.find("HOLD") != std::string::npos) it->second.answered = true;
    // An incoming call the client reports in any other state under way rings no more.
    if (it->second.origin == CallOrigin::Incoming && status != "RINGING") it->second.answered = true;
}

std::string CallTable::OnCommand(const std::string& command, bool autoName) {
    const std::vector<std::string> w = ApiWords(command);
    const std::size_t n = w.size();
    if (n >= 2 && IsKeyword(w[0], "CALL")) {
        const std::size_t from = command.find_first_not_of(' ', 4);
        const std::string target = from == std::string::npos ? std::string() : command.substr(from);
        ++placedSeq_;
        if (!autoName) {
            unnamed_.push_back(Unnamed{target, placedSeq_});
            return {};
        }
        const std::string id = std::to_string(nextId_++);
        SimCall call;
        call.serial = nextSerial_++;
        call.origin = CallOrigin::Placed;
        call.status = "ROUTING";
        call.target = target;
        call.placedSeq = placedSeq_;
        calls_[id] = call;
        return id;
    }
    if (n < 4 || !IsKeyword(w[0], "SET") || !IsKeyword(w[1], "CALL")) return {};
    const std::string& id = w[2];
    auto it = calls_.find(id);
    if (it == calls_.end() || IsEnd(it->second.status)) return {};
    if (n == 5 && IsKeyword(w[3], "STATUS")) {
        const std::string value = Upper(w[4]);
        if (value == "INPROGRESS") {
            if (Rings(it->second)) it->second.answeredByBridge = true;
            SetStatus(id, value);
        } else if (value == "FINISHED" || value == "ONHOLD") {
            if (value == "FINISHED" && Rings(it->second)) it->second.endedRinging = true;
            SetStatus(id, value);
        }
    } else if (n == 5 && IsKeyword(w[3], "JOIN_CONFERENCE")) {
        SetStatus(id, "INPROGRESS");
        SetStatus(w[4], "INPROGRESS");
    }
    return {};
}

// A notification's words are separated by single blanks: a doubled blank makes an empty
// word (an empty call id), as the bridge reads it.
std::vector<std::string> CallTable::NotificationWords(const std::string& text) {
    std::vector<std::string> words;
    std::size_t from = 0;
    while (true) {
        const std::size_t blank = text.find(' ', from);
        words.push_back(text.substr(from, blank == std::string::npos ? std::string::npos : blank - from));
        if (blank == std::string::npos) return words;
        from = blank + 1;
    }
}

void CallTable::OnNotification(const std::string& text) {
    const std::vector<std::string> w = NotificationWords(text);
    // An error answers the oldest CALL still waiting for its id: that call is never placed.
    if (!w.empty() && w[0] == "ERROR") {
        DropOldestUnnamed();
        return;
    }
    if (w.size() < 4 || w[0] != "CALL" || w[1].empty() || w[2] != "STATUS" || !IsStatus(w[3])) return;
    const std::string& id = w[1];
    const std::string& status = w[3];
    auto it = calls_.find(id);
    if (it != calls_.end() && IsEnd(it->second.status) && (status == "RINGING" || status == "ROUTING")) {
        calls_.erase(it);
        it = calls_.end();
    }
    if (it == calls_.end()) {
        SimCall call;
        call.serial = nextSerial_++;
        if (status == "ROUTING" && !unnamed_.empty()) {
            call.origin = CallOrigin::Placed;
            call.target = unnamed_.front().target;
            call.placedSeq = unnamed_.front().seq;
            unnamed_.pop_front();
        } else if (status == "RINGING") {
            call.origin = CallOrigin::Incoming;
        } else {
            call.origin = CallOrigin::Computer;
        }
        call.told = true;
        calls_[id] = call;
        SetStatus(id, status);
        return;
    }
    it->second.told = true;
    SetStatus(id, status);
}

void CallTable::EndAll() {
    for (auto& entry : calls_)
        if (!IsEnd(entry.second.status)) entry.second.status = "FINISHED";
    unnamed_.clear();
}

void CallTable::ForgetEnded() {
    for (auto it = calls_.begin(); it != calls_.end();) it = IsEnd(it->second.status) ? calls_.erase(it) : ++it;
}

void CallTable::DropOldestUnnamed() {
    if (!unnamed_.empty()) unnamed_.pop_front();
}

}  // namespace sim
