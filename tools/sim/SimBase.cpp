#include "tools/sim/SimBase.h"

#include <algorithm>

#include "device/Packet.h"
#include "tools/sim/PeerObserver.h"

namespace sim {

namespace {

// The base frames its packets itself, independently of the bridge's codec, so that a
// fault in one is not mirrored by the other.
std::vector<std::uint8_t> Framed(std::uint8_t code, const std::vector<std::uint8_t>& body) {
    const std::size_t bodyBytes = std::min<std::size_t>(body.size(), pkt::kMaxPacket - pkt::kFrameBytes);
    std::vector<std::uint8_t> packet;
    packet.push_back(pkt::kMarker);
    packet.push_back(pkt::kMarker);
    packet.push_back(static_cast<std::uint8_t>(bodyBytes + pkt::kLengthNonBody));
    packet.push_back(code);
    packet.insert(packet.end(), body.begin(), body.begin() + static_cast<std::ptrdiff_t>(bodyBytes));
    std::uint8_t sum = 0;
    for (std::size_t i = pkt::kLengthAt; i < packet.size(); ++i) sum = static_cast<std::uint8_t>(sum + packet[i]);
    packet.push_back(static_cast<std::uint8_t>(0x100 - sum));
    return packet;
}

// A command as a healthy base accepts it: framed, its length inside the report, summing to 0.
bool WellFramed(const std::vector<std::uint8_t>& data) {
    if (data.size() < pkt::kFrameBytes || data[0] != pkt::kMarker || data[1] != pkt::kMarker) return false;
    const std::size_t total = pkt::TotalOf(data[pkt::kLengthAt]);
    if (total > data.size() || total < pkt::kFrameBytes) return false;
    std::uint8_t sum = 0;
    for (std::size_t i = pkt::kLengthAt; i < total; ++i) sum = static_cast<std::uint8_t>(sum + data[i]);
    return sum == 0;
}

}  // namespace

void SimBase::OnFeatureReport(const std::vector<std::uint8_t>& data) {
    received_.push_back(data);
    handsets_.OnBridgeReport(data);
    for (PeerObserver* o : observers_) o->OnBridgeReport(data);
    if (!WellFramed(data) || data[pkt::kCodeAt] != pkt::CMD_BASE) return;
    const std::size_t total = pkt::TotalOf(data[pkt::kLengthAt]);
    if (data[pkt::kSubCodeAt] == pkt::BASE_LOOPBACK) {
        if (total > pkt::kSubDataAt + pkt::kLoopbackBytes) Echo(data);  // the bytes and the checksum
        return;
    }
    AnswerCommand(data[pkt::kSubCodeAt], data, total);
}

void SimBase::Echo(const std::vector<std::uint8_t>& data) {
    if (echo_ == EchoMode::Off) return;
    std::vector<std::uint8_t> body{pkt::BASE_LOOPBACK};
    const auto first = data.begin() + static_cast<std::ptrdiff_t>(pkt::kSubDataAt);
    body.insert(body.end(), first, first + static_cast<std::ptrdiff_t>(pkt::kLoopbackBytes));
    if (echo_ == EchoMode::Wrong) body.back() = static_cast<std::uint8_t>(body.back() ^ 0xFF);
    Reply(pkt::EVT_TEST_REPLY, body, echo_ == EchoMode::Twice);
}

void SimBase::AnswerCommand(std::uint8_t sub, const std::vector<std::uint8_t>& data, std::size_t total) {
    if (replies_ == ReplyMode::Off) return;
    const bool other = replies_ == ReplyMode::Other;
    const bool twice = replies_ == ReplyMode::Twice;
    switch (sub) {
        case pkt::BASE_GET_VERSION: {
            std::vector<std::uint8_t> body{other ? std::uint8_t{pkt::REPLY_DONE} : std::uint8_t{pkt::REPLY_TEXT}};
            if (!other) body.insert(body.end(), version_.begin(), version_.end());
            Reply(pkt::EVT_COMMAND_REPLY, body, twice);
            break;
        }
        case pkt::BASE_DELETE_ALL:
            Reply(pkt::EVT_COMMAND_REPLY, {other ? std::uint8_t{pkt::BASE_RESET} : sub}, twice);
            break;
        case pkt::BASE_RESET:
            Reply(pkt::EVT_COMMAND_REPLY, {other ? std::uint8_t{pkt::BASE_DELETE_ALL} : sub}, twice);
            break;
        case pkt::BASE_DELETE_HANDSET:
            if (total <= pkt::kSubDataAt + 1) break;  // the handset and the checksum
            // Another of the four handsets.
            Reply(pkt::EVT_COMMAND_REPLY, {sub, other ? static_cast<std::uint8_t>(data[pkt::kSubDataAt] % 4 + 1) : data[pkt::kSubDataAt]}, twice);
            break;
        default:
            break;  // registration, paging: nothing to answer
    }
}

void SimBase::Reply(std::uint8_t code, const std::vector<std::uint8_t>& body, bool twice) {
    if (!powered_) return;
    for (int copy = 0; copy < (twice ? 2 : 1); ++copy) {
        if (hold_) held_.push_back(Framed(code, body));
        else Queue(Framed(code, body));
    }
}

void SimBase::SetEchoMode(EchoMode mode) {
    echo_ = mode;
    if (mode != EchoMode::On) ++oddities_;
}

void SimBase::SetReplyMode(ReplyMode mode) {
    replies_ = mode;
    if (mode != ReplyMode::On) ++oddities_;
}

void SimBase::SetHold(bool on) {
    hold_ = on;
    if (on) ++oddities_;
}

void SimBase::Release(bool newestFirst) {
    ++oddities_;
    std::vector<std::vector<std::uint8_t>> held;
    held.swap(held_);
    if (newestFirst) std::reverse(held.begin(), held.end());
    for (std::vector<std::uint8_t>& answer : held) Queue(std::move(answer));
}

bool SimBase::NextInputReport(std::vector<std::uint8_t>& data48) {
    if (pending_.empty()) return false;
    const Pending next = std::move(pending_.front());
    pending_.pop_front();
    data48 = next.data;
    data48.resize(pkt::kDataSize, 0);
    const HandsetEvent event = handsets_.OnBaseReport(data48, next.dialHandset);
    for (PeerObserver* o : observers_) {
        o->OnBaseReport(data48);
        o->OnBaseEvent(event);
    }
    return true;
}

void SimBase::PowerOff() {
    powered_ = false;
    pending_.clear();
    held_.clear();
    handsets_.PowerOff();
    for (PeerObserver* o : observers_) o->OnBasePower(false);
}

void SimBase::PowerOn() {
    powered_ = true;
    for (PeerObserver* o : observers_) o->OnBasePower(true);
}

void SimBase::Queue(std::vector<std::uint8_t> data, int dialHandset) {
    if (!powered_) return;
    data.resize(std::min(data.size(), pkt::kDataSize));
    data.resize(pkt::kDataSize, 0);
    pending_.push_back(Pending{std::move(data), dialHandset});
}

void SimBase::SendRaw(const std::vector<std::uint8_t>& data) {
    ++oddities_;
    Queue(data);
}

void SimBase::SendPacket(std::uint8_t code, const std::vector<std::uint8_t>& body) {
    ++oddities_;
    Send(code, body);
}

void SimBase::Send(std::uint8_t code, const std::vector<std::uint8_t>& body) { Queue(Framed(code, body)); }

void SimBase::Key(std::uint8_t handset, char key) {
    Send(pkt::EVT_KEY, {handset, 0x00, static_cast<std::uint8_t>(key)});
}

void SimBase::FuncKey(std::uint8_t handset, char key) {
    Send(pkt::EVT_FUNC_KEY, {handset, 0x00, static_cast<std::uint8_t>(key)});
}

void SimBase::Answer(std::uint8_t handset) { Send(pkt::EVT_ANSWER, {handset}); }

void SimBase::HangUp(std::uint8_t handset) { Send(pkt::EVT_HANG_UP, {handset}); }

void SimBase::DialString(std::uint8_t handset, const std::string& digits, bool repeat) {
    // The base's dial-string event names no handset; the model is told which one it was.
    const std::size_t count = std::min<std::size_t>(digits.size(), pkt::kMaxPacket - 1 - pkt::kDialFirstAt);
    std::vector<std::uint8_t> body{static_cast<std::uint8_t>(repeat ? 1 : 0), static_cast<std::uint8_t>(count + 1)};
    body.insert(body.end(), digits.begin(), digits.begin() + static_cast<std::ptrdiff_t>(count));
    Queue(Framed(pkt::EVT_DIAL_STRING, body), handset);
}

void SimBase::LineReleased() { Send(pkt::EVT_LINE_RELEASED, {}); }

void SimBase::RegisterEnd() { Send(pkt::EVT_REGISTER_END, {}); }

}  // namespace sim
