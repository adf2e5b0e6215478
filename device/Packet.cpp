#include "device/Packet.h"

#include <algorithm>

#include "device/HandsetText.h"

namespace pkt {

namespace {
constexpr std::size_t kMaxBody = kMaxPacket - kFrameBytes;
constexpr std::uint8_t kSpace = 0x20;
constexpr std::uint8_t kAlertFlag = 0x02;
constexpr std::uint8_t kAlertDigit = 0x30;  // two ASCII '0' before the caller's text
constexpr std::uint8_t kDisplayField = 0x10;
constexpr char kHexDigits[] = "0123456789ABCDEF";

// Cut (never inside a character) or space-padded to the display's width.
std::string FixedText(const std::string& text) {
    std::string fixed = handset::FirstBytes(text, kDisplayWidth);
    fixed.resize(kDisplayWidth, static_cast<char>(kSpace));
    return fixed;
}
}  // namespace

std::uint8_t Checksum(const std::uint8_t* bytes, std::size_t from, std::size_t to) {
    std::uint8_t sum = 0;
    for (std::size_t i = from; i <= to; ++i) sum = static_cast<std::uint8_t>(sum + bytes[i]);
    return static_cast<std::uint8_t>(0x100 - sum);
}

void Frame(std::uint8_t* packet, std::size_t total) {
    if (total < kFrameBytes || total > kMaxPacket) return;
    packet[0] = kMarker;
    packet[1] = kMarker;
    packet[kLengthAt] = static_cast<std::uint8_t>(total - kLengthUncounted);
    const std::size_t sumAt = total - 1;
    packet[sumAt] = Checksum(packet, kLengthAt, sumAt - 1);
}

std::vector<std::uint8_t> Build(std::uint8_t code, const std::vector<std::uint8_t>& body) {
    const std::size_t bodyBytes = std::min(body.size(), kMaxBody);
    std::vector<std::uint8_t> packet(kFrameBytes + bodyBytes, 0);
    packet[kCodeAt] = code;
    std::copy(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(bodyBytes), packet.begin() + kBodyAt);
    Frame(packet.data(), packet.size());
    return packet;
}

Examined Examine(const std::uint8_t* data, std::size_t size) {
    Examined result;
    size = std::min(size, kDataSize);
    if (!data || size < kLengthUncounted || (data[0] != kMarker && data[1] != kMarker)) return result;
    const std::size_t described = TotalOf(data[kLengthAt]);
    // A length byte beyond the report is logged as a package error over the bytes the report holds.
    result.length = std::min(described, size);
    std::uint8_t sum = 0;
    for (std::size_t i = kLengthAt; i < result.length; ++i) sum = static_cast<std::uint8_t>(sum + data[i]);
    result.sum = sum;
    const bool framed = data[0] == kMarker && data[1] == kMarker && described <= size &&
                        data[kLengthAt] >= kLengthNonBody;
    result.verdict = framed && sum == 0 ? Verdict::Valid : Verdict::Invalid;
    return result;
}

std::vector<std::uint8_t> Disconnect() { return Build(CMD_DISCONNECT, {}); }

std::vector<std::uint8_t> Release(std::uint8_t handset) { return Build(CMD_RELEASE, {handset}); }

std::vector<std::uint8_t> HangUpAck(std::uint8_t handset) { return Build(CMD_HANG_UP_ACK, {handset}); }

std::vector<std::uint8_t> Connected(std::uint8_t handset) { return Build(CMD_CONNECTED, {handset, kAllHandsets}); }

std::vector<std::uint8_t> Alert(const std::string& caller) {
    const std::string text = handset::FirstBytes(caller, kMaxHandsetText);
    std::vector<std::uint8_t> body{kAllHandsets, kAlertFlag, kAlertDigit, kAlertDigit,
                                   static_cast<std::uint8_t>(text.size())};
    body.insert(body.end(), text.begin(), text.end());
    return Build(CMD_ALERT, body);
}

std::vector<std::uint8_t> Display(std::uint8_t handset, const std::string& text) {
    const std::string fixed = FixedText(text);
    std::vector<std::uint8_t> body{handset, kDisplayField};
    body.insert(body.end(), fixed.begin(), fixed.end());
    return Build(CMD_DISPLAY, body);
}

std::vector<std::uint8_t> Base(std::uint8_t subCode) { return Build(CMD_BASE, {subCode}); }

std::vector<std::uint8_t> Base(std::uint8_t subCode, std::uint8_t value) { return Build(CMD_BASE, {subCode, value}); }

std::vector<std::uint8_t> Loopback(std::uint8_t seed) {
    std::vector<std::uint8_t> body{BASE_LOOPBACK};
    for (std::size_t i = 0; i < kLoopbackBytes; ++i) body.push_back(static_cast<std::uint8_t>(seed + i));
    return Build(CMD_BASE, body);
}

std::string Hex(const std::uint8_t* bytes, std::size_t count) {
    std::string text;
    text.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        text.push_back(kHexDigits[bytes[i] >> 4]);
        text.push_back(kHexDigits[bytes[i] & 0x0F]);
    }
    return text;
}

}  // namespace pkt
