// Process-wide state of the client link that is not a field of the main dialog.
#pragma once
#include <string>

class CBridgeDlg;

namespace client {

// The one-shot refusal flag: set when the process starts, cleared by the first refusal.
// A test that stands for a fresh process sets it again.
extern int g_bRefusalArmed;

// Blank, tab, line feed, vertical tab, form feed, carriage return: what ends a word.
bool IsSeparator(char c);

// "%s" formatting of one argument, for the command texts of ClientTexts.h.
std::string FormatText(const char* format, const std::string& argument);

// The words after a CALL, USER or MESSAGE: an id (or handle), a property and a value, the
// value being one word or, with valueRestOfLine, the rest of the line.
struct NotificationWords {
    std::string id, property, value;
};
NotificationWords ReadNotificationWords(CBridgeDlg& dlg, const char* text, int valueRestOfLine);

}  // namespace client
