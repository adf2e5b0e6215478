// A simulated VoIP client speaking the desktop API's text protocol. Pure protocol: it
// decides what to answer; a transport (the headless backend, or a real window in the
// Windows end-to-end driver) carries the messages.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <set>
#include <vector>

#include "tools/sim/CallTable.h"

namespace sim {

class PeerObserver;

enum class ClientKindSim { Skype, SoftPhone };

struct Contact {
    std::string handle;
    std::string status = "ONLINE";
};

class SimClient {
public:
    static const char* DiscoverName(ClientKindSim kind);  // "SkypeControlAPIDiscover" / "WM_UAXAPP_DISCOVER"
    static const char* AttachName(ClientKindSim kind);    // "SkypeControlAPIAttach" / "WM_UAXAPP_ATTACH"

    void SetKind(ClientKindSim kind) { kind_ = kind; }
    ClientKindSim Kind() const { return kind_; }
    void SetAuto(bool on) { auto_ = on; }
    void SetContacts(std::vector<Contact> contacts) { contacts_ = std::move(contacts); }
    void SetOwnHandle(const std::string& handle) { ownHandle_ = handle; }     // default "echo123"
    void SetPartner(const std::string& handle) { partner_ = handle; }        // default "alice"

    // A command from the bridge (the copy-data text without its NUL). Returns the
    // notifications to send back, each in a later message (empty when auto is off).
    std::vector<std::string> OnCommand(const std::string& command);

    // Every command received, in order.
    const std::vector<std::string>& Commands() const { return commands_; }
    // Drops that record, and the calls that ended (long runs that do not read them).
    void ForgetCommands() {
        commands_.clear();
        calls_.ForgetEnded();
    }

    // ---- what the client knows of its calls, and who is told of its life ----
    CallTable& Calls() { return calls_; }
    const CallTable& Calls() const { return calls_; }
    bool Auto() const { return auto_; }
    const std::vector<Contact>& ContactList() const { return contacts_; }
    void AddObserver(PeerObserver* observer) { observers_.push_back(observer); }
    // A notification of the client's reached the bridge.
    void Delivered(const std::string& text);
    // Every handle the client has named as a contact (its list, its replies and news).
    bool Knows(const std::string& handle) const;
    void Name(const std::string& handle);
    // The client's attach message reached the bridge.
    void AttachDelivered(int status);
    // The client's process started or ended (its calls end with it).
    void ProcessStarted();
    void ProcessEnded();

private:
    ClientKindSim kind_ = ClientKindSim::Skype;
    bool auto_ = true;
    std::vector<Contact> contacts_;
    std::string ownHandle_ = "echo123";
    std::string partner_ = "alice";
    std::vector<std::string> commands_;
    CallTable calls_;
    std::set<std::string> named_;  // contacts named in USERS and USER notifications
    std::vector<PeerObserver*> observers_;
};

}  // namespace sim
