#include "platform/headless/Transcript.h"

namespace sim {

void Transcript::Add(const std::string& kind, const std::string& text) {
    if (muted_) return;
    if (observer_) observer_();
    lines_.push_back(Line{clock_(), kind, text});
}

std::string HexText(const std::uint8_t* bytes, std::size_t count) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 0x0F];
    }
    return out;
}

}  // namespace sim
