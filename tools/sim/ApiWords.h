// How the simulated client reads the desktop API's command lines: blank-separated words whose
// keywords are compared without regard to case, as the real client does.
#pragma once
#include <cctype>
#include <cstddef>
#include <sstream>
#include <string>
#include <vector>

namespace sim {

inline std::vector<std::string> ApiWords(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

// The word is this upper-case keyword, in any case.
inline bool IsKeyword(const std::string& word, const char* keyword) {
    std::size_t i = 0;
    for (; keyword[i] != '\0'; ++i) {
        if (i >= word.size()) return false;
        if (std::toupper(static_cast<unsigned char>(word[i])) != keyword[i]) return false;
    }
    return i == word.size();
}

}  // namespace sim
