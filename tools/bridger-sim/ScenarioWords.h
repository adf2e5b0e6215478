// The lexical side of the scenario language: words, TEXT, numbers, hex bytes, switches.
// Header-only, so that Scenario.cpp alone carries the whole parser to other programs
// (the Windows end-to-end driver compiles it).
#pragma once
#include <cstddef>
#include <cctype>
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

// ---- definitions ----

namespace detail {

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

inline int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace detail

inline std::vector<Word> Split(const std::string& line) {
    std::vector<Word> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && detail::IsBlank(line[i])) ++i;
        const std::size_t begin = i;
        while (i < line.size() && !detail::IsBlank(line[i])) ++i;
        if (i > begin) words.push_back(Word{line.substr(begin, i - begin), i});
    }
    return words;
}

inline std::string Reader::TextAfter(std::size_t last) const {
    const std::size_t from = words_[last].end + 1;
    return from < line_.size() ? line_.substr(from) : std::string();
}

inline bool Number(const std::string& word, long long low, long long high, long long& out) {
    if (word.empty() || word.size() > 18) return false;  // 18 digits cannot overflow
    long long value = 0;
    for (char c : word) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high) return false;
    out = value;
    return true;
}

inline bool HexWord(const std::string& word, std::vector<std::uint8_t>& out) {
    if (word.size() % 2 != 0) return false;
    for (std::size_t k = 0; k < word.size(); k += 2) {
        const int hi = detail::HexDigit(word[k]);
        const int lo = detail::HexDigit(word[k + 1]);
        if (hi < 0 || lo < 0) return false;
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return true;
}

inline bool HexBytes(const Reader& r, std::size_t from, std::vector<std::uint8_t>& out, std::string& bad) {
    for (std::size_t i = from; i < r.Count(); ++i) {
        if (!HexWord(r.At(i), out)) {
            bad = r.At(i);
            return false;
        }
    }
    return true;
}

inline bool OnOff(const std::string& word, bool& on) {
    if (word == "on") on = true;
    else if (word == "off") on = false;
    else return false;
    return true;
}

inline bool ParseClock(const std::string& w, plat::TimeOfDay& t) {
    if (w.size() != 8 || w[2] != ':' || w[5] != ':') return false;
    long long h = 0, m = 0, s = 0;
    if (!Number(w.substr(0, 2), 0, 23, h) || !Number(w.substr(3, 2), 0, 59, m) || !Number(w.substr(6, 2), 0, 59, s))
        return false;
    t = plat::TimeOfDay{static_cast<int>(h), static_cast<int>(m), static_cast<int>(s)};
    return true;
}

inline bool ParseOs(const std::string& w, plat::OsVersion& os) {
    const std::size_t dot = w.find('.');
    long long major = 0, minor = 0;
    if (dot == std::string::npos || !Number(w.substr(0, dot), 0, 255, major) ||
        !Number(w.substr(dot + 1), 0, 255, minor))
        return false;
    os = plat::OsVersion{static_cast<unsigned>(major), static_cast<unsigned>(minor)};
    return true;
}

}  // namespace scn
