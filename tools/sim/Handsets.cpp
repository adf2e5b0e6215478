#include "tools/sim/Handsets.h"

#include "device/Packet.h"

namespace sim {

namespace {

using pkt::kCodeAt;
using pkt::kDialCountAt;
using pkt::kDialFirstAt;
using pkt::kDisplayTextAt;
using pkt::kHandsetAt;
using pkt::kKeyAt;

std::string TrimmedDisplay(const std::vector<std::uint8_t>& data, std::size_t total) {
    std::string text;
    for (std::size_t i = pkt::kDisplayTextAt; i < pkt::kDisplayTextAt + pkt::kDisplayWidth && i + 1 < total; ++i)
        text += static_cast<char>(data[i]);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

}  // namespace

bool Handsets::AnyOffHook() const {
    for (const HandsetState& h : state_)
        if (h.offHook) return true;
    return false;
}

bool Handsets::AnyAlerting() const {
    for (const HandsetState& h : state_)
        if (h.alerting) return true;
    return false;
}

void Handsets::StopAlerting() {
    for (HandsetState& h : state_) h.alerting = false;
}

void Handsets::TakeOffHook(int handset, HandsetEvent& event) {
    HandsetState& h = state_[static_cast<std::size_t>(handset & 0xFF)];
    if (!h.offHook) {
        const std::string display = h.display;
        h = HandsetState{};
        h.offHook = true;
        h.display = display;
        event.wentOffHook = true;
        event.wasAlerting = AnyAlerting();
    } else if (holder_ == 0) {
        // Off hook while another held the line, it takes the free line now: what it keyed
        // before was keyed into nothing.
        h.keys.clear();
        h.menuOpened = false;
        h.dialString = false;
    }
    // A ringing base stops ringing once any handset is lifted.
    StopAlerting();
    if (holder_ == 0) holder_ = handset;
}

void Handsets::PutOnHook(int handset) {
    HandsetState& h = state_[static_cast<std::size_t>(handset & 0xFF)];
    const std::string display = h.display;
    h = HandsetState{};
    h.display = display;
    if (holder_ == handset) holder_ = 0;
}

HandsetEvent Handsets::OnBaseReport(const std::vector<std::uint8_t>& data, int dialHandset) {
    HandsetEvent event;
    const pkt::Examined packet = pkt::Examine(data.data(), data.size());
    if (packet.verdict != pkt::Verdict::Valid) return event;
    const std::size_t total = packet.length;
    const int handset = total > pkt::kHandsetAt ? data[pkt::kHandsetAt] : 0;
    // Handsets are numbered 1 to 4; the bridge does not hear an event naming another.
    const std::uint8_t code = data[pkt::kCodeAt];
    const bool handsetEvent = code == pkt::EVT_KEY || code == pkt::EVT_FUNC_KEY || code == pkt::EVT_ANSWER ||
                              code == pkt::EVT_HANG_UP;
    if (handsetEvent && (handset < 1 || handset > kCount)) return event;
    const char key = total > pkt::kKeyAt ? static_cast<char>(data[pkt::kKeyAt]) : 0;
    switch (data[pkt::kCodeAt]) {
        case pkt::EVT_KEY:
            event = {HandsetEvent::Kind::Key, handset, key, false, false};
            TakeOffHook(handset, event);
            state_[static_cast<std::size_t>(handset)].keys += key;
            break;
        case pkt::EVT_FUNC_KEY:
            event = {HandsetEvent::Kind::FuncKey, handset, key, false, false};
            if (key == '*') {
                TakeOffHook(handset, event);
            } else if (key == '#') {
                HandsetState& h = state_[static_cast<std::size_t>(handset)];
                if (h.offHook && h.keys.empty()) h.menuOpened = true;
            }
            break;
        case pkt::EVT_ANSWER:
            event = {HandsetEvent::Kind::Answer, handset, 0, false, false};
            TakeOffHook(handset, event);
            break;
        case pkt::EVT_HANG_UP:
            event = {HandsetEvent::Kind::HangUp, handset, 0, false, false};
            PutOnHook(handset);
            break;
        case pkt::EVT_LINE_RELEASED:
            event = {HandsetEvent::Kind::LineReleased, holder_, 0, false, false};
            if (holder_ != 0) PutOnHook(holder_);
            break;
        case pkt::EVT_DIAL_STRING: {
            const int h = (dialHandset & 0xFF) != 0 ? (dialHandset & 0xFF) : (holder_ != 0 ? holder_ : 1);
            event = {HandsetEvent::Kind::DialString, h, 0, false, false};
            TakeOffHook(h, event);
            HandsetState& state = state_[static_cast<std::size_t>(h)];
            state.dialString = true;
            state.dialledFromIdle = event.wentOffHook;
            state.dialled.clear();
            const std::size_t count = total > pkt::kDialCountAt ? data[pkt::kDialCountAt] : 0;
            for (std::size_t i = pkt::kDialFirstAt; count >= 1 && i < pkt::kDialFirstAt + count - 1 && i + 1 < total; ++i)
                state.dialled += static_cast<char>(data[i]);
            break;
        }
        default:
            break;
    }
    return event;
}

void Handsets::OnBridgeReport(const std::vector<std::uint8_t>& data) {
    const pkt::Examined packet = pkt::Examine(data.data(), data.size());
    if (packet.verdict != pkt::Verdict::Valid || packet.length <= pkt::kHandsetAt) return;
    const int handset = data[pkt::kHandsetAt];
    switch (data[pkt::kCodeAt]) {
        case pkt::CMD_ALERT:
            for (int h = 1; h <= kCount; ++h)
                if (!state_[static_cast<std::size_t>(h)].offHook) state_[static_cast<std::size_t>(h)].alerting = true;
            break;
        case pkt::CMD_RELEASE:
            if (handset == pkt::kAllHandsets) {
                for (int h = 0; h < static_cast<int>(state_.size()); ++h)
                    if (state_[static_cast<std::size_t>(h)].offHook) PutOnHook(h);
                StopAlerting();
                for (HandsetState& h : state_) h.connected = false;
            } else {
                PutOnHook(handset);
            }
            break;
        case pkt::CMD_CONNECTED:
            state_[static_cast<std::size_t>(handset)].connected = true;
            break;
        case pkt::CMD_DISPLAY:
            state_[static_cast<std::size_t>(handset)].display = TrimmedDisplay(data, packet.length);
            break;
        default:
            break;
    }
}

void Handsets::PowerOff() {
    for (int h = 0; h < static_cast<int>(state_.size()); ++h)
        if (state_[static_cast<std::size_t>(h)].offHook) PutOnHook(h);
    StopAlerting();
    holder_ = 0;
}

}  // namespace sim
