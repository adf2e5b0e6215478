#include "device/HandsetText.h"

namespace handset {

namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Bytes of the UTF-8 character this lead byte starts; 0 for no lead byte.
std::size_t SequenceLength(unsigned char c) {
    if ((c & 0xE0) == 0xC0) return 2;
    if ((c & 0xF0) == 0xE0) return 3;
    if ((c & 0xF8) == 0xF0) return 4;
    return 0;
}

// Where the well-formed UTF-8 character that byte `at` lies inside begins; `at` itself when
// that byte starts a character or the bytes around it are no UTF-8.
std::size_t CharacterStart(const std::string& text, std::size_t at) {
    if (at >= text.size() || !IsContinuation(static_cast<unsigned char>(text[at]))) return at;
    std::size_t lead = at;
    while (lead > 0 && at - lead < 3 && IsContinuation(static_cast<unsigned char>(text[lead]))) --lead;
    const std::size_t length = SequenceLength(static_cast<unsigned char>(text[lead]));
    if (length == 0 || lead + length <= at || lead + length > text.size()) return at;
    for (std::size_t i = lead + 1; i < lead + length; ++i)
        if (!IsContinuation(static_cast<unsigned char>(text[i]))) return at;
    return lead;
}

}  // namespace

std::string FirstBytes(const std::string& text, std::size_t bytes) {
    if (text.size() <= bytes) return text;
    return text.substr(0, CharacterStart(text, bytes));
}

std::string LastBytes(const std::string& text, std::size_t bytes) {
    if (text.size() <= bytes) return text;
    std::size_t from = text.size() - bytes;
    const std::size_t start = CharacterStart(text, from);
    if (start != from) from = start + SequenceLength(static_cast<unsigned char>(text[start]));
    return text.substr(from);
}

}  // namespace handset
