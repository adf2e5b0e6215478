// The lexical side of the scenario language: words, TEXT, numbers, hex bytes, switches.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace scn {

struct Word {
    std::string text;
    std::size_t end = 0;  // offset just past the word
};

// Words separated by blanks (spaces or tabs).
std::vector<Word> Split(const std::string& line);

// One line's words, and the line itself for TEXT.
class Reader {
public:
    Reader(const std::string& line, std::vector<Word> words) : line_(line), words_(std::move(words)) {}

    std::size_t Count() const { return words_.size(); }
    const std::string& At(std::size_t i) const { return words_[i].text; }
    // Everything after the one blank that follows word `last`, kept as written.
    std::string TextAfter(std::size_t last) const;

private:
    const std::string& line_;
    std::vector<Word> words_;
};

// A decimal number within [low, high].
bool Number(const std::string& word, long long low, long long high, long long& out);
// One word of hex pairs ("2424" or "0A"), appended to out.
bool HexWord(const std::string& word, std::vector<std::uint8_t>& out);
// Words from..end as hex pairs; blanks may stand between pairs but never inside one.
// On failure *bad is the offending word.
bool HexBytes(const Reader& r, std::size_t from, std::vector<std::uint8_t>& out, std::string& bad);
bool OnOff(const std::string& word, bool& on);
bool ParseClock(const std::string& word, plat::TimeOfDay& t);  // HH:MM:SS
bool ParseOs(const std::string& word, plat::OsVersion& os);    // MAJOR.MINOR

}  // namespace scn
