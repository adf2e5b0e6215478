// What the headless services meet outside the bridge's process. Whoever runs the bridge on
// them (the test world, tools/world) hands each service the one it needs: where every
// observable effect is written, the device behind a place on the HID bus, and the VoIP
// client behind the copy-data channel.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// One line per observable effect: its kind ("usb>", "window created", ...) and its text.
class EffectLog {
public:
    virtual ~EffectLog() = default;
    virtual void Add(const std::string& kind, const std::string& text) = 0;
};

// A device's side of its HID reports.
class HidPeer {
public:
    virtual ~HidPeer() = default;
    // One feature report arrived: the bytes the bridge gave its writer (without report ID).
    virtual void OnFeatureReport(const std::vector<std::uint8_t>& data) = 0;
    virtual bool HasInputReport() const = 0;
    // The next input report's data bytes, if the device has one to send.
    virtual bool NextInputReport(std::vector<std::uint8_t>& data) = 0;
};

// The client's side of the desktop API: what it answers, and what it learns reached the bridge.
class ApiPeer {
public:
    virtual ~ApiPeer() = default;
    // The names of the discover and attach messages of the client's kind.
    virtual const char* DiscoverMessage() const = 0;
    virtual const char* AttachMessage() const = 0;
    // A command from the bridge (the copy-data text without its NUL); the notifications
    // to send back, each in a later message.
    virtual std::vector<std::string> OnCommand(const std::string& command) = 0;
    virtual void AttachDelivered(int status) = 0;
    virtual void Delivered(const std::string& text) = 0;
    // The client's process started or ended.
    virtual void ProcessStarted() = 0;
    virtual void ProcessEnded() = 0;
};

}  // namespace sim
