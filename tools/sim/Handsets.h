// What the base station knows of its handsets: which are off hook, which ring, which were
// told they are connected, what each display shows, and which one holds the line. Kept up to
// date from the base's own events (as the bridge reads them) and from the bridge's commands.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct HandsetState {
    bool offHook = false;
    bool alerting = false;   // rang by CMD_ALERT and not released or taken off hook since
    bool connected = false;  // told CMD_CONNECTED since it last went off hook
    std::string display;     // the 16 bytes of the last CMD_DISPLAY, spaces trimmed at the end
    std::string keys;        // EVT_KEY keys since it went off hook
    bool menuOpened = false; // the menu function key came before any key
    bool dialString = false; // it dialled a dial string
    bool dialledFromIdle = false;  // ... which took it off hook (the bridge cannot tell which handset)
    std::string dialled;     // the dial string's characters
};

// A handset event as the bridge read it.
struct HandsetEvent {
    enum class Kind { None, Key, FuncKey, Answer, HangUp, LineReleased, DialString };
    Kind kind = Kind::None;
    int handset = 0;  // 0 for a line release that no handset held
    char key = 0;
    bool wentOffHook = false;  // the event took an idle handset off hook
    bool wasAlerting = false;  // ... while the handsets rang
};

class Handsets {
public:
    static constexpr int kCount = 4;  // handsets 1 .. 4 are registered
    static bool Registered(int handset) { return handset >= 1 && handset <= kCount; }

    // A report the bridge read from the base (48 data bytes); dialHandset names the handset of
    // a dial string, whose packet carries none.
    HandsetEvent OnBaseReport(const std::vector<std::uint8_t>& data, int dialHandset);
    // A report the bridge wrote to the base.
    void OnBridgeReport(const std::vector<std::uint8_t>& data);
    // Unplugged: every handset loses the line.
    void PowerOff();

    const HandsetState& At(int handset) const { return state_[static_cast<std::size_t>(handset & 0xFF)]; }
    int LineHolder() const { return holder_; }
    bool AnyOffHook() const;
    bool AnyAlerting() const;

private:
    void TakeOffHook(int handset, HandsetEvent& event);
    void PutOnHook(int handset);
    void StopAlerting();

    std::array<HandsetState, 256> state_{};
    int holder_ = 0;
};

}  // namespace sim
