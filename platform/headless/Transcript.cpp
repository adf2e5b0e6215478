#include "platform/headless/Transcript.h"

#include "device/Packet.h"

namespace sim {

std::string Line::Format() const { return std::to_string(time) + " " + kind + " " + text; }

void Transcript::Add(const std::string& kind, const std::string& text) {
    if (muted_) return;
    if (observer_) observer_();
    lines_.push_back(Line{clock_(), kind, text});
}

std::string HexText(const std::uint8_t* bytes, std::size_t count) {
    return pkt::Hex(bytes, count);
}

}  // namespace sim
