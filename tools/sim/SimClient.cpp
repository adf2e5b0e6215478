#include "tools/sim/SimClient.h"

#include <cctype>

#include "tools/sim/ApiWords.h"
#include "tools/sim/PeerObserver.h"

namespace sim {

namespace {

constexpr std::size_t kMostPartners = 1000;  // bounded for long fuzz runs

}  // namespace

const char* SimClient::DiscoverName(ClientKindSim kind) {
    return kind == ClientKindSim::Skype ? "SkypeControlAPIDiscover" : "WM_UAXAPP_DISCOVER";
}

const char* SimClient::AttachName(ClientKindSim kind) {
    return kind == ClientKindSim::Skype ? "SkypeControlAPIAttach" : "WM_UAXAPP_ATTACH";
}

std::vector<std::string> SimClient::OnCommand(const std::string& command) {
    commands_.push_back(command);
    const std::string placedId = calls_.OnCommand(command, auto_);
    for (PeerObserver* o : observers_) o->OnClientCommand(command);
    if (!auto_) return {};
    const std::vector<std::string> w = ApiWords(command);
    const std::size_t n = w.size();
    if (n == 4 && IsKeyword(w[0], "GET") && IsKeyword(w[1], "CALL") && IsKeyword(w[3], "PARTNER_HANDLE"))
        return {"CALL " + w[2] + " PARTNER_HANDLE " + partner_};
    if (n == 5 && IsKeyword(w[0], "SET") && IsKeyword(w[1], "CALL") && IsKeyword(w[3], "STATUS") &&
        (IsKeyword(w[4], "INPROGRESS") || IsKeyword(w[4], "FINISHED"))) {
        // A client reports only what became of a call it has (an ended call stays ended).
        const SimCall* call = calls_.Find(w[2]);
        if (call && call->status != w[4]) return {};
        return {"CALL " + w[2] + " STATUS " + w[4]};
    }
    if (n >= 2 && IsKeyword(w[0], "CALL")) return {"CALL " + placedId + " STATUS ROUTING"};
    if (n == 2 && IsKeyword(w[0], "SEARCH") && IsKeyword(w[1], "FRIENDS")) {
        std::string users = "USERS";
        for (std::size_t i = 0; i < contacts_.size(); ++i) users += (i ? ", " : " ") + contacts_[i].handle;
        return {users};
    }
    if (n == 4 && IsKeyword(w[0], "GET") && IsKeyword(w[1], "USER") && IsKeyword(w[3], "ONLINESTATUS")) {
        std::string status = "OFFLINE";  // anybody not in the list
        for (const Contact& c : contacts_)
            if (c.handle == w[2]) status = c.status;
        return {"USER " + w[2] + " ONLINESTATUS " + status};
    }
    if (n == 2 && IsKeyword(w[0], "GET") && IsKeyword(w[1], "CURRENTUSERHANDLE")) return {"CURRENTUSERHANDLE " + ownHandle_};
    if (n == 2 && IsKeyword(w[0], "GET") && IsKeyword(w[1], "CONNSTATUS")) return {"CONNSTATUS ONLINE"};
    return {};
}

void SimClient::Delivered(const std::string& text) {
    calls_.OnNotification(text);
    const std::vector<std::string> w = CallTable::NotificationWords(text);
    if (!w.empty() && w[0] == "USERS") {
        for (std::size_t i = 1; i < w.size(); ++i) {
            std::string handle = w[i];
            if (!handle.empty() && handle.back() == ',') handle.pop_back();
            Name(handle);
        }
    } else if (w.size() >= 2 && w[0] == "USER") {
        Name(w[1]);
    } else if (w.size() >= 4 && w[0] == "CALL" && w[2] == "PARTNER_HANDLE" && partners_.size() < kMostPartners) {
        partners_.insert(w[3]);
    }
    Sync();
    if (bridgeAttached_) book_.OnNotification(text);
    // A user who logged out has no calls any more.
    if (text.rfind("CONNSTATUS LOGGEDOUT", 0) == 0) calls_.EndAll();
    for (PeerObserver* o : observers_) o->OnNotificationDelivered(text);
}

bool SimClient::Knows(const std::string& handle) const {
    for (const Contact& c : contacts_)
        if (c.handle == handle) return true;
    return named_.count(handle) != 0;
}

// Bounded for long fuzz runs: a handle longer than the bridge reads can never be called.
void SimClient::Name(const std::string& handle) {
    constexpr std::size_t kLongestHandle = 98;
    constexpr std::size_t kMostNamed = 50000;
    if (!handle.empty() && handle.size() <= kLongestHandle && named_.size() < kMostNamed) named_.insert(handle);
}

void SimClient::Sync() const {
    const bool attached = probe_ && probe_();
    if (attached == bridgeAttached_) return;
    bridgeAttached_ = attached;
    book_.Clear();
}

bool SimClient::BridgeAttached() const {
    Sync();
    return bridgeAttached_;
}

const ContactBook& SimClient::Book() const {
    Sync();
    return book_;
}

void SimClient::AttachDelivered(int status) {
    // Attached again: the bridge starts its phone book afresh.
    Sync();
    if (status == 0 && bridgeAttached_) book_.Clear();
    for (PeerObserver* o : observers_) o->OnAttachDelivered(status);
}

void SimClient::ProcessStarted() {
    for (PeerObserver* o : observers_) o->OnClientProcess(true);
}

void SimClient::ProcessEnded() {
    calls_.EndAll();
    for (PeerObserver* o : observers_) o->OnClientProcess(false);
}

}  // namespace sim
