#include "tools/sim/HandsetText.h"

namespace sim {

namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::size_t LeadLength(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    if ((u & 0xE0) == 0xC0) return 2;
    if ((u & 0xF0) == 0xE0) return 3;
    if ((u & 0xF8) == 0xF0) return 4;
    return 0;
}

}  // namespace

std::string LettersOf(char key) {
    static const char* const kLetters[] = {"ABC", "DEF", "GHI", "JKL", "MNO", "PQRS", "TUV", "WXYZ"};
    return key >= '2' && key <= '9' ? kLetters[key - '2'] : "";
}

std::size_t CharacterStart(const std::string& text, std::size_t at) {
    if (at >= text.size() || !IsContinuation(text[at])) return at;
    std::size_t lead = at;
    while (lead > 0 && at - lead < 3 && IsContinuation(text[lead])) --lead;
    const std::size_t length = LeadLength(text[lead]);
    if (length == 0 || lead + length <= at || lead + length > text.size()) return at;
    for (std::size_t i = lead + 1; i < lead + length; ++i)
        if (!IsContinuation(text[i])) return at;
    return lead;
}

bool ShowsStartOf(const std::string& shown, const std::string& handle, std::size_t width) {
    if (handle.size() <= width) return shown == handle;
    if (shown.size() > width || handle.compare(0, shown.size(), shown) != 0) return false;
    return shown.size() == CharacterStart(handle, width);
}

}  // namespace sim
