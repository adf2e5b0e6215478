// Registered messages, the broadcast and copy-data between the bridge's windows and the
// simulated client's API window.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Messages.h"
#include "platform/headless/EventLoop.h"
#include "platform/headless/HeadlessWindows.h"
#include "platform/headless/Peers.h"

namespace sim {

class HeadlessMessages : public plat::Messages {
public:
    HeadlessMessages(EventLoop& loop, EffectLog& transcript, HeadlessWindows& windows, ApiPeer& client);

    unsigned Register(const std::string& name) override;
    void Broadcast(unsigned message, std::uintptr_t wparam, std::intptr_t lparam) override;
    std::intptr_t SendCopyData(plat::WindowHandle to, plat::WindowHandle from, const plat::CopyData& data) override;
    bool IsWindow(plat::WindowHandle window) const override;

    // Registration fails (yields 0) while set.
    void SetRegistrationFails(bool fails) { registrationFails_ = fails; }
    // The name a registered number stands for; the number itself when unknown.
    std::string NameOf(unsigned message) const;

    // ---- the simulated client's process ----
    void StartClient();
    void StopClient();
    bool ClientRunning() const { return clientRunning_; }
    plat::WindowHandle ClientWindow() const { return clientWindow_; }
    // Each of these reaches the bridge in a later message.
    void PostAttach(int status);
    void PostNotification(const std::string& text);
    void PostRaw(const std::vector<std::uint8_t>& bytes);
    // The client sends a notification with SendMessage from where the process is now (a
    // hook running inside one of the bridge's commands): the bridge handles it nested.
    void SendNotificationNow(const std::string& text);
    // Runs inside every command the bridge sends to the running client, while the bridge
    // waits in SendMessage for it (the command's text as argument); empty for none.
    void SetCommandHook(std::function<void(const std::string&)> hook) { commandHook_ = std::move(hook); }

private:
    // The bridge window the client talks to: the one that last reached it, else the main dialog.
    plat::WindowHandle BridgeWindow() const;
    std::intptr_t Deliver(plat::WindowHandle to, unsigned message, std::uintptr_t wparam, std::intptr_t lparam);
    void PostCopyData(std::vector<std::uint8_t> bytes, std::string shown);

    EventLoop& loop_;
    EffectLog& transcript_;
    HeadlessWindows& windows_;
    ApiPeer& client_;
    std::map<std::string, unsigned> numbers_;
    unsigned nextNumber_ = 0xC000;
    bool registrationFails_ = false;
    plat::WindowHandle clientWindow_ = 0;
    bool clientRunning_ = false;
    plat::WindowHandle partner_ = 0;
    std::function<void(const std::string&)> commandHook_;
};

}  // namespace sim
