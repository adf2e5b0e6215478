// How a handset's texts are read by the checkers: the letters of the keypad's keys, the menu's
// steps, and UTF-8 cut at a character boundary where a display or an alert runs out of room.
#pragma once
#include <cstddef>
#include <string>

namespace sim {

// ASCII letters in upper case, every other byte as it is (the handset's order of names).
inline unsigned char Upper(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }

// The letters of a telephone keypad's key; empty for a key without letters.
std::string LettersOf(char key);
inline bool StepsDown(char key) { return key == '*' || key == 'D'; }
inline bool StepsUp(char key) { return key == 'U' || key == '1'; }

// Where the well-formed UTF-8 character that byte `at` belongs to starts: `at` when that
// byte starts one, or is no part of well-formed UTF-8.
std::size_t CharacterStart(const std::string& text, std::size_t at);
inline bool SplitsCharacter(const std::string& text, std::size_t at) { return CharacterStart(text, at) != at; }

// The handset may show a handle in `width` bytes as the handle itself, or its start cut at
// the width or, short of it, before the character that would not fit.
bool ShowsStartOf(const std::string& shown, const std::string& handle, std::size_t width);

}  // namespace sim
