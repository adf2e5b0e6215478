// A simulated VoIP client speaking the desktop API's text protocol. Pure protocol: it
// decides what to answer; a transport (the headless backend, or a real window in the
// Windows end-to-end driver) carries the messages.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <set>
#include <vector>

#include "platform/headless/Peers.h"
#include "tools/sim/CallTable.h"
#include "tools/sim/ContactBook.h"

namespace sim {

class PeerObserver;

enum class ClientKindSim { Skype, SoftPhone };

struct Contact {
    std::string handle;
    std::string status = "ONLINE";
};

class SimClient : public ApiPeer {
public:
    static const char* DiscoverName(ClientKindSim kind);  // "SkypeControlAPIDiscover" / "WM_UAXAPP_DISCOVER"
    static const char* AttachName(ClientKindSim kind);    // "SkypeControlAPIAttach" / "WM_UAXAPP_ATTACH"

    void SetKind(ClientKindSim kind) { kind_ = kind; }
    ClientKindSim Kind() const { return kind_; }
    const char* DiscoverMessage() const override { return DiscoverName(kind_); }
    const char* AttachMessage() const override { return AttachName(kind_); }
    void SetAuto(bool on) { auto_ = on; }
    void SetContacts(std::vector<Contact> contacts) { contacts_ = std::move(contacts); }
    void SetOwnHandle(const std::string& handle) { ownHandle_ = handle; }     // default "echo123"
    void SetPartner(const std::string& handle) { partner_ = handle; }        // default "alice"

    // A command from the bridge (the copy-data text without its NUL). Returns the
    // notifications to send back, each in a later message (empty when auto is off).
    std::vector<std::string> OnCommand(const std::string& command) override;

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
    void Delivered(const std::string& text) override;
    // Every handle the client has named as a contact (its list, its replies and news).
    bool Knows(const std::string& handle) const;
    void Name(const std::string& handle);
    // The client's attach message reached the bridge.
    void AttachDelivered(int status) override;
    // The client's process started or ended (its calls end with it).
    void ProcessStarted() override;
    void ProcessEnded() override;

    // ---- its contacts as the bridge has them ----
    // Asks whether the bridge is attached to this client now (it reads what the client says).
    // A new attachment starts the phone book afresh.
    void SetBridgeProbe(std::function<bool()> probe) { probe_ = std::move(probe); }
    bool BridgeAttached() const;
    // What the client told the bridge of its contacts during this attachment.
    const ContactBook& Book() const;
    // Every partner handle the client named for a call.
    const std::set<std::string>& Partners() const { return partners_; }

private:
    ClientKindSim kind_ = ClientKindSim::Skype;
    bool auto_ = true;
    std::vector<Contact> contacts_;
    std::string ownHandle_ = "echo123";
    std::string partner_ = "alice";
    std::vector<std::string> commands_;
    CallTable calls_;
    std::set<std::string> named_;  // contacts named in USERS and USER notifications
    std::set<std::string> partners_;
    // Brought up to date with the probe whenever they are looked at.
    void Sync() const;
    std::function<bool()> probe_;
    mutable bool bridgeAttached_ = false;
    mutable ContactBook book_;
    std::vector<PeerObserver*> observers_;
};

}  // namespace sim
