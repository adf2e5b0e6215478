// Keys, menu codes, texts and the multi-tap table of the handset state machine.
#pragma once
#include <cstddef>
#include <cstdint>

namespace handset {

// Device-log lines.
constexpr const char* kLogOffHook = "OFF HOOK";
constexpr const char* kLogCallOut = "Call Out";

// Function keys (EVT_FUNC_KEY).
constexpr char kTalkKey = '*';
constexpr char kMenuKey = '#';
// Menu navigation keys (EVT_KEY); each step has two keys.
constexpr char kUpKey = 'U';
constexpr char kAltUpKey = '1';
constexpr char kDownKey = 'D';
constexpr char kAltDownKey = '*';

// Menu codes handed to the contact menu: 1 and 2 step, 3 .. 28 are the letters A .. Z.
constexpr std::uint8_t kMenuStepUp = 1;
constexpr std::uint8_t kMenuStepDown = 2;
constexpr std::uint8_t kMenuFirstLetter = 3;
constexpr std::uint8_t kMenuLastLetter = 28;
constexpr int kMenuLetterOffset = 0x3E;  // menu code + this = the letter shown
// Shown after the letter when no contact starts with it (16 bytes in all).
constexpr const char* kEmptyEntry = "_EMPTY         ";

// Digits beyond this many are typed blind: the display stops following the number.
constexpr std::size_t kDisplayedDigits = 2;

// Handset updates (one per 100 ms poll) a ring waits for its caller's handle before the
// handsets ring without it.
constexpr int kCallerWaitUpdates = 8;

// Multi-tap: the menu codes a key cycles through.
struct TapKey {
    char key;
    std::uint8_t first;  // menu code of the first press
    std::uint8_t count;  // entries in the cycle
};
constexpr TapKey kTapKeys[] = {
    {'2', 3, 3}, {'3', 6, 3}, {'4', 9, 3}, {'5', 12, 3},
    {'6', 15, 3}, {'7', 18, 4}, {'8', 22, 3}, {'9', 25, 4},
};
inline const TapKey* FindTapKey(char key) {
    for (const TapKey& k : kTapKeys)
        if (k.key == key) return &k;
    return nullptr;
}

}  // namespace handset
